// The levels the calibration patterns are drawn with, against which the user
// matches the monitor, and the values the gamma sliders set.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"

namespace tonalis {

constexpr uint8_t kPatternBlackLevel = 0;
// The lines of the gamma patches; black rows alternate with them, so the
// lined field shows half the light of a full line.
constexpr uint8_t kPatternLineLevel = 255;
// The centre of the brightness box: as dark as the monitor may go and still
// be told from the black around it.
constexpr uint8_t kBrightnessGreyLevel = 38;

// The level that a display of this gamma shows at half of full light output.
int HalfLightLevel(double gamma);

// The levels of the gamma patch centres: red, green and blue; the grey patch
// takes green's in every channel. With a table they show the target gamma's
// half light, the table doing the rest; without, each channel's own gamma.
struct CentreLevels {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
CentreLevels GammaCentreLevels(const MonitorSettings& settings);

// One gamma (or factor) for all channels: green's goes to blue, then to red.
void CopyGreenToOthers(double values[3]);

}  // namespace tonalis
