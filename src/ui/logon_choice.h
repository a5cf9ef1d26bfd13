// Check box 1290 of page 312 and dialog 324: whether Windows loads the saved
// calibration at every logon.
#pragma once

#include <windows.h>

namespace tonalis {

struct SessionContext;

// Checked at first; shown only when the display's table can be set.
void ShowLogonChoice(HWND window, const SessionContext* session);

// After a successful save: installs the applet's logon loader when the box is
// checked, else removes the one a Tonalis wrote. A failure is said once; the
// saved profile stands.
void KeepLogonChoice(HWND window);

}  // namespace tonalis
