// Whether a table found outside the run (left in the registry by an earlier
// run) can be a display's lookup table at all, before it goes into a display.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// Every channel rises from its first entry to its last and never falls, and
// by at least a quarter of the scale: a flatter channel leaves the screen dark
// or washed out, which no calibration and no driver's table does.
bool IsPlausibleDisplayTable(const GammaRamp& ramp);

}  // namespace tonalis
