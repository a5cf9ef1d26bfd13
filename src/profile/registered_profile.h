// Loading the profile that the registry remembers for a monitor number.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// The profile remembered for the monitor, or the default settings profile
// when none is, loaded with LoadMonitorProfile. 3302 when the path buffer
// cannot be allocated, 3304 when the registry lookup fails.
int LoadRegisteredProfile(int index, MonitorSettings* record);

}  // namespace tonalis
