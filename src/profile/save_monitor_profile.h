// Saving a monitor's calibration settings as an ICC monitor profile file.
#pragma once

#include "icc/icc_library.h"
#include "model/monitor_settings.h"

namespace tonalis {

// Updates the profile at source (the record's profilePath) when it can be
// read, keeping every tag the settings do not cover, or builds a new RGB
// monitor profile; sets its description (UTF-8; without a printable ASCII
// character, the ASCII part readers see is the destination's file name
// without its extension) when it differs from the stored one, its white point, gamma curves and
// primaries, and with writeRamp its 'vcgt' table; then writes it to destination, which may be the
// source. Returns 0 or the string to show: 3304 for a null path, 3411 for a source that is not an
// RGB monitor profile or settings that cannot be expressed, 3302 for no memory, 3410 for a source
// that is there but cannot be opened, 3415 for a read or write error or a destination that is
// read-only or no regular file. A failed save leaves the destination exactly as it was; the
// settings are never changed.
int SaveMonitorProfile(const char* source, const char* destination, const char* description,
                       const MonitorSettings& settings, bool writeRamp);

}  // namespace tonalis
