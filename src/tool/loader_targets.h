// What apply, reset and show share: which displays the options name.
#pragma once

#include <string>
#include <vector>

#include "display/display_access.h"
#include "display/profile_table.h"
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

constexpr KnownOption kMonitorOption = {"monitor", true};
constexpr KnownOption kOutputOption = {"output", true};

}  // namespace tonalis::tool
