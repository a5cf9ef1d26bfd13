// Check box 1290 of page 312 and dialog 324: whether Windows loads the saved
// calibration of this monitor at every logon.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonalis {

struct SessionContext;

// Shown only when the display's table can be set; checked when the loader at
// logon gives the current monitor its calibration back now, or when the user
// has made no choice for it yet.
void ShowLogonChoice(HWND window, const SessionContext* session);

// The box promises this calibration, so it can be checked only while the save
// makes it the monitor's default profile (1185 on page 312).
void EnableLogonChoice(HWND window, const SessionContext* session, bool registering);

// After a save that registered the profile for the monitor: records the
// monitor's choice and keeps the one Run value while any monitor wants it. A
// failure is said once; the saved profile stands.
void KeepLogonChoice(HWND window, uint32_t monitor, int monitorCount);

}  // namespace tonalis
