// tonalis whitepoint: the white point that the monitor shows with given peaks.
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

int RunWhitePoint(const Arguments& arguments, std::string* out) {
    const uint32_t whiteRgb = PeaksOption(arguments, "peaks", nullptr);
    Chromaticity primaries[3];
    PrimariesOption(arguments, "primaries", primaries);
    const Chromaticity hardware = MonitorWhiteOption(arguments, "hardware-white", primaries);
    double factor[3];
    GammaFactorOption(arguments, "factor", factor);
    // All channels dark show no white point at all.
    if ((whiteRgb & kFullPeaks) == 0) {
        throw UsageError(Format("--peaks \"%s\": all peaks are 0, which shows no white point",
                                arguments.Value("peaks")->c_str()));
    }
    Chromaticity white = {0.0, 0.0};
    if (!PeaksToWhitePoint(whiteRgb, primaries, hardware, factor, &white)) {
        throw UsageError("the primaries give no usable colour matrix");
    }
    if (arguments.Has("json")) {
        JsonWriter json;
        json.BeginObject();
        json.Key("x");
        json.Number(white.x);
        json.Key("y");
        json.Number(white.y);
        json.EndObject();
        *out = json.Text();
    } else {
        *out = Format("x  %.6f\ny  %.6f\n", white.x, white.y);
    }
    return 0;
}

const KnownOption kOptions[] = {
    {"peaks", true}, {"primaries", true}, {"hardware-white", true}, {"factor", true}};

}  // namespace

extern const Command kWhitePointCommand = {
    "whitepoint",
    "whitepoint --peaks R,G,B [--primaries SET] [--hardware-white WHITE] [--factor F[,F,F]]\n"
    "        [--json]",
    "Prints the white point (x, y) that the monitor shows when its channels peak\n"
    "at the given levels; the reverse of peaks.\n"
    "  --peaks R,G,B           the level each channel reaches at its top, 0 to 255\n"
    "  --primaries SET         the monitor's phosphors; default HDTV\n"
    "  --hardware-white WHITE  the monitor's native white point; default 6500K\n"
    "  --factor F[,F,F]        native gamma as a multiple of 2.61, 0.5 to 2.0; default 1\n"
    "  --json                  {\"x\":X,\"y\":Y}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunWhitePoint,
};

}  // namespace tonalis::tool
