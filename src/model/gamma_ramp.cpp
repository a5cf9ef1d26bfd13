// Computing the video lookup table and estimating its parameters back.
#include "model/gamma_ramp.h"

#include <cmath>

#include "model/channel_peaks.h"

namespace tonalis {

namespace {

constexpr int kTopInput = kRampSize - 1;

// A truncated level kept to 0..peak; NaN (a peak of 0 times an infinite
// power) counts as 0.
uint16_t ClampedEntry(double level, int peak) {
    if (!(level > 0.0)) {
        return 0;
    }
    const int clamped = level > peak ? peak : static_cast<int>(level);
    return static_cast<uint16_t>(clamped << 8);
}

// truncate(power x peak + 0.5), kept to 0..peak.
uint16_t RampEntry(double power, int peak) {
    return ClampedEntry(std::trunc(power * peak + 0.5), peak);
}

int HighByte(uint16_t entry) {
    return entry >> 8;
}

void PowerLawRun(double exponent, int peak, uint16_t* run) {
    for (int i = 0; i < kRampSize; ++i) {
        run[i] = RampEntry(std::pow(i / 255.0, exponent), peak);
    }
}

// Input i asks for (i / 255)^gamma of the light at the peak; the curve says
// which drive gives it.
void CurveRun(const ResponseCurve& curve, double gamma, int peak, uint16_t* run) {
    const double peakLight = curve.Light(peak);
    for (int i = 0; i < kRampSize; ++i) {
        const double drive = curve.Drive(std::pow(i / 255.0, gamma) * peakLight);
        run[i] = ClampedEntry(std::trunc(drive + 0.5), peak);
    }
}

}  // namespace

GammaRamp BuildGammaRamp(const double gamma[3], const double gammaFactor[3], uint32_t whiteRgb) {
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        const int peak = PeakOf(whiteRgb, static_cast<Channel>(c));
        PowerLawRun(gamma[c] / (NominalCrtGamma * gammaFactor[c]), peak, ramp.Channel(c));
    }
    return ramp;
}

ResponseCurve ChannelResponse(const ToneMatch& match, double gammaFactor) {
    return ResponseCurve::Through(match, NominalCrtGamma * gammaFactor);
}

GammaRamp BuildGammaRamp(const double gamma[3], const double gammaFactor[3], uint32_t whiteRgb,
                         const ToneMatch match[3]) {
    GammaRamp ramp = BuildGammaRamp(gamma, gammaFactor, whiteRgb);
    for (int c = 0; c < 3; ++c) {
        if (match[c].count == 0) {
            continue;
        }
        const ResponseCurve curve = ChannelResponse(match[c], gammaFactor[c]);
        const int peak = PeakOf(whiteRgb, static_cast<Channel>(c));
        if (curve.IsPowerLaw()) {
            PowerLawRun(gamma[c] / curve.NativeGamma(), peak, ramp.Channel(c));
        } else {
            CurveRun(curve, gamma[c], peak, ramp.Channel(c));
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
