// Running "tonalis keep" (or once, "tonalis apply") at every logon, so that
// each monitor gets its calibration back: a value under the user's Run key on
// Windows.
#pragma once

#include <string>

namespace tonalis::tool {

// Writes the entry, the keeper's or with once the one-shot loader's; returns
// the command line it runs. Throws ToolError when the entry cannot be written
// or the system has no such place.
std::string InstallLogonEntry(bool once);

// Deletes the entry; false when there was none.
bool RemoveLogonEntry();

// Ends the keeper running in this session; false when none ran.
bool StopSessionKeeper();

}  // namespace tonalis::tool
