// Conversions between an adjusted white point and the channel peaks.
#include "model/white_point.h"

#include <cmath>

#include "model/channel_peaks.h"
#include "model/colorimetry.h"

namespace tonalis {

bool WhitePointToPeaks(Chromaticity target, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, uint32_t* whiteRgb) {
    Matrix3 toRgb;
    if (XyzToRgbMatrix(primaries, hardwareWhite, &toRgb) != 0) {
        return false;
    }
    Tristimulus targetXyz;
    if (!CheckedXyToXyz(target, &targetXyz)) {
        return false;
    }
    Vector3 rgb = RowTimesMatrix3(AsVector(targetXyz), toRgb);
    if (NormalizeToUnitMax(&rgb) != 0) {
        return false;
    }
    // After normalising every component lies in 0..1, so each peak is 0..255.
    uint8_t peaks[3];
    for (int c = 0; c < 3; ++c) {
        peaks[c] = static_cast<uint8_t>(static_cast<int>(rgb[c] * 255.0 + 0.5));
    }
    *whiteRgb = PackPeaks(peaks[kRed], peaks[kGreen], peaks[kBlue]);
    return true;
}

bool PeaksToWhitePoint(uint32_t whiteRgb, const Chromaticity primaries[3],
                       Chromaticity hardwareWhite, Chromaticity* adjustedWhite) {
    Matrix3 toXyz;
    if (RgbToXyzMatrix(primaries, hardwareWhite, &toXyz) != 0) {
        return false;
    }
    // The peaks are taken as linear amounts of each primary.
    const Vector3 rgb = {PeakOf(whiteRgb, kRed) / 255.0, PeakOf(whiteRgb, kGreen) / 255.0,
                         PeakOf(whiteRgb, kBlue) / 255.0};
    // All peaks 0 give no light and no chromaticity: the output keeps its value.
    XyzToXy(AsTristimulus(RowTimesMatrix3(rgb, toXyz)), adjustedWhite);
    return true;
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
