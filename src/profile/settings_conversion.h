// The calibration settings of a monitor record in the colorimetric form that
// the ICC library exchanges (ProfileInfo), and back.
#pragma once

#include "icc/profile_info.h"
#include "model/monitor_settings.h"

namespace tonalis {

// The white the monitor shows: through the record's table when throughTable
// (TableWhitePoint, so that a load reads the same white back), else its own.
Chromaticity ShownWhite(const MonitorSettings& settings, bool throughTable);

// Fills the gammas, the white that the monitor shows (ShownWhite, Y = 1), the
// primaries (XYZ of full red, green and blue relative to that white,
// unadapted) and a zero black point; kind, intent and text are left alone.
// False, with nothing useful in the record, when a y is 0, the primaries are
// singular, a colour would have no chromaticity (zero or not finite
// X + Y + Z), or a primary adds too little to the white (or less than
// nothing: a white outside the gamut) to load again from the file.
bool BuildProfileInfo(const MonitorSettings& settings, bool throughTable, ProfileInfo* info);

// Whether a profile's gammas, primaries and white lie in the ranges that a
// monitor may have (every bound included, less the file's rounding), so that
// whatever BuildProfileInfo accepts within them loads again.
bool CheckProfilePlausible(const ProfileInfo& info);

// Hardware white, primaries and gammas from the record, then the peaks, native
// gamma factors and adjusted white that the record's ramp stands for. Every
// step is taken; false when a white or primary had a zero X + Y + Z, which
// leaves that chromaticity as it was.
bool SettingsFromProfileInfo(const ProfileInfo& info, MonitorSettings* settings);

}  // namespace tonalis
