// Computing the video lookup table and estimating its parameters back.
#include "model/gamma_ramp.h"

#include <cmath>

#include "model/channel_peaks.h"

namespace tonalis {

namespace {

constexpr int kTopInput = kRampSize - 1;

// truncate(v + 0.5) kept to 0..peak; NaN (a peak of 0 times an infinite
// power) counts as 0.
uint16_t RampEntry(double power, int peak) {
    const double level = std::trunc(power * peak + 0.5);
    if (!(level > 0.0)) {
        return 0;
    }
    const int clamped = level > peak ? peak : static_cast<int>(level);
    return static_cast<uint16_t>(clamped << 8);
}

int HighByte(uint16_t entry) {
    return entry >> 8;
}

}  // namespace

GammaRamp BuildGammaRamp(const double gamma[3], const double gammaFactor[3], uint32_t whiteRgb) {
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        const int peak = PeakOf(whiteRgb, static_cast<Channel>(c));
        const double exponent = gamma[c] / (NominalCrtGamma * gammaFactor[c]);
        uint16_t* run = ramp.Channel(c);
        for (int i = 0; i < kRampSize; ++i) {
            run[i] = RampEntry(std::pow(i / 255.0, exponent), peak);
        }
    }
    return ramp;
}

RampEstimate EstimateFromRamp(const GammaRamp& ramp, const double gamma[3],
                              const double* previousFactor) {
    RampEstimate estimate;
    int peaks[3];
    for (int c = 0; c < 3; ++c) {
        const uint16_t* run = ramp.Channel(c);
        const int midpoint = HighByte(run[kRampMidpoint]);
        const int top = HighByte(run[kTopInput]);
        peaks[c] = top;

        double factor = 1.0;
        if (previousFactor && std::isfinite(previousFactor[c])) {
            factor = previousFactor[c];
        }
        if (midpoint != 0 && top != 0 && midpoint != top) {
            const double estimated =
                (std::log(static_cast<double>(kRampMidpoint) / kTopInput) * gamma[c]) /
                (std::log(static_cast<double>(midpoint) / top) * NominalCrtGamma);
            if (std::isfinite(estimated)) {
                factor = estimated;
            }
        }
        estimate.gammaFactor[c] = factor;
    }
    estimate.whiteRgb =
        PackPeaks(static_cast<uint8_t>(peaks[kRed]), static_cast<uint8_t>(peaks[kGreen]),
                  static_cast<uint8_t>(peaks[kBlue]));
    return estimate;
}

}  // namespace tonalis
