// tonalis show: the table in the display now, and what the applet would read
// from it (the channel peaks and native gamma factors of EstimateFromRamp).
#include <string>

#include "display/display_access.h"
#include "model/channel_peaks.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/json_writer.h"
#include "tool/loader_targets.h"

namespace tonalis::tool {

namespace {

const char* const kRunNames[3] = {"red", "green", "blue"};

struct Reading {
    int index;
    GammaRamp ramp;
    RampEstimate estimate;
    double tableGamma[3];  // the power the table applies: input^tableGamma
};

// The estimate for the applet's default target gamma; a table of the applet's
// form applies input^(target / (2.61 x factor)).
Reading Read(DisplayAccess& access, int index) {
    Reading reading{index, {}, {}, {}};
    if (!access.ReadTable(index, &reading.ramp)) {
        throw ToolError(kExitFailure, Format("cannot read the table of %s %s", access.Noun(),
                                             access.Outputs()[index].name.c_str()));
    }
    const double target = GetGammaPreset(kDefaultGammaPreset);
    const double gamma[3] = {target, target, target};
    reading.estimate = EstimateFromRamp(reading.ramp, gamma);
    for (int c = 0; c < 3; ++c) {
        reading.tableGamma[c] = target / (NominalCrtGamma * reading.estimate.gammaFactor[c]);
    }
    return reading;
}

void ReadingJson(JsonWriter* json, const Reading& r, const DisplayOutput& output) {
    json->BeginObject();
    json->Key("name");
    json->String(output.name);
    json->Key("gammaSize");
    json->Integer(output.gammaSize);
    for (int c = 0; c < 3; ++c) {
        json->Levels(kRunNames[c], r.ramp.Channel(c), kRampSize);
    }
    json->Key("whiteRgb");
    json->Integer(r.estimate.whiteRgb);
    json->Key("peaks");
    json->BeginArray();
    for (int c = 0; c < 3; ++c) {
        json->Integer(PeakOf(r.estimate.whiteRgb, Channel(c)));
    }
    json->EndArray();
    json->Triple("gammaFactor", r.estimate.gammaFactor);
    json->Triple("tableGamma", r.tableGamma);
    json->EndObject();
}

std::string ReadingText(const Reading& r, const DisplayOutput& output) {
    const RampEstimate& e = r.estimate;
    std::string text =
        Format("%s  gamma size %d\n", output.name.c_str(), output.gammaSize) +
        Format("peaks           %d,%d,%d  (whiteRgb %u)\n", PeakOf(e.whiteRgb, kRed),
               PeakOf(e.whiteRgb, kGreen), PeakOf(e.whiteRgb, kBlue), e.whiteRgb) +
        Format("gamma factor    %.6f  %.6f  %.6f  (for a target gamma of %.1f)\n", e.gammaFactor[0],
               e.gammaFactor[1], e.gammaFactor[2], GetGammaPreset(kDefaultGammaPreset)) +
        Format("table gamma     %.6f  %.6f  %.6f\n", r.tableGamma[0], r.tableGamma[1],
               r.tableGamma[2]) +
        "input    red  green   blue\n";
    for (int i = 0; i < kRampSize; ++i) {
        text += Format("%5d  %5u  %5u  %5u\n", i, r.ramp.Channel(kRed)[i],
                       r.ramp.Channel(kGreen)[i], r.ramp.Channel(kBlue)[i]);
    }
    return text;
}

int RunShow(const Arguments& arguments, std::string* out) {
    std::unique_ptr<DisplayAccess> access = OpenDisplayAccess();
    const std::vector<int> selected = SelectOutputs(arguments, *access);
    JsonWriter json;
    json.BeginObject();
    json.Key("outputs");
    json.BeginArray();
    std::string text;
    for (int index : selected) {
        const Reading reading = Read(*access, index);
        ReadingJson(&json, reading, access->Outputs()[index]);
        text += (text.empty() ? "" : "\n") + ReadingText(reading, access->Outputs()[index]);
    }
    json.EndArray();
    json.EndObject();
    *out = arguments.Has("json") ? json.Text() : text;
    return kExitSuccess;
}

const KnownOption kOptions[] = {kMonitorOption, kOutputOption};

}  // namespace

extern const Command kShowCommand = {
    "show",
    "show [--monitor N | --output NAME] [--json]",
    "Prints the table in the display: 256 levels each for red, green and blue\n"
    "(resampled from the output's own gamma size, which is printed too), the\n"
    "channel peaks and native gamma factors that the applet estimates from it\n"
    "for its default target gamma of 2.2, and the gamma the table applies.\n"
    "Without --monitor or --output: every display in use.\n"
    "  --monitor N    the Nth display in use, from 0\n"
    "  --output NAME  the output (X) or display device (Windows) of that name\n"
    "  --json  {\"outputs\":[{\"name\":NAME,\"gammaSize\":N,\"red\":[256 integers],\n"
    "          \"green\":[...],\"blue\":[...],\"whiteRgb\":N,\"peaks\":[R,G,B],\n"
    "          \"gammaFactor\":[R,G,B],\"tableGamma\":[R,G,B]}]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunShow,
};

}  // namespace tonalis::tool
