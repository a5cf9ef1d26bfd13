// tonalis vcgt: the lookup table stored in a profile's 'vcgt' tag.
#include <string>

#include "model/text_format.h"
#include "profile/load_monitor_profile.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/json_writer.h"
#include "tool/profile_failure.h"

namespace tonalis::tool {

namespace {

const char* const kRunNames[3] = {"red", "green", "blue"};
const char kNoTable[] = "no usable vcgt table\n";

std::string TableJson(const GammaRamp* ramp) {
    JsonWriter json;
    json.BeginObject();
    json.Key("vcgt");
    json.Bool(ramp != nullptr);
    for (int c = 0; ramp != nullptr && c < 3; ++c) {
        json.Levels(kRunNames[c], ramp->Channel(c), kRampSize);
    }
    json.EndObject();
    return json.Text();
}

std::string TableText(const GammaRamp& ramp, bool csv) {
    std::string text = csv ? "input,red,green,blue\n" : "input    red  green   blue\n";
    const char* row = csv ? "%d,%u,%u,%u\n" : "%5d  %5u  %5u  %5u\n";
    for (int i = 0; i < kRampSize; ++i) {
        text +=
            Format(row, i, ramp.Channel(kRed)[i], ramp.Channel(kGreen)[i], ramp.Channel(kBlue)[i]);
    }
    return text;
}

// The table as apply reads it, in any form other tools write, at 256 entries.
int RunVcgt(const Arguments& arguments, std::string* out) {
    const std::string& path = ProfileOperand(arguments);
    GammaRamp ramp;
    bool present = false;
    const int read = ReadProfileRamp(path.c_str(), &ramp, &present);
    if (read != 0) {
        ThrowProfileFailure(read, path);
    }
    if (arguments.Has("json")) {
        *out = TableJson(present ? &ramp : nullptr);
    } else {
        *out = present ? TableText(ramp, arguments.Has("csv")) : kNoTable;
    }
    return 0;
}

const KnownOption kOptions[] = {{"csv", false}};

}  // namespace

extern const Command kVcgtCommand = {
    "vcgt",
    "vcgt PROFILE [--csv] [--json]",
    "Prints the lookup table in an RGB monitor profile's 'vcgt' tag as apply\n"
    "loads it, at 256 entries each for red, green and blue (0 to 65535), in any\n"
    "form apply takes; or says that it has no usable one.\n"
    "  --csv   input,red,green,blue lines after a header line\n"
    "  --json  {\"vcgt\":true,\"red\":[256 integers],\"green\":[...],\"blue\":[...]}, or\n"
    "          {\"vcgt\":false}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunVcgt,
    "PROFILE",
};

}  // namespace tonalis::tool
