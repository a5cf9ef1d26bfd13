// Filling a new monitor record at the start of a run.
#pragma once

#include <windows.h>

#include "model/monitor_settings.h"

namespace tonalis {

// Defaults, the display's ramp read under the crash guard, the default profile
// path and the monitor's profile. False when an error has been shown.
bool InitMonitorSettings(HDC dc, int index, const char* deviceName, MonitorSettings* record,
                         HINSTANCE instance);

}  // namespace tonalis
