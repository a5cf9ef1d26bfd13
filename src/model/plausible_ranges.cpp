// Range checks for values entering a calibration record.
#include "model/plausible_ranges.h"

namespace tonalis {

namespace {

struct Range {
    double low;
    double high;
};

struct ChromaticityRange {
    Range x;
    Range y;
};

// Written so that NaN is outside every range.
bool InRange(double value, Range range) {
    return value >= range.low && value <= range.high;
}

bool InRange(Chromaticity c, const ChromaticityRange& range) {
    return InRange(c.x, range.x) && InRange(c.y, range.y);
}

constexpr ChromaticityRange kWhitePointRange = {{0.2788, 0.3621}, {0.292, 0.3709}};
constexpr ChromaticityRange kPhosphorRanges[3] = {
    {{0.59, 0.77}, {0.25, 0.40}},  // red
    {{0.05, 0.35}, {0.5, 0.85}},   // green
    {{0.11, 0.2}, {0.0, 0.12}},    // blue
};

}  // namespace

bool CoordinateInRange(double value) {
    return InRange(value, {0.0, 1.0});
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
    return InRange(gamma, {0.75, 3.75});
}

bool ProfileGammaInRange(double gamma) {
    return InRange(gamma, {1.0, 3.0});
}

bool GammaFactorInRange(double factor) {
    return InRange(factor, {0.5, 2.0});
}

}  // namespace tonalis
