// tonalis reset: an identity table in the display, every level passing unchanged.
#include <string>

#include "display/display_access.h"
#include "display/table_load.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/console_output.h"
#include "tool/json_writer.h"
#include "tool/loader_targets.h"

namespace tonalis::tool {

namespace {

int RunReset(const Arguments& arguments, std::string* out) {
    std::unique_ptr<DisplayAccess> access = OpenDisplayAccess();
    const std::vector<int> selected = SelectOutputs(arguments, *access);
    const VcgtCurves identity = IdentityCurves();
    JsonWriter json;
    json.BeginObject();
    json.Key("outputs");
    json.BeginArray();
    std::string text;
    int refused = 0;
    for (int index : selected) {
        const std::string& name = access->Outputs()[index].name;
        const std::string problem = LoadAndVerifyTable(*access, index, identity);
        const bool loaded = problem.empty();
        if (!loaded) {
            ++refused;
            WriteOutput(stderr, Format("tonalis reset: %s for %s %s\n", problem.c_str(),
                                       access->Noun(), name.c_str()));
        }
        text += Format("%s: %s\n", name.c_str(),
                       loaded ? "identity table loaded" : "the system refused the table");
        json.BeginObject();
        json.Key("name");
        json.String(name);
        json.Key("loaded");
        json.Bool(loaded);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    *out = arguments.Has("json") ? json.Text() : text;
    return refused == 0 ? kExitSuccess : kExitFailure;
}

const KnownOption kOptions[] = {kMonitorOption, kOutputOption};

}  // namespace

extern const Command kResetCommand = {
    "reset",
    "reset [--monitor N | --output NAME] [--json]",
    "Loads an identity table (entry i = i x 257, 0 to 65535) into the display,\n"
    "which then shows every level as it is sent. Without --monitor or --output:\n"
    "every display in use. A table the system refuses, or that the display does\n"
    "not give back when read, exits with status 1.\n"
    "  --monitor N    the Nth display in use, from 0\n"
    "  --output NAME  the output (X) or display device (Windows) of that name\n"
    "  --json  {\"outputs\":[{\"name\":NAME,\"loaded\":BOOL}]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunReset,
};

}  // namespace tonalis::tool
