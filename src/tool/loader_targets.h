// What apply, reset and show share: which displays the options name, and the
// table a profile holds, refused with a clear message when it cannot be used.
#pragma once

#include <string>
#include <vector>

#include "display/display_access.h"
#include "profile/vcgt_curves.h"
#include "tool/command.h"

namespace tonalis::tool {

class Arguments;

// --monitor N (0 is the first display in use) or --output NAME; without them
// every display in use. Throws UsageError for an unknown name or number
// (listing those that exist) and for a named display without a gamma table,
// before anything is changed.
std::vector<int> SelectOutputs(const Arguments& arguments, const DisplayAccess& access);

// Connected outputs that show nothing, which the default selection passes by.
std::vector<int> OutputsSwitchedOff(const Arguments& arguments, const DisplayAccess& access);

enum class TableProblem { kNone, kNotProfile, kNoVcgt, kUnusableVcgt };

struct ProfileTable {
    TableProblem problem = TableProblem::kNone;
    VcgtCurves curves;
    std::string message;  // why it cannot be used, naming the file
};

// The 'vcgt' in any form that colour tools write.
ProfileTable ReadTableOfProfile(const std::string& path);

// Why a display's own profile gives it no table, naming the file.
std::string StoredTableProblem(const StoredTable& stored);

constexpr KnownOption kMonitorOption = {"monitor", true};
constexpr KnownOption kOutputOption = {"output", true};

}  // namespace tonalis::tool
