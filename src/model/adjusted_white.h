// The adjusted white point kept while what is known of the monitor changes.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// After the hardware white, the primaries or the native gamma factors of
// working changed from those of before: new peaks, so that the monitor shows
// the same adjusted white. A white it can no longer show keeps the peaks and
// becomes the white they now give.
void KeepAdjustedWhite(const MonitorSettings& before, MonitorSettings* working);

}  // namespace tonalis
