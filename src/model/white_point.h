// The adjusted white point expressed as channel peaks (whiteRgb) and back.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"

namespace tonalis {

// The peaks that make a monitor with these primaries and native (hardware)
// white show the target white: one channel keeps 255, the others are scaled
// down. False, with *whiteRgb untouched, when the target lies outside the
// monitor's gamut (it would need a negative amount of a primary) or the
// primaries are unusable.
bool WhitePointToPeaks(Chromaticity target, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, uint32_t* whiteRgb);

// The white point that the monitor shows with these peaks. False, with the
// output untouched, when the primaries are unusable; all peaks 0 leave the
// output untouched but still succeed.
bool PeaksToWhitePoint(uint32_t whiteRgb, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, Chromaticity* adjustedWhite);

// Whether a monitor with these primaries can show the white at all: it takes a
// positive amount of every primary.
bool WhiteInsideGamut(const Chromaticity primaries[3], Chromaticity white);

}  // namespace tonalis
