// The logon session this process runs in, and when it began.
#pragma once

#include <windows.h>

namespace tonalis {

// False when the system cannot say.
bool CurrentLogonSession(LUID* session);

// When the logon session began, else when the system started: no logon began
// earlier.
FILETIME LogonTime(const LUID& session);

}  // namespace tonalis
