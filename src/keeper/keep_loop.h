// The keeper's life on X: load, then wait for XRandR events, signals and the
// next check, until SIGTERM, SIGINT or the X server ends it.
#pragma once

#include <string>

#include "keeper/keeper_lock.h"
#include "keeper/output_keep_plan.h"

namespace tonalis {

// Prints one line of what the keeper does.
using KeepSay = void (*)(const std::string& line);

// Returns the exit status. Throws ToolError (status 2) when the display
// cannot be reached or an output named in the plan does not exist. The plan
// takes each profile read again.
int RunKeeper(OutputKeepPlan& plan, const std::string& display, KeeperLock& instance, KeepSay say);

}  // namespace tonalis
