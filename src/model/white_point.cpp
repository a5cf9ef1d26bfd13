// Conversions between an adjusted white point and the channel peaks.
#include "model/white_point.h"

#include <cmath>

#include "model/channel_peaks.h"
#include "model/colorimetry.h"
#include "model/gamma_ramp.h"
#include "model/matched_points.h"

namespace tonalis {

namespace {

// A factor that cannot be a monitor's (not a positive number) is taken as 1.
double NativeGamma(double gammaFactor) {
    const double native = NominalCrtGamma * gammaFactor;
    return native > 0.0 && std::isfinite(native) ? native : NominalCrtGamma;
}

}  // namespace

double PeakLight(int peak, double gammaFactor, const ToneMatch& match) {
    if (match.count > 0) {
        return ChannelResponse(match, NativeGamma(gammaFactor) / NominalCrtGamma).Light(peak);
    }
    return std::pow(peak / 255.0, NativeGamma(gammaFactor));
}

int PeakForLight(double light, double gammaFactor, const ToneMatch& match) {
    if (!(light > 0.0)) {
        return 0;
    }
    const double level =
        match.count > 0
            ? std::trunc(
                  ChannelResponse(match, NativeGamma(gammaFactor) / NominalCrtGamma).Drive(light) +
                  0.5)
            : std::trunc(std::pow(light, 1.0 / NativeGamma(gammaFactor)) * 255.0 + 0.5);
    return level > 255.0 ? 255 : static_cast<int>(level);
}

bool WhitePointToPeaks(Chromaticity target, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, const double gammaFactor[3],
                       const ToneMatch match[3], uint32_t* whiteRgb) {
    Matrix3 toRgb;
    if (XyzToRgbMatrix(primaries, hardwareWhite, &toRgb) != 0) {
        return false;
    }
    Tristimulus targetXyz;
    if (!CheckedXyToXyz(target, &targetXyz)) {
        return false;
    }
    // The light each channel must give, the largest at full output.
    Vector3 rgb = RowTimesMatrix3(AsVector(targetXyz), toRgb);
    if (NormalizeToUnitMax(&rgb) != 0) {
        return false;
    }
    uint8_t peaks[3];
    for (int c = 0; c < 3; ++c) {
        peaks[c] = static_cast<uint8_t>(PeakForLight(rgb[c], gammaFactor[c], match[c]));
    }
    *whiteRgb = PackPeaks(peaks[kRed], peaks[kGreen], peaks[kBlue]);
    return true;
}

bool PeaksToWhitePoint(uint32_t whiteRgb, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, const double gammaFactor[3],
                       const ToneMatch match[3], Chromaticity* adjustedWhite) {
    Matrix3 toXyz;
    if (RgbToXyzMatrix(primaries, hardwareWhite, &toXyz) != 0) {
        return false;
    }
    Vector3 rgb;
    for (int c = 0; c < 3; ++c) {
        rgb[c] = PeakLight(PeakOf(whiteRgb, static_cast<Channel>(c)), gammaFactor[c], match[c]);
    }
    // All peaks 0 give no light and no chromaticity: the output keeps its value.
    XyzToXy(AsTristimulus(RowTimesMatrix3(rgb, toXyz)), adjustedWhite);
    return true;
}

bool TableWhitePoint(const GammaRamp& ramp, const double gamma[3], const double previousFactor[3],
                     const Chromaticity primaries[3], Chromaticity hardwareWhite,
                     Chromaticity* white) {
    const TableReading reading = ReadTable(ramp, gamma, previousFactor);
    return PeaksToWhitePoint(reading.whiteRgb, primaries, hardwareWhite, reading.gammaFactor,
                             reading.toneMatch, white);
}

bool WhiteInsideGamut(const Chromaticity primaries[3], Chromaticity white) {
    Matrix3 toXyz;
    if (RgbToXyzMatrix(primaries, white, &toXyz) != 0) {
        return false;
    }
    // Row r is amount[r] x (x, y, 1 - x - y) of primary r, so it adds up to
    // the amount.
    for (const auto& row : toXyz.m) {
        if (!(row[0] + row[1] + row[2] > 0.0)) {
            return false;
        }
    }
    return true;
}

}  // namespace tonalis
