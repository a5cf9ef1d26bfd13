// Loading the settings of a monitor's current profile into its new record.
#pragma once

#include <windows.h>

#include "model/monitor_settings.h"

namespace tonalis {

// Returns 0 or the string number of what went wrong; 3410 (unreadable) and 3411
// (not an RGB display profile) leave the defaults in force without a message.
int LoadStartProfile(HDC dc, int index, const char* deviceName, MonitorSettings* record);

}  // namespace tonalis
