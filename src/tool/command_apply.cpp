// tonalis apply: loads the table of a profile's 'vcgt' into displays, so that
// a calibration comes back after a logon, a mode change or a driver reset.
#include <string>
#include <vector>

#include "display/display_access.h"
#include "display/table_load.h"
#include "model/text_format.h"
#include "model/tool_error.h"
#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/console_output.h"
#include "tool/json_writer.h"
#include "tool/loader_targets.h"
#include "tool/logon_entry.h"

namespace tonalis::tool {

namespace {

// What happens to one display.
struct Load {
    int index;
    std::string profile;  // empty when it has none
    std::string skipped;  // why nothing is loaded, when nothing is
    VcgtCurves curves;
    bool refused = false;
    bool unusable = false;  // its registered profile holds no usable table
};

// A table given on the command line is used for every display or not at all.
VcgtCurves GivenTable(const std::string& path) {
    const ProfileTable table = ReadTableOfProfile(path);
    if (table.problem != TableProblem::kNone) {
        throw UsageError(table.message + "; nothing was changed");
    }
    return table.curves;
}

// The display's own profile, planned as the loader at logon plans it.
Load StoredLoad(DisplayAccess& access, int index) {
    Load load{index, {}, {}, {}};
    const StoredTable stored = access.PlanStoredTable(index);
    load.profile = stored.profile;
    if (stored.table == TableVerdict::kUsable) {
        load.curves = stored.curves;
    } else if (stored.table == TableVerdict::kNoProfile) {
        load.skipped = "no profile is registered or associated";
    } else if (stored.table == TableVerdict::kAssociatedWithoutTable) {
        load.skipped = "its associated profile holds no table (" + StoredTableProblem(stored) + ")";
    } else {
        load.skipped = StoredTableProblem(stored);
        load.unusable = true;
    }
    return load;
}

std::vector<Load> PlanLoads(const Arguments& arguments, DisplayAccess& access) {
    const std::vector<int> selected = SelectOutputs(arguments, access);
    std::vector<Load> loads;
    if (const std::string* path = arguments.Operand()) {
        const VcgtCurves curves = GivenTable(*path);
        for (int index : selected) {
            loads.push_back({index, *path, {}, curves});
        }
        return loads;
    }
    if (!access.KeepsProfiles()) {
        throw UsageError("PROFILE is required: X keeps no profile per output");
    }
    for (int index : selected) {
        loads.push_back(StoredLoad(access, index));
    }
    return loads;
}

std::string LoadsJson(const std::vector<Load>& loads, const DisplayAccess& access) {
    JsonWriter json;
    json.BeginObject();
    json.Key("outputs");
    json.BeginArray();
    for (const Load& load : loads) {
        const DisplayOutput& output = access.Outputs()[load.index];
        json.BeginObject();
        json.Key("name");
        json.String(output.name);
        json.Key("gammaSize");
        json.Integer(output.gammaSize);
        json.Key("profile");
        json.String(load.profile);
        json.Key("loaded");
        json.Bool(load.skipped.empty() && !load.refused);
        json.Key("refused");
        json.Bool(load.refused);
        json.Key("skipped");
        json.String(load.skipped);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

std::string LoadsText(const std::vector<Load>& loads, const std::vector<int>& off,
                      const DisplayAccess& access) {
    std::string text;
    for (const Load& load : loads) {
        const char* name = access.Outputs()[load.index].name.c_str();
        if (!load.skipped.empty()) {
            text += Format("%s: skipped, %s\n", name, load.skipped.c_str());
        } else if (load.refused) {
            text += Format("%s: the system refused the table of %s\n", name, load.profile.c_str());
        } else {
            text += Format("%s: loaded the table of %s\n", name, load.profile.c_str());
        }
    }
    for (int index : off) {
        text += Format("%s: skipped, connected but switched off\n",
                       access.Outputs()[index].name.c_str());
    }
    return text;
}

int RunLogonEntry(const Arguments& arguments, std::string* out) {
    if (arguments.Operand() != nullptr || arguments.Has(kMonitorOption.name) ||
        arguments.Has(kOutputOption.name) ||
        (arguments.Has("install-logon") && arguments.Has("remove-logon"))) {
        throw UsageError("--install-logon and --remove-logon take no other argument");
    }
    if (arguments.Has("install-logon")) {
        *out = "runs at logon: " + InstallLogonEntry(arguments.Has("once")) + "\n";
        return kExitSuccess;
    }
    if (arguments.Has("once")) {
        throw UsageError("--once goes with --install-logon");
    }
    *out = RemoveLogonEntry() ? "removed the logon entry\n" : "there was no logon entry\n";
    if (StopSessionKeeper()) {
        *out += "stopped the running keeper; the tables stay loaded\n";
    }
    return kExitSuccess;
}

int RunApply(const Arguments& arguments, std::string* out) {
    if (arguments.Has("install-logon") || arguments.Has("remove-logon")) {
        return RunLogonEntry(arguments, out);
    }
    if (arguments.Has("once")) {
        throw UsageError("--once goes with --install-logon");
    }
    std::unique_ptr<DisplayAccess> access = OpenDisplayAccess();
    if (access->TablesSwitchedOff()) {
        throw ToolError(kExitFailure,
                        std::string(kTablesSwitchedOffText) + "; nothing was changed");
    }
    // A given profile is read before the first table goes in: a bad one changes
    // nothing. Without one, each monitor's own is loaded when it can be.
    std::vector<Load> loads = PlanLoads(arguments, *access);
    int refused = 0;
    int unusable = 0;
    for (Load& load : loads) {
        if (load.unusable) {
            ++unusable;
            WriteOutput(stderr,
                        Format("tonalis apply: %s %s: %s; it was left as it was\n", access->Noun(),
                               access->Outputs()[load.index].name.c_str(), load.skipped.c_str()));
        }
        if (!load.skipped.empty()) {
            continue;
        }
        const std::string problem = LoadAndVerifyTable(*access, load.index, load.curves);
        if (!problem.empty()) {
            load.refused = true;
            ++refused;
            WriteOutput(stderr, Format("tonalis apply: %s for %s %s\n", problem.c_str(),
                                       access->Noun(), access->Outputs()[load.index].name.c_str()));
        }
    }
    *out = arguments.Has("json")
               ? LoadsJson(loads, *access)
               : LoadsText(loads, OutputsSwitchedOff(arguments, *access), *access);
    if (unusable > 0) {
        return kExitBadInput;
    }
    return refused == 0 ? kExitSuccess : kExitFailure;
}

const KnownOption kOptions[] = {kMonitorOption,
                                kOutputOption,
                                {"install-logon", false},
                                {"remove-logon", false},
                                {"once", false}};

}  // namespace

extern const Command kApplyCommand = {
    "apply",
    "apply [PROFILE] [--monitor N | --output NAME] [--json]",
    "Loads the lookup table of an RGB monitor profile's 'vcgt' tag into the\n"
    "display, resampled to each output's gamma size: a table of 1 or 3 channels\n"
    "of any number of 8- or 16-bit entries, or a formula. Without --monitor or\n"
    "--output: every display in use. Without PROFILE (Windows): each monitor\n"
    "gets the profile the applet registered for it, else the one the system\n"
    "associates with it; a monitor without one is skipped with a line. A given\n"
    "PROFILE is read first: one without a usable table changes nothing and exits\n"
    "with status 2. Without PROFILE the other monitors are loaded when one's\n"
    "registered profile has no usable table, and the exit status is 2. A table\n"
    "the system refuses, or that the display does not give back when read, exits\n"
    "with status 1, as does a run while the table features are switched off.\n"
    "  --monitor N      the Nth display in use, from 0 (the applet's numbering)\n"
    "  --output NAME    the output (X) or display device (Windows) of that name\n"
    "  --install-logon  (Windows) run the keeper at every logon, with no window: that\n"
    "                   of the TNP.cpl beside this program, through rundll32.exe\n"
    "  --once           with --install-logon: the one-shot \"tonalis.exe apply\" instead\n"
    "  --remove-logon   (Windows) no longer run either at logon, and end the running\n"
    "                   keeper\n"
    "  --json  {\"outputs\":[{\"name\":NAME,\"gammaSize\":N,\"profile\":PATH,\n"
    "          \"loaded\":BOOL,\"refused\":BOOL,\"skipped\":REASON}]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunApply,
    "PROFILE",
};

}  // namespace tonalis::tool
