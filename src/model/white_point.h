// The adjusted white point expressed as channel peaks (whiteRgb) and back.
//
// A peak is the drive level at the top of a channel's table, so the light it
// gives goes through the channel's native response: the curve through the
// points matched by eye, or without them the gamma the user matched,
// NominalCrtGamma x gammaFactor. Every conversion between peaks and light
// goes through PeakLight and PeakForLight.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"
#include "model/tone_match.h"

namespace tonalis {

// The share of a channel's full light that it gives at drive level peak
// (0..255) on a monitor with this native gamma factor and matched points.
double PeakLight(int peak, double gammaFactor, const ToneMatch& match);
// The drive level 0..255 that gives this share of the channel's full light.
int PeakForLight(double light, double gammaFactor, const ToneMatch& match);

// The peaks that make a monitor with these primaries, native (hardware) white
// and native gamma factors show the target white: one channel keeps 255, the
// others are lowered. False, with *whiteRgb untouched, when the target lies
// outside the monitor's gamut (it would need a negative amount of a primary)
// or the primaries are unusable.
bool WhitePointToPeaks(Chromaticity target, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, const double gammaFactor[3],
                       const ToneMatch match[3], uint32_t* whiteRgb);

// The white point that the monitor shows with these peaks. False, with the
// output untouched, when the primaries are unusable; all peaks 0 leave the
// output untouched but still succeed.
bool PeaksToWhitePoint(uint32_t whiteRgb, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, const double gammaFactor[3],
                       const ToneMatch match[3], Chromaticity* adjustedWhite);

// The same for power laws alone.
inline bool WhitePointToPeaks(Chromaticity target, const Chromaticity primaries[3],
                              Chromaticity hardwareWhite, const double gammaFactor[3],
                              uint32_t* whiteRgb) {
    return WhitePointToPeaks(target, primaries, hardwareWhite, gammaFactor, kPowerLaws, whiteRgb);
}
inline bool PeaksToWhitePoint(uint32_t whiteRgb, const Chromaticity primaries[3],
                              Chromaticity hardwareWhite, const double gammaFactor[3],
                              Chromaticity* adjustedWhite) {
    return PeaksToWhitePoint(whiteRgb, primaries, hardwareWhite, gammaFactor, kPowerLaws,
                             adjustedWhite);
}

// The white that a table shows on the monitor, as its peaks, gamma factors
// and matched points are read back from it (ReadTable with these target
// gammas; a channel that says nothing of its factor takes previousFactor's).
// False as PeaksToWhitePoint.
bool TableWhitePoint(const GammaRamp& ramp, const double gamma[3], const double previousFactor[3],
                     const Chromaticity primaries[3], Chromaticity hardwareWhite,
                     Chromaticity* white);

// Whether a monitor with these primaries can show the white at all: it takes a
// positive amount of every primary.
bool WhiteInsideGamut(const Chromaticity primaries[3], Chromaticity white);

}  // namespace tonalis
