// tonalis make: a monitor profile built from settings as the applet builds it,
// or an existing profile updated with them.
#include <cstring>
#include <string>

#include "model/gamma_ramp.h"
#include "model/starting_record.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "model/unicode_text.h"
#include "model/white_point.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile/settings_conversion.h"
#include "tool/arguments.h"
#include "tool/colour_options.h"
#include "tool/command.h"
#include "tool/json_writer.h"
#include "tool/match_options.h"
#include "tool/profile_failure.h"

namespace tonalis::tool {

namespace {

// The text as the description field would take it: UTF-8, no control
// characters, and no more UTF-16 units than the field holds.
void DescriptionOption(const std::string& text, char (&description)[kDescriptionSize]) {
    if (!IsWellFormedUtf8(text.c_str())) {
        throw UsageError("--description: the text is not UTF-8");
    }
    if (HasControlCharacter(text.c_str())) {
        throw UsageError("--description: control characters (such as a line break) cannot be kept");
    }
    if (Utf16Length(text.c_str()) > size_t(kDescriptionUnits)) {
        throw UsageError(
            Format("--description: at most %d characters (UTF-16 units)", kDescriptionUnits));
    }
    std::strcpy(description, text.c_str());
}

// The record the applet would save: the source's settings (or the defaults),
// then each option given, then the lookup table computed from them.
MonitorSettings SettingsToSave(const Arguments& arguments) {
    MonitorSettings settings = StartingRecord();
    if (const std::string* from = arguments.Value("from")) {
        const int loaded = LoadMonitorProfile(from->c_str(), &settings);
        if (loaded != 0) {
            ThrowProfileFailure(loaded, *from);
        }
    }
    if (arguments.Has("primaries")) {
        PrimariesOption(arguments, "primaries", settings.primaries);
    }
    if (arguments.Has("white")) {
        settings.hardwareWhite = MonitorWhiteOption(arguments, "white", settings.primaries);
    }
    if (arguments.Has("gamma")) {
        GammaOption(arguments, "gamma", settings.gamma);
    }
    if (arguments.Has("factor")) {
        GammaFactorOption(arguments, "factor", settings.gammaFactor);
        for (ToneMatch& match : settings.toneMatch) {
            match = {};
        }
    }
    MatchOptions(arguments, &settings);
    if (arguments.Has("adjusted-white")) {
        const Chromaticity target = WhiteOption(arguments, "adjusted-white");
        if (!WhitePointToPeaks(target, settings.primaries, settings.hardwareWhite,
                               settings.gammaFactor, settings.toneMatch, &settings.whiteRgb)) {
            throw UsageError(Format("--adjusted-white \"%s\": the monitor cannot show this white",
                                    arguments.Value("adjusted-white")->c_str()));
        }
        settings.adjustedWhite = target;
    }
    if (const std::string* description = arguments.Value("description")) {
        DescriptionOption(*description, settings.description);
    }
    // The options are checked one by one; a white from one place and
    // primaries from another may still not make a profile that loads again.
    ProfileInfo info = {};
    if (!BuildProfileInfo(settings, false, &info)) {
        throw UsageError(
            Format("white point %g,%g is outside the gamut of the primaries, or too "
                   "near its edge for a profile to keep them",
                   settings.hardwareWhite.x, settings.hardwareWhite.y));
    }
    settings.hasGammaRamp = arguments.Has("no-vcgt") ? 0 : 1;
    settings.ramp =
        BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb, settings.toneMatch);
    return settings;
}

int RunMake(const Arguments& arguments, std::string* out) {
    const std::string* output = arguments.Value("o");
    if (output == nullptr) {
        throw UsageError("-o OUT is required");
    }
    const MonitorSettings settings = SettingsToSave(arguments);
    const std::string* from = arguments.Value("from");
    const int saved =
        SaveMonitorProfile(from != nullptr ? from->c_str() : "", output->c_str(),
                           settings.description, settings, settings.hasGammaRamp != 0);
    if (saved != 0) {
        ThrowProfileFailure(saved, *output);
    }
    if (arguments.Has("json")) {
        JsonWriter json;
        json.BeginObject();
        json.Key("saved");
        json.String(*output);
        json.EndObject();
        *out = json.Text();
    } else {
        *out = "saved " + *output + "\n";
    }
    return 0;
}

const KnownOption kOptions[] = {
    {"o", true},          {"from", true},           {"gamma", true},     {"primaries", true},
    {"white", true},      {"adjusted-white", true}, {"factor", true},    {"description", true},
    {"no-vcgt", false},   {"match", true},          {"match-red", true}, {"match-green", true},
    {"match-blue", true},
};

}  // namespace

extern const Command kMakeCommand = {
    "make",
    "make -o OUT [--from PROFILE] [--gamma G[,G,G]] [--primaries SET] [--white WHITE]\n"
    "        [--adjusted-white WHITE] [--factor F[,F,F]] [--match F:D[,F:D...]]\n"
    "        [--match-red|--match-green|--match-blue F:D[,F:D...]] [--description TEXT]\n"
    "        [--no-vcgt]",
    "Saves a monitor profile as the applet does. The settings start from the\n"
    "applet's defaults, or from PROFILE, which is then updated so that its other\n"
    "tags survive; each option given replaces one setting, and the 'vcgt' table is\n"
    "computed from the result. A refusal or a failed save prints the message and\n"
    "string number, exits with status 2 and leaves every file as it was.\n"
    "  -o OUT                  the profile to write (may be PROFILE itself)\n"
    "  --from PROFILE          an RGB monitor profile to start from and update\n"
    "  --gamma G[,G,G]         target gamma, 0.75 to 3.75\n"
    "  --primaries SET         the monitor's phosphors\n"
    "  --white WHITE           the monitor's own (hardware) white point\n"
    "  --adjusted-white WHITE  the white to shift to, through the channel peaks\n"
    "  --factor F[,F,F]        native gamma as a multiple of 2.61, 0.5 to 2.0: the\n"
    "                          power law through the half the gamma page matches\n"
    "  --match F:D[,F:D...]    what the eye matched, for every channel: F the\n"
    "                          fraction of the channel's light (0 the darkest step\n"
    "                          seen beside black, 1 the brightest still told from\n"
    "                          white, between them a pattern's), D the drive level\n"
    "                          0 to 255 that showed it. One pattern point gives a\n"
    "                          power law (0.5:D is a --factor); more give a curve\n"
    "                          through them, and an end step bends it only where\n"
    "                          the display crushes or lifts that end\n"
    "  --match-red, --match-green, --match-blue F:D[,F:D...]\n"
    "                          the same for one channel, after --match\n"
    "  --description TEXT      the profile's description in UTF-8, at most 255\n"
    "                          characters (UTF-16 units); readers of the ASCII\n"
    "                          part see its ASCII, or OUT's name without one\n"
    "  --no-vcgt               write no table and leave any existing one alone\n"
    "  --json                  {\"saved\":OUT}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunMake,
};

}  // namespace tonalis::tool
