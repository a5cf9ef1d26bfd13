// Calibration settings from an ICC monitor profile file, and the reduced
// reads that preview a file's description or show its lookup table.
#pragma once

#include <cstddef>

#include "model/monitor_settings.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

// Reads the profile's gammas, primaries and white, checks that they are
// plausible for a monitor and fills the record: those values, the ramp from a
// usable 'vcgt' (else the record's ramp stays), the peaks, native gamma
// factors and adjusted white derived from the ramp, the description (in
// UTF-8: the Unicode text when the profile has one) and the path. Returns 0 or the string to show:
// 3304 for a null argument, 3410 when the file cannot be read, 3411 when it
// is not a plausible RGB monitor profile or announces more than 1 MiB or less
// than a header, 3302 for no memory. A failed load leaves the record exactly
// as it was.
int LoadMonitorProfile(const char* path, MonitorSettings* record);

// The description of an RGB monitor profile in UTF-8, as LoadMonitorProfile
// takes it, into text (at most size bytes, always terminated, never ending in
// part of a character). Returns
// 0 or the string numbers of LoadMonitorProfile; the values are not checked
// for plausibility.
int ReadProfileDescription(const char* path, char* text, size_t size);

// The profile's 'vcgt' into ramp as the loader reads it, at 256 entries a
// channel; *present is false, with ramp untouched, when there is no usable
// one. Returns 0 or the string numbers of LoadMonitorProfile for a file that
// is not an RGB monitor profile.
int ReadProfileRamp(const char* path, GammaRamp* ramp, bool* present);

// The profile's 'vcgt' in any of its forms, for the loader; *problem tells
// why there is none to use. Returns 0 or the string numbers of
// LoadMonitorProfile for a file that is not an RGB monitor profile.
int ReadProfileCurves(const char* path, VcgtCurves* curves, VcgtProblem* problem);

}  // namespace tonalis
