// Settings to ProfileInfo for saving, and ProfileInfo to settings for loading.
#include "profile/settings_conversion.h"

#include <cmath>

#include "icc/curve_tag.h"
#include "model/colorimetry.h"
#include "model/gamma_ramp.h"
#include "model/matched_points.h"
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

// A value saved on a bound of its range comes back a little off it, and must
// load again. The file rounds X, Y and Z to steps of 2^-16, half a step off
// at most. The white is read back as stored. A primary is adapted back from
// D50 to that stored white; for whites in the accepted range this multiplies
// the stored error by at most 1.9 and, for each step that one component of
// the white moved, changes the colour by at most 2.1 steps per unit (the
// colorants of a saved profile stay below 1). With an error e in each
// component, S = X + Y + Z moves by at most 3e, and x = X / S, y and x + y by
// at most 5e / S.
constexpr double kFixedStep = 1.0 / 65536.0;
constexpr double kWhiteError = 0.5 * kFixedStep;
constexpr double kPrimaryError = (0.5 * 1.9 + 3 * 0.5 * 2.1) * kFixedStep;
constexpr double kChromaticityGain = 5.0;
constexpr double kSumGain = 3.0;
// A colour whose S is within twice its possible error of 0 could be mostly
// rounding, and does not load. So a primary that adds less than three times
// that to the white (the white lies that near an edge of the gamut, or
// beyond it) is not saved.
constexpr double kSmallestSavedSum = 3 * kSumGain * kPrimaryError;

ValueRange Widened(ValueRange range, double slack) {
    return {range.low - slack, range.high + slack};
}

// The chromaticity of xyz in range, allowing for an error in each component.
bool Plausible(const double xyz[3], const ChromaticityRange& range, double error) {
    const double sum = xyz[0] + xyz[1] + xyz[2];
    Chromaticity c;
    if (!(sum >= 2 * kSumGain * error) || XyzToXy(XyzOf(xyz), &c) != 0) {
        return false;
    }
    // sum - 3e: the least that S was when saved.
    const double slack = kChromaticityGain * error / (sum - kSumGain * error);
    return c.x + c.y <= 1.0 + slack && InRange(c.x, Widened(range.x, slack)) &&
           InRange(c.y, Widened(range.y, slack));
}

}  // namespace

Chromaticity ShownWhite(const MonitorSettings& settings, bool throughTable) {
    Chromaticity shown = settings.hardwareWhite;
    if (throughTable) {
        // The gammas as the file keeps them, which a load estimates with.
        double stored[3];
        for (int c = 0; c < 3; ++c) {
            stored[c] = icc::StoredGamma(settings.gamma[c]);
        }
        TableWhitePoint(settings.ramp, stored, settings.gammaFactor, settings.primaries,
                        settings.hardwareWhite, &shown);
    }
    return shown;
}

bool BuildProfileInfo(const MonitorSettings& settings, bool throughTable, ProfileInfo* info) {
    for (const Chromaticity& primary : settings.primaries) {
        if (primary.y == 0.0) {
            return false;
        }
    }
    if (settings.hardwareWhite.y == 0.0) {
        return false;
    }
    const Chromaticity shown = ShownWhite(settings, throughTable);
    Tristimulus white;
    if (!CheckedXyToXyz(shown, &white)) {
        return false;
    }
    // The colorants of the monitor as it shows that white: the same
    // primaries, in the amounts that add up to it.
    Matrix3 rows;
    if (RgbToXyzMatrix(settings.primaries, shown, &rows) != 0) {
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
    // A white outside the gamut gives a primary a negative sum.
    for (const auto& primary : info->primaries) {
        if (!HasChromaticity(primary) ||
            !(primary[0] + primary[1] + primary[2] >= kSmallestSavedSum)) {
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
        if (!Plausible(info.primaries[c], kPhosphorRanges[c], kPrimaryError)) {
            return false;
        }
    }
    return Plausible(info.white, kWhitePointRange, kWhiteError);
}

bool SettingsFromProfileInfo(const ProfileInfo& info, MonitorSettings* settings) {
    bool converted = XyzToXy(XyzOf(info.white), &settings->hardwareWhite) == 0;
    for (int c = 0; c < 3; ++c) {
        converted = XyzToXy(XyzOf(info.primaries[c]), &settings->primaries[c]) == 0 && converted;
        settings->gamma[c] = info.gamma[c];
    }
    const TableReading reading = ReadTable(settings->ramp, settings->gamma, settings->gammaFactor);
    settings->whiteRgb = reading.whiteRgb;
    for (int c = 0; c < 3; ++c) {
        settings->gammaFactor[c] = reading.gammaFactor[c];
        settings->toneMatch[c] = reading.toneMatch[c];
    }
    PeaksToWhitePoint(settings->whiteRgb, settings->primaries, settings->hardwareWhite,
                      settings->gammaFactor, settings->toneMatch, &settings->adjustedWhite);
    return converted;
}

}  // namespace tonalis
