// tonalis peaks: the channel peaks that shift the white point to a target.
#include <string>

#include "model/channel_peaks.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "model/white_point.h"
#include "tool/arguments.h"
#include "tool/colour_options.h"
#include "tool/command.h"
#include "tool/json_writer.h"

namespace tonalis::tool {

namespace {

std::string PeaksJson(uint32_t whiteRgb) {
    JsonWriter json;
    json.BeginObject();
    json.Key("red");
    json.Integer(PeakOf(whiteRgb, kRed));
    json.Key("green");
    json.Integer(PeakOf(whiteRgb, kGreen));
    json.Key("blue");
    json.Integer(PeakOf(whiteRgb, kBlue));
    json.Key("whiteRgb");
    json.Integer(whiteRgb);
    json.EndObject();
    return json.Text();
}

std::string PeaksText(uint32_t whiteRgb) {
    return Format("red       %3u\ngreen     %3u\nblue      %3u\nwhiteRgb  0x%08X\n",
                  PeakOf(whiteRgb, kRed), PeakOf(whiteRgb, kGreen), PeakOf(whiteRgb, kBlue),
                  static_cast<unsigned>(whiteRgb));
}

int RunPeaks(const Arguments& arguments, std::string* out) {
    const Chromaticity target = WhiteOption(arguments, "target");
    Chromaticity primaries[3];
    PrimariesOption(arguments, "primaries", primaries);
    const Chromaticity hardware = MonitorWhiteOption(arguments, "hardware-white", primaries);
    double factor[3];
    GammaFactorOption(arguments, "factor", factor);
    uint32_t whiteRgb = 0;
    if (!WhitePointToPeaks(target, primaries, hardware, factor, &whiteRgb)) {
        throw UsageError(
            Format("--target \"%s\": white point is outside the gamut of the primaries",
                   OptionText(arguments, "target", "6500K").c_str()));
    }
    *out = arguments.Has("json") ? PeaksJson(whiteRgb) : PeaksText(whiteRgb);
    return 0;
}

const KnownOption kOptions[] = {
    {"target", true}, {"primaries", true}, {"hardware-white", true}, {"factor", true}};

}  // namespace

extern const Command kPeaksCommand = {
    "peaks",
    "peaks [--target WHITE] [--primaries SET] [--hardware-white WHITE] [--factor F[,F,F]]\n"
    "        [--json]",
    "Prints the channel peaks that make the monitor show the target white point:\n"
    "red, green and blue (0 to 255) and whiteRgb (red + green x 256 + blue x 65536).\n"
    "A peak is the drive level at the top of the channel's table, so the light it\n"
    "gives depends on the monitor's native gamma.\n"
    "  --target WHITE          the white point to show; default 6500K\n"
    "  --primaries SET         the monitor's phosphors; default HDTV\n"
    "  --hardware-white WHITE  the monitor's native white point; default 6500K\n"
    "  --factor F[,F,F]        native gamma as a multiple of 2.61, 0.5 to 2.0; default 1\n"
    "  --json                  {\"red\":R,\"green\":G,\"blue\":B,\"whiteRgb\":N}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunPeaks,
};

}  // namespace tonalis::tool
