// tonalis ramp: the three runs of the video lookup table.
#include <string>

#include "model/gamma_ramp.h"
#include "model/text_format.h"
#include "tool/arguments.h"
#include "tool/colour_options.h"
#include "tool/command.h"
#include "tool/json_writer.h"

namespace tonalis::tool {

namespace {

const char* const kRunNames[3] = {"red", "green", "blue"};

std::string RampJson(const GammaRamp& ramp) {
    JsonWriter json;
    json.BeginObject();
    for (int c = 0; c < 3; ++c) {
        json.Levels(kRunNames[c], ramp.Channel(c), kRampSize);
    }
    json.EndObject();
    return json.Text();
}

std::string RampTable(const GammaRamp& ramp) {
    std::string text = "input    red  green   blue\n";
    for (int i = 0; i < kRampSize; ++i) {
        text += Format("%5d  %5u  %5u  %5u\n", i, ramp.Channel(kRed)[i], ramp.Channel(kGreen)[i],
                       ramp.Channel(kBlue)[i]);
    }
    return text;
}

int RunRamp(const Arguments& arguments, std::string* out) {
    double gamma[3];
    double factor[3];
    GammaOption(arguments, "gamma", gamma);
    GammaFactorOption(arguments, "factor", factor);
    const uint32_t fullPeaks = kFullPeaks;
    const uint32_t whiteRgb = PeaksOption(arguments, "peaks", &fullPeaks);
    const GammaRamp ramp = BuildGammaRamp(gamma, factor, whiteRgb);
    *out = arguments.Has("json") ? RampJson(ramp) : RampTable(ramp);
    return 0;
}

const KnownOption kOptions[] = {{"gamma", true}, {"factor", true}, {"peaks", true}};

}  // namespace

extern const Command kRampCommand = {
    "ramp",
    "ramp --gamma G[,G,G] [--factor F[,F,F]] [--peaks R,G,B] [--json]",
    "Prints the video lookup table: 256 entries (0 to 65535, the 8-bit level in\n"
    "the high byte) for each of red, green and blue.\n"
    "  --gamma G[,G,G]    target gamma, one for all channels or red,green,blue;\n"
    "                     0.75 to 3.75\n"
    "  --factor F[,F,F]   native gamma of the monitor as a multiple of 2.61;\n"
    "                     0.5 to 2.0, default 1.0\n"
    "  --peaks R,G,B      level each channel reaches at its top, 0 to 255;\n"
    "                     default 255,255,255\n"
    "  --json             {\"red\":[256 integers],\"green\":[...],\"blue\":[...]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunRamp,
};

}  // namespace tonalis::tool
