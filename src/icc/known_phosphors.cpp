// The table of known phosphor sets and the match against it.
#include "icc/known_phosphors.h"

#include <cmath>
#include <cstdlib>

namespace tonalis::icc {

const int32_t KnownPhosphorTable[kKnownPhosphorRows][6] = {
    {7347, 2653, 1152, 8264, 1566, 177}, {7350, 2650, 2740, 7170, 1670, 90},
    {6400, 3300, 2900, 6000, 1500, 600}, {6400, 3300, 3000, 6000, 1500, 600},
    {6700, 3300, 2100, 7100, 1400, 800}, {6300, 3400, 2950, 6050, 1550, 770},
    {6400, 3300, 2100, 7100, 1500, 600}, {6300, 3400, 3100, 5950, 1550, 700},
    {6250, 3400, 2800, 5950, 1550, 700},
};

namespace {

double ClampComponent(double v) {
    if (std::isnan(v) || v < 0.0) {
        return 0.0;
    }
    return v > kLargestColorantComponent ? kLargestColorantComponent : v;
}

}  // namespace

bool MatchesKnownPhosphors(double colours[3][3]) {
    int32_t chromaticity[6];
    bool usable = true;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 3; ++i) {
            colours[c][i] = ClampComponent(colours[c][i]);
        }
        const double sum = colours[c][0] + colours[c][1] + colours[c][2];
        if (sum == 0.0) {
            // Black has no chromaticity to match.
            usable = false;
            continue;
        }
        chromaticity[2 * c] = int32_t(colours[c][0] / sum * 10000.0 + 0.5);
        chromaticity[2 * c + 1] = int32_t(colours[c][1] / sum * 10000.0 + 0.5);
    }
    if (!usable) {
        return false;
    }
    for (const auto& row : KnownPhosphorTable) {
        bool all = true;
        for (int k = 0; k < 6 && all; ++k) {
            all = std::abs(chromaticity[k] - row[k]) < kPhosphorTolerance;
        }
        if (all) {
            return true;
        }
    }
    return false;
}

}  // namespace tonalis::icc
