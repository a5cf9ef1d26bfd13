// Every access to the display's gamma ramp: the crash guard around the start-up
// read, loading a ramp into the display under a window, the live preview of the
// working settings and putting back each monitor's start ramp.
#pragma once

#include <windows.h>

#include "model/monitor_settings.h"

namespace tonalis {

struct SessionContext;

// The guard before a ramp read: true when the read may go ahead (the crash flag
// is then set), false when an earlier read never returned and Ctrl+Shift are
// not held.
bool BeginRampAccess();
// The guard after a ramp read: clears the crash flag.
void EndRampAccess();
// Whether the crash flag is set, which keeps the lookup table features off.
bool RampReadsSwitchedOff();

bool IsKeyDown(int virtualKey);

// Loads the ramp into the display that shows the window: through the device of
// the window's monitor when useMonitorDevice is true, else (or when that fails)
// through the window's own device context. False when the display's table,
// read back, is not the ramp.
bool LoadRampForWindow(HWND window, bool useMonitorDevice, const GammaRamp* ramp);

// The loads below tell the user, once per run, when the display refuses a
// table; the settings stay as they are.

// Loads the working ramp as it is, when the lookup table can be set.
void LoadWorkingRamp(SessionContext* session);

// Recomputes the working ramp and loads it, when the lookup table can be set
// and the window has not begun to close.
void PreviewWorkingRamp(SessionContext* session);

// Gives every monitor whose ramp was read at start that ramp back.
void RestoreStartRamps(SessionContext* session);

}  // namespace tonalis
