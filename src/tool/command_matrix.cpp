// tonalis matrix: the RGB-to-XYZ matrix of a monitor.
#include <string>

#include "model/colorimetry.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/colour_options.h"
#include "tool/command.h"
#include "tool/json_writer.h"

namespace tonalis::tool {

namespace {

const char* const kRowNames[3] = {"red", "green", "blue"};

int RunMatrix(const Arguments& arguments, std::string* out) {
    Chromaticity primaries[3];
    PrimariesOption(arguments, "primaries", primaries);
    const Chromaticity white = MonitorWhiteOption(arguments, "white", primaries);
    Matrix3 matrix;
    if (RgbToXyzMatrix(primaries, white, &matrix) != 0) {
        throw UsageError("the primaries give no usable colour matrix");
    }
    if (arguments.Has("json")) {
        JsonWriter json;
        json.BeginObject();
        json.Key("rows");
        json.BeginArray();
        for (const auto& row : matrix.m) {
            json.BeginArray();
            for (double value : row) {
                json.Number(value);
            }
            json.EndArray();
        }
        json.EndArray();
        json.EndObject();
        *out = json.Text();
    } else {
        *out = Format("%-7s %10s %10s %10s\n", "", "X", "Y", "Z");
        for (int r = 0; r < 3; ++r) {
            *out += Format("%-7s %10.6f %10.6f %10.6f\n", kRowNames[r], matrix.m[r][0],
                           matrix.m[r][1], matrix.m[r][2]);
        }
    }
    return 0;
}

const KnownOption kOptions[] = {{"primaries", true}, {"white", true}};

}  // namespace

extern const Command kMatrixCommand = {
    "matrix",
    "matrix [--primaries SET] [--white WHITE] [--json]",
    "Prints the matrix from the monitor's linear RGB to CIE XYZ for row vectors\n"
    "(XYZ = rgb x M): its rows are the XYZ of full red, green and blue, and they\n"
    "add up to the white point with Y = 1.\n"
    "  --primaries SET  the monitor's phosphors; default HDTV\n"
    "  --white WHITE    the monitor's white point; default 6500K\n"
    "  --json           {\"rows\":[[X,Y,Z],[X,Y,Z],[X,Y,Z]]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunMatrix,
};

}  // namespace tonalis::tool
