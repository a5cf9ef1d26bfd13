// The monitor record a calibration starts from, without a display to read.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// The defaults a monitor record starts with in the applet (6500K, HDTV, gamma
// 2.2, full peaks, native gamma factors 1.0, "Orvane Monitor Profile"), on a
// display whose lookup table is the identity: what a profile without a
// 'vcgt' is read against.
MonitorSettings StartingRecord();

}  // namespace tonalis
