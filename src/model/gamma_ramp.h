// The video lookup table computed from the target gammas, the monitor's native
// gamma factors and the channel peaks, and the estimate that goes back from a
// table to peaks and factors.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"
#include "model/response_curve.h"

namespace tonalis {

// The native monitor gamma that a gamma factor of 1.0 stands for.
constexpr double NominalCrtGamma = 2.61;

// The input whose entry the estimate reads.
constexpr int kRampMidpoint = 128;

// Per channel: entry i = truncate((i / 255)^exponent x peak + 0.5) x 256 with
// exponent = gamma / (NominalCrtGamma x gammaFactor), so that the monitor
// shows input^gamma. 8-bit levels sit in the high byte; entry 0 is 0 and the
// top entry is peak x 256. Levels are kept within 0..255 whatever the inputs.
GammaRamp BuildGammaRamp(const double gamma[3], const double gammaFactor[3], uint32_t whiteRgb);

// The same with each channel's matched points: a channel with none is the
// run above, bit for bit; one with points is the inverse of its response
// curve, so that input i shows (i / 255)^gamma of the light at its peak.
GammaRamp BuildGammaRamp(const double gamma[3], const double gammaFactor[3], uint32_t whiteRgb,
                         const ToneMatch match[3]);

// The response a channel's table is computed for: its matched points, or
// the power law of its gamma factor.
ResponseCurve ChannelResponse(const ToneMatch& match, double gammaFactor);

struct RampEstimate {
    uint32_t whiteRgb;
    double gammaFactor[3];
};

// The peaks (the high bytes of the top entries) and the gamma factors of a
// ramp of BuildGammaRamp's form that passes through each channel's midpoint.
// A channel whose midpoint or top level is 0, or whose midpoint equals its
// top, says nothing about its gamma: it keeps previousFactor[c], or 1.0 when
// previousFactor is null or not finite. The factors are always finite.
RampEstimate EstimateFromRamp(const GammaRamp& ramp, const double gamma[3],
                              const double* previousFactor = nullptr);

}  // namespace tonalis
