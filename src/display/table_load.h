// Loading a table into one display and reading it back: a system may report
// success and keep its old table (Windows does for tables its safety checks
// find too far from identity).
#pragma once

#include <string>

#include "display/display_access.h"
#include "model/monitor_settings.h"

namespace tonalis {

// The curves as a display of size entries per channel holds them, read as
// 256 entries per channel: what a read-back is compared with.
GammaRamp CurvesAsHeld(const VcgtCurves& curves, int size);

// Empty when the display holds the table, within what a table of its size
// keeps; else why not, for a message.
std::string LoadAndVerifyTable(DisplayAccess& access, int index, const VcgtCurves& curves);

}  // namespace tonalis
