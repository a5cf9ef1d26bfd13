// The keeper's life on X: load, then wait for XRandR events, signals and the
// next check, until SIGTERM, SIGINT or the X server ends it.
#pragma once

#include <string>

#include "keeper/keep_instance.h"
#include "keeper/keep_plan.h"

namespace tonalis::tool {

// Returns the exit status. Throws ToolError (status 2) when the display
// cannot be reached or an output named in the plan does not exist. The plan
// takes each profile read again.
int RunKeeper(KeepPlan& plan, const std::string& display, KeepInstance& instance);

}  // namespace tonalis::tool
