// Matched points in and out of the settings record.
#include "model/matched_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/gamma_ramp.h"

namespace tonalis {

namespace {

constexpr double kTop = 255.0;
constexpr double kHalf = 0.5;
// Levels the pattern centres are drawn at, as fractions of the light.
constexpr double kPatternLights[] = {kDarkestVisibleLight, 0.25, kHalf, 0.75,
                                     kBrightestDistinctLight};

// How far from a power law, in drive levels, a point may lie and still be on it.
constexpr double kOnLawDrive = 1.0;

// Enough for the peak's light to stop moving in the last digit.
constexpr int kSettleRounds = 60;

bool Inside(const TonePoint& p) {
    return p.fraction >= 0.0 && p.fraction <= 1.0 && p.drive >= 0.0 && p.drive <= kTop;
}

double PowerLawFactor(const TonePoint& p) {
    return std::log(p.fraction) / std::log(p.drive / kTop) / NominalCrtGamma;
}

TonePoint HalfOf(double gammaFactor) {
    return {kHalf, kTop * std::pow(kHalf, 1.0 / (NominalCrtGamma * gammaFactor))};
}

// Whether a run has the form of today's table: between the power laws whose
// midpoint rounds to the run's, give or take the rounding of each entry. The
// midpoint's own rounding leaves steep runs far more room than a level.
bool IsPowerLawRun(const uint16_t* run, int peak) {
    const int middle = run[kRampMidpoint] >> 8;
    if (middle == 0 || middle >= peak) {
        return true;
    }
    const double base = std::log(kRampMidpoint / kTop);
    const double upper = std::log((middle + 0.5) / peak) / base;
    const double lower = std::log((middle - 0.5) / peak) / base;
    for (int i = 1; i < kRampSize; ++i) {
        const double x = i / kTop;
        const int level = run[i] >> 8;
        if (level < std::trunc(std::pow(x, lower) * peak + 0.5) - 1 ||
            level > std::trunc(std::pow(x, upper) * peak + 0.5) + 1) {
            return false;
        }
    }
    return true;
}

// A display that clips shows white just past its brightest distinct step,
// going on as it came from the point below; the table must not spend its top
// inputs on levels that all look white.
double WhiteDrive(const TonePoint& below, double brightestDrive) {
    const double slope =
        std::log(kBrightestDistinctLight / below.fraction) / std::log(brightestDrive / below.drive);
    const double white = brightestDrive * std::pow(1.0 / kBrightestDistinctLight, 1.0 / slope);
    return white < kTop ? white : 0.0;
}

// Points that all lie within a level of the power law through their half
// (or, without one, through the factor's), with end steps that do not bend
// it, say no more than it does; an 8-bit table cannot follow them closer.
bool OnPowerLaw(const ToneMatch& inner, const TonePoint* const ends[2], double* factor) {
    if (inner.count < 2) {
        return false;
    }
    double law = *factor;
    for (int i = 0; i < inner.count; ++i) {
        if (inner.points[i].fraction == kHalf) {
            law = PowerLawFactor(inner.points[i]);
        }
    }
    const ResponseCurve curve = ResponseCurve::PowerLaw(NominalCrtGamma * law);
    for (int i = 0; i < inner.count; ++i) {
        if (std::fabs(curve.Drive(inner.points[i].fraction) - inner.points[i].drive) >
            kOnLawDrive) {
            return false;
        }
    }
    for (int e = 0; e < 2; ++e) {
        if (ends[e] && EndBendsCurve(curve, e == 0, ends[e]->drive)) {
            return false;
        }
    }
    *factor = law;
    return true;
}

}  // namespace

double HalfFactor(const ResponseCurve& curve) {
    return PowerLawFactor({kHalf, curve.Drive(kHalf)});
}

bool SetMatchedPoints(const TonePoint* given, int count, double* gammaFactor, ToneMatch* match) {
    ToneMatch inner = {};
    const TonePoint* ends[2] = {nullptr, nullptr};  // black, white
    for (int i = 0; i < count; ++i) {
        const TonePoint& p = given[i];
        if (!Inside(p)) {
            return false;
        }
        if (p.fraction == 0.0 || p.fraction == 1.0) {
            ends[p.fraction == 0.0 ? 0 : 1] = &p;
        } else if (inner.count < kMaxTonePoints - 2) {
            inner.points[inner.count++] = p;
        } else {
            return false;
        }
    }
    std::sort(inner.points, inner.points + inner.count,
              [](const TonePoint& a, const TonePoint& b) { return a.fraction < b.fraction; });
    for (int i = 0; i < inner.count; ++i) {
        const TonePoint& p = inner.points[i];
        if (p.drive <= 0.0 || p.drive >= kTop ||
            (i > 0 && !(p.drive > inner.points[i - 1].drive))) {
            return false;
        }
    }
    const double lowest = inner.count > 0 ? inner.points[0].drive : kTop;
    const double highest = inner.count > 0 ? inner.points[inner.count - 1].drive : 0.0;
    if ((ends[0] && !(ends[0]->drive < lowest)) || (ends[1] && !(ends[1]->drive > highest)) ||
        (ends[0] && ends[1] && !(ends[1]->drive > ends[0]->drive))) {
        return false;
    }

    double factor = *gammaFactor;
    if (OnPowerLaw(inner, ends, &factor)) {
        inner.count = 0;
    }
    if (inner.count == 1) {
        factor = PowerLawFactor(inner.points[0]);
        inner.count = 0;
    }
    const ResponseCurve curve = ChannelResponse(inner, factor);
    if (inner.count > 1) {
        factor = HalfFactor(curve);
    }
    ToneMatch result = inner;
    for (int e = 0; e < 2; ++e) {
        if (ends[e] && EndBendsCurve(curve, e == 0, ends[e]->drive)) {
            if (result.count == 0) {
                result.points[result.count++] = HalfOf(factor);
            }
            result.points[result.count++] = EndPoint(e == 0, ends[e]->drive);
        }
    }
    std::sort(result.points, result.points + result.count,
              [](const TonePoint& a, const TonePoint& b) { return a.fraction < b.fraction; });
    if (ends[1] && result.count > 1 &&
        result.points[result.count - 1].fraction == kBrightestDistinctLight) {
        result.whiteDrive = WhiteDrive(result.points[result.count - 2], ends[1]->drive);
    }
    *gammaFactor = factor;
    *match = result;
    return true;
}

ToneMatch ToneMatchFromRun(const uint16_t* run, double gamma, double gammaFactor) {
    ToneMatch match = {};
    const int peak = run[kRampSize - 1] >> 8;
    if (peak == 0) {
        return match;
    }
    if (IsPowerLawRun(run, peak)) {
        return match;
    }
    // Input c asks for (c / 255)^gamma of the peak's light; the peak's light
    // depends on the curve the points make, so settle it in a few rounds.
    double peakLight = 1.0;
    for (int round = 0; round < kSettleRounds; ++round) {
        match.count = 0;
        int previous = 0;
        for (double light : kPatternLights) {
            const int input = static_cast<int>(kTop * std::pow(light, 1.0 / gamma) + 0.5);
            if (input <= previous || input >= kRampSize - 1) {
                continue;
            }
            previous = input;
            match.points[match.count++] = {std::pow(input / kTop, gamma) * peakLight,
                                           static_cast<double>(run[input] >> 8)};
        }
        const double settled = ChannelResponse(match, gammaFactor).Light(peak);
        if (settled == peakLight) {
            break;
        }
        peakLight = settled;
    }
    return match;
}

TableReading ReadTable(const GammaRamp& ramp, const double gamma[3], const double* previousFactor) {
    const RampEstimate estimate = EstimateFromRamp(ramp, gamma, previousFactor);
    TableReading reading = {};
    reading.whiteRgb = estimate.whiteRgb;
    for (int c = 0; c < 3; ++c) {
        reading.gammaFactor[c] = estimate.gammaFactor[c];
        ToneMatch& match = reading.toneMatch[c];
        match = ToneMatchFromRun(ramp.Channel(c), gamma[c], estimate.gammaFactor[c]);
        if (match.count > 0) {
            reading.gammaFactor[c] = HalfFactor(ChannelResponse(match, estimate.gammaFactor[c]));
        }
    }
    return reading;
}

}  // namespace tonalis
