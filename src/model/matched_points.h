// What the eye matched on one channel turned into the channel's gamma factor
// and tone points, and the points a table passes through read back from it.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"
#include "model/response_curve.h"

namespace tonalis {

// The gamma factor of the power law through the curve's half.
double HalfFactor(const ResponseCurve& curve);

// given: fraction 0 for the darkest visible step, 1 for the brightest step
// still told from white, anything between for a pattern, each with the drive
// that showed it. One pattern point makes a power law through it (a half
// gives back the gamma page's factor); more make a curve. The end steps are
// judged against the curve of the rest (or the power law of *gammaFactor)
// and kept only where they bend it. False, with nothing changed, when the
// points do not rise together, a value lies outside 0..1 or 0..255, or
// there are too many.
bool SetMatchedPoints(const TonePoint* given, int count, double* gammaFactor, ToneMatch* match);

// The points one channel's run passes through at the levels the patterns
// show (near black, a quarter, a half, three quarters, near white), for a
// target gamma; none when the run is the power law of gammaFactor within a
// level, as a table made without fine-tuning is.
ToneMatch ToneMatchFromRun(const uint16_t* run, double gamma, double gammaFactor);

// What a table says of the monitor: its peaks and gamma factors
// (EstimateFromRamp) and, for a table fine-tuned by eye, the points it passes
// through, the factors then those of the curves' halves.
struct TableReading {
    uint32_t whiteRgb;
    double gammaFactor[3];
    ToneMatch toneMatch[3];
};
TableReading ReadTable(const GammaRamp& ramp, const double gamma[3],
                       const double* previousFactor = nullptr);

}  // namespace tonalis
