// Tolerant comparisons of settings against presets and against each other.
#include "model/matching.h"

#include <cmath>
#include <cstring>

#include "model/presets.h"
#include "model/slider_mapping.h"

namespace tonalis {

namespace {

bool WithinTolerance(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance + kToleranceSlack;
}

// The record's text fields need not be terminated; never read past them.
template <size_t N>
bool TextEqual(const char (&a)[N], const char (&b)[N]) {
    return std::strncmp(a, b, N) == 0;
}

}  // namespace

bool ChromaticityMatches(Chromaticity a, Chromaticity b) {
    return WithinTolerance(a.x, b.x, kChromaticityTolerance) &&
           WithinTolerance(a.y, b.y, kChromaticityTolerance);
}

bool GammaMatches(double a, double b) {
    return WithinTolerance(a, b, kGammaTolerance);
}

bool WhiteMatchesPreset(Chromaticity white, int index) {
    if (index < 0) {
        return false;
    }
    if (index >= kWhitePresetCount) {
        return true;
    }
    return ChromaticityMatches(white, GetWhitePreset(index));
}

bool PhosphorsMatchPreset(const Chromaticity primaries[3], int index) {
    if (index < 0) {
        return false;
    }
    if (index >= kPhosphorPresetCount) {
        return true;
    }
    Chromaticity preset[3];
    GetPhosphorPreset(index, preset);
    for (int c = 0; c < 3; ++c) {
        if (!ChromaticityMatches(primaries[c], preset[c])) {
            return false;
        }
    }
    return true;
}

bool GammaMatchesPreset(double gamma, int index) {
    if (index < 0) {
        return false;
    }
    if (index >= kGammaPresetCount) {
        return true;
    }
    return GammaMatches(gamma, GetGammaPreset(index));
}

bool ChannelsMatch(const MonitorSettings& settings) {
    const double* gamma = settings.gamma;
    if (!GammaMatches(gamma[kRed], gamma[kGreen]) || !GammaMatches(gamma[kRed], gamma[kBlue])) {
        return false;
    }
    if (settings.hasGammaRamp == 0) {
        return true;
    }
    // With a lookup table the native gamma sliders show too; they must agree.
    int positions[3];
    for (int c = 0; c < 3; ++c) {
        positions[c] = ValueToSlider(kGammaFactorSliderMin, kGammaFactorSliderMax,
                                     settings.gammaFactor[c], kGammaFactorLow, kGammaFactorHigh);
    }
    return positions[kRed] == positions[kGreen] && positions[kRed] == positions[kBlue];
}

// Drives within a hundredth of a level match: a control moves in larger steps.
bool ToneMatchesEqual(const ToneMatch& a, const ToneMatch& b) {
    if (a.count != b.count || std::fabs(a.whiteDrive - b.whiteDrive) > 0.01) {
        return false;
    }
    for (int i = 0; i < a.count && i < kMaxTonePoints; ++i) {
        if (std::fabs(a.points[i].fraction - b.points[i].fraction) > 1e-6 ||
            std::fabs(a.points[i].drive - b.points[i].drive) > 0.01) {
            return false;
        }
    }
    return true;
}

bool SettingsEqual(const MonitorSettings& a, const MonitorSettings& b) {
    if (!TextEqual(a.description, b.description) || !TextEqual(a.profilePath, b.profilePath)) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        if (!GammaMatches(a.gamma[c], b.gamma[c])) {
            return false;
        }
    }
    if (!ChromaticityMatches(a.hardwareWhite, b.hardwareWhite)) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        if (!ChromaticityMatches(a.primaries[c], b.primaries[c])) {
            return false;
        }
    }
    if (a.whiteRgb != b.whiteRgb) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        if (!GammaMatches(a.gammaFactor[c], b.gammaFactor[c]) ||
            !ToneMatchesEqual(a.toneMatch[c], b.toneMatch[c])) {
            return false;
        }
    }
    return true;
}

}  // namespace tonalis
