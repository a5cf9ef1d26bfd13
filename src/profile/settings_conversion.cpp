// Settings to ProfileInfo for saving, and ProfileInfo to settings for loading.
#include "profile/settings_conversion.h"

#include <cmath>

#include "model/colorimetry.h"
#include "model/gamma_ramp.h"
#include "model/plausible_ranges.h"
#include "model/white_point.h"

namespace tonalis {

namespace {

Tristimulus XyzOf(const double xyz[3]) {
    return {xyz[0], xyz[1], xyz[2]};
}

// A colour that can be turned back into a chromaticity when loaded.
bool HasChromaticity(const double xyz[3]) {
    const double sum = xyz[0] + xyz[1] + xyz[2];
    return sum != 0.0 && std::isfinite(sum);
}

bool Plausible(const double xyz[3], const ChromaticityRange& range) {
    Chromaticity c;
    return XyzToXy(XyzOf(xyz), &c) == 0 && ChromaticitySumInRange(c) && InRange(c, range);
}

}  // namespace

bool BuildProfileInfo(const MonitorSettings& settings, ProfileInfo* info) {
    for (const Chromaticity& primary : settings.primaries) {
        if (primary.y == 0.0) {
            return false;
        }
    }
    Tristimulus white;
    if (!CheckedXyToXyz(settings.hardwareWhite, &white)) {
        return false;
    }
    Matrix3 rows;
    if (RgbToXyzMatrix(settings.primaries, settings.hardwareWhite, &rows) != 0) {
        return false;
    }
    info->white[0] = white.X;
    info->white[1] = white.Y;
    info->white[2] = white.Z;
    for (int c = 0; c < 3; ++c) {
        for (int k = 0; k < 3; ++k) {
            info->primaries[c][k] = rows.m[c][k];
        }
        info->black[c] = 0.0;
        info->gamma[c] = settings.gamma[c];
    }
    if (!HasChromaticity(info->white)) {
        return false;
    }
    for (const auto& primary : info->primaries) {
        if (!HasChromaticity(primary)) {
            return false;
        }
    }
    return true;
}

bool CheckProfilePlausible(const ProfileInfo& info) {
    for (double gamma : info.gamma) {
        if (!ProfileGammaInRange(gamma)) {
            return false;
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (!Plausible(info.primaries[c], kPhosphorRanges[c])) {
            return false;
        }
    }
    return Plausible(info.white, kWhitePointRange);
}

bool SettingsFromProfileInfo(const ProfileInfo& info, MonitorSettings* settings) {
    bool converted = XyzToXy(XyzOf(info.white), &settings->hardwareWhite) == 0;
    for (int c = 0; c < 3; ++c) {
        converted = XyzToXy(XyzOf(info.primaries[c]), &settings->primaries[c]) == 0 && converted;
        settings->gamma[c] = info.gamma[c];
    }
    const RampEstimate estimate =
        EstimateFromRamp(settings->ramp, settings->gamma, settings->gammaFactor);
    settings->whiteRgb = estimate.whiteRgb;
    for (int c = 0; c < 3; ++c) {
        settings->gammaFactor[c] = estimate.gammaFactor[c];
    }
    PeaksToWhitePoint(settings->whiteRgb, settings->primaries, settings->hardwareWhite,
                      &settings->adjustedWhite);
    return converted;
}

}  // namespace tonalis
