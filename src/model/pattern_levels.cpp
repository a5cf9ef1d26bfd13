// The pattern levels derived from the settings.
#include "model/pattern_levels.h"

#include <cmath>

namespace tonalis {

int HalfLightLevel(double gamma) {
    const double level = std::trunc(255.0 * std::pow(0.5, 1.0 / gamma) + 0.5);
    // A gamma of 0 or below, or not a number, has no half-light level on the
    // display's scale: keep the result a level.
    if (!(level > 0.0)) {
        return 0;
    }
    return level > 255.0 ? 255 : static_cast<int>(level);
}

CentreLevels GammaCentreLevels(const MonitorSettings& settings) {
    const uint8_t target = static_cast<uint8_t>(HalfLightLevel(settings.gamma[kGreen]));
    if (settings.hasGammaRamp == 1) {
        return {target, target, target};
    }
    return {static_cast<uint8_t>(HalfLightLevel(settings.gamma[kRed])), target,
            static_cast<uint8_t>(HalfLightLevel(settings.gamma[kBlue]))};
}

void CopyGreenToOthers(double values[3]) {
    values[kBlue] = values[kGreen];
    values[kRed] = values[kBlue];
}

}  // namespace tonalis
