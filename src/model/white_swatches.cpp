// The swatch colours of the white point measurement screen.
#include "model/white_swatches.h"

#include <cmath>

#include "model/colorimetry.h"
#include "model/matching.h"

namespace tonalis {

namespace {

// Near the edges of the accepted phosphor ranges the grey can need a negative
// amount of a primary (shown as 0) or more than its full amount (shown as 255).
uint8_t ClampedLevel(double component) {
    const double level = std::trunc(component * 255.0 + 0.5);
    if (!(level > 0.0)) {
        return 0;
    }
    if (level > 255.0) {
        return 255;
    }
    return static_cast<uint8_t>(level);
}

}  // namespace

int FindWhiteStep(Chromaticity white) {
    for (int step = 0; step < kWhiteLadderSteps; ++step) {
        if (ChromaticityMatches(WhiteLadder[step], white)) {
            return step;
        }
    }
    return kDefaultWhiteLadderStep;
}

SwatchColour SquareSwatch(const WhiteSwatchTable& table, int step) {
    if (step < 0 || step >= kWhiteLadderSteps) {
        return {0, 0, 0};
    }
    return table.steps[step];
}

WhiteSwatchTable& ProcessWhiteSwatchTable() {
    static WhiteSwatchTable table;
    return table;
}

bool BuildWhiteSwatchTable(const Chromaticity primaries[3], const double gamma[3],
                           WhiteSwatchTable* table) {
    const Vector3 grey = {kSwatchGreyX, kSwatchGreyY, kSwatchGreyZ};
    for (int step = 0; step < kWhiteLadderSteps; ++step) {
        Matrix3 toRgb;
        if (XyzToRgbMatrix(primaries, WhiteLadder[step], &toRgb) != 0) {
            return false;
        }
        Vector3 rgb = RowTimesMatrix3(grey, toRgb);
        if (ApplyInverseGamma(&rgb, gamma) != 0) {
            return false;
        }
        table->steps[step] = {ClampedLevel(rgb[kRed]), ClampedLevel(rgb[kGreen]),
                              ClampedLevel(rgb[kBlue])};
    }
    return true;
}

}  // namespace tonalis
