// tonalis apply: loads the table of a profile's 'vcgt' into displays, so that
// a calibration comes back after a logon, a mode change or a driver reset.
#include <cstdio>
#include <string>
#include <vector>

#include "tool/arguments.h"
#include "tool/command.h"
#include "tool/display_access.h"
#include "tool/json_writer.h"
#include "tool/loader_targets.h"
#include "tool/logon_entry.h"
#include "tool/table_load.h"
#include "tool/text_format.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

namespace {

// What happens to one display.
struct Load {
    int index;
    std::string profile;  // empty when it has none
    std::string skipped;  // why nothing is loaded, when nothing is
    VcgtCurves curves;
    bool refused = false;
};

// A table given on the command line is used for every display or not at all.
VcgtCurves GivenTable(const std::string& path) {
    const ProfileTable table = ReadTableOfProfile(path);
    if (table.problem != TableProblem::kNone) {
        throw UsageError(table.message + "; nothing was changed");
    }
    return table.curves;
}

// The display's own profile. One the applet registered must be usable; one the
// system associates may be any profile (sRGB has no table), so it is passed by.
Load StoredLoad(DisplayAccess& access, int index) {
    Load load{index, {}, {}, {}};
    const std::string& name = access.Outputs()[index].name;
    bool registered = false;
    if (!access.StoredProfile(index, &load.profile, &registered)) {
        load.skipped = "no profile is registered or associated";
        return load;
    }
    const ProfileTable table = ReadTableOfProfile(load.profile);
    if (table.problem == TableProblem::kNone) {
        load.curves = table.curves;
    } else if (registered) {
        throw UsageError(Format("%s %s: ", access.Noun(), name.c_str()) + table.message +
                         "; nothing was changed");
    } else {
        load.skipped = "its associated profile holds no table (" + table.message + ")";
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
        *out = "runs at logon: " + InstallLogonEntry() + "\n";
    } else {
        *out = RemoveLogonEntry() ? "removed the logon entry\n" : "there was no logon entry\n";
    }
    return kExitSuccess;
}

int RunApply(const Arguments& arguments, std::string* out) {
    if (arguments.Has("install-logon") || arguments.Has("remove-logon")) {
        return RunLogonEntry(arguments, out);
    }
    std::unique_ptr<DisplayAccess> access = OpenDisplayAccess();
    // Every profile is read before the first table goes in: a bad one changes nothing.
    std::vector<Load> loads = PlanLoads(arguments, *access);
    int refused = 0;
    for (Load& load : loads) {
        if (!load.skipped.empty()) {
            continue;
        }
        const std::string problem = LoadAndVerifyTable(*access, load.index, load.curves);
        if (!problem.empty()) {
            load.refused = true;
            ++refused;
            std::fprintf(stderr, "tonalis apply: %s for %s %s\n", problem.c_str(), access->Noun(),
                         access->Outputs()[load.index].name.c_str());
        }
    }
    *out = arguments.Has("json")
               ? LoadsJson(loads, *access)
               : LoadsText(loads, OutputsSwitchedOff(arguments, *access), *access);
    return refused == 0 ? kExitSuccess : kExitFailure;
}

const KnownOption kOptions[] = {
    kMonitorOption, kOutputOption, {"install-logon", false}, {"remove-logon", false}};

}  // namespace

extern const Command kApplyCommand = {
    "apply",
    "apply [PROFILE] [--monitor N | --output NAME] [--json]",
    "Loads the lookup table of an RGB monitor profile's 'vcgt' tag into the\n"
    "display, resampled to each output's gamma size: a table of 1 or 3 channels\n"
    "of any number of 8- or 16-bit entries, or a formula. Without --monitor or\n"
    "--output: every display in use. Without PROFILE (Windows): each monitor\n"
    "gets the profile the applet registered for it, else the one the system\n"
    "associates with it; a monitor without one is skipped with a line. Every\n"
    "profile is read first: one without a usable table changes nothing and exits\n"
    "with status 2. A table the system refuses, or that the display does not\n"
    "give back when read, exits with status 1.\n"
    "  --monitor N      the Nth display in use, from 0 (the applet's numbering)\n"
    "  --output NAME    the output (X) or display device (Windows) of that name\n"
    "  --install-logon  (Windows) run \"tonalis.exe apply\" at every logon\n"
    "  --remove-logon   (Windows) no longer run it at logon\n"
    "  --json  {\"outputs\":[{\"name\":NAME,\"gammaSize\":N,\"profile\":PATH,\n"
    "          \"loaded\":BOOL,\"refused\":BOOL,\"skipped\":REASON}]}\n",
    kOptions,
    sizeof kOptions / sizeof kOptions[0],
    RunApply,
    "PROFILE",
};

}  // namespace tonalis::tool
