// Range checks for values entering a calibration record.
#include "model/plausible_ranges.h"

namespace tonalis {

// Written so that NaN is outside every range.
bool InRange(double value, ValueRange range) {
    return value >= range.low && value <= range.high;
}

bool InRange(Chromaticity c, const ChromaticityRange& range) {
    return InRange(c.x, range.x) && InRange(c.y, range.y);
}

bool CoordinateInRange(double value) {
    return InRange(value, kCoordinateRange);
}

bool ChromaticitySumInRange(Chromaticity c) {
    return c.x + c.y <= 1.0;
}

bool ChromaticityValid(Chromaticity c) {
    return CoordinateInRange(c.x) && CoordinateInRange(c.y) && ChromaticitySumInRange(c);
}

bool WhitePointInRange(Chromaticity white) {
    return InRange(white, kWhitePointRange);
}

bool PhosphorInRange(Channel channel, Chromaticity primary) {
    if (channel < kRed || channel > kBlue) {
        return false;
    }
    return InRange(primary, kPhosphorRanges[channel]);
}

bool PrimariesInRange(const Chromaticity primaries[3]) {
    return PhosphorInRange(kRed, primaries[kRed]) && PhosphorInRange(kGreen, primaries[kGreen]) &&
           PhosphorInRange(kBlue, primaries[kBlue]);
}

bool UserGammaInRange(double gamma) {
    return InRange(gamma, kUserGammaRange);
}

bool ProfileGammaInRange(double gamma) {
    return InRange(gamma, kProfileGammaRange);
}

bool GammaFactorInRange(double factor) {
    return InRange(factor, kGammaFactorRange);
}

}  // namespace tonalis
