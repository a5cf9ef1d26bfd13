// The ladder of white points shown by the white point measurement screen, and
// the swatch colours that show one grey on monitors of each of those whites.
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"

namespace tonalis {

constexpr int kWhiteLadderSteps = 11;

// From warm to cool. Step 5 is the 6500K preset and the default; steps 1, 3, 7
// and 9 are the 5000K, 5500K, 7500K and 9300K presets; step 10 is the cool end
// of the accepted white point range.
inline constexpr Chromaticity WhiteLadder[kWhiteLadderSteps] = {
    {0.3519, 0.3634}, {0.3457, 0.3587}, {0.3375, 0.3519}, {0.3325, 0.3476},
    {0.3217, 0.3378}, {0.3128, 0.3292}, {0.3054, 0.3216}, {0.2991, 0.3150},
    {0.2901, 0.3051}, {0.2831, 0.2970}, {0.2788, 0.2920},
};
constexpr int kDefaultWhiteLadderStep = 5;

// A grey of half luminance with the chromaticity of the 7500K preset.
constexpr double kSwatchGreyX = 0.4747;
constexpr double kSwatchGreyY = 0.5;
constexpr double kSwatchGreyZ = 0.6125;

struct SwatchColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Entry i is what a monitor whose native white were step i of WhiteLadder
// must be sent to show the swatch grey.
struct WhiteSwatchTable {
    SwatchColour steps[kWhiteLadderSteps];
};

// The table the measurement screen reads; it lives as long as the process.
WhiteSwatchTable& ProcessWhiteSwatchTable();

// The first step within the preset tolerance of white, else the default step:
// where the measurement screen starts.
int FindWhiteStep(Chromaticity white);

// What a square of the measurement screen shows for a step: its swatch, or
// black where the ladder has no such step.
SwatchColour SquareSwatch(const WhiteSwatchTable& table, int step);

// Fills the table step by step for these primaries and gammas (red, green,
// blue). Levels outside 0..255 are clamped to them. On failure it returns
// false: steps before the failing one keep their new colours, the others their
// old ones.
bool BuildWhiteSwatchTable(const Chromaticity primaries[3], const double gamma[3],
                           WhiteSwatchTable* table);

}  // namespace tonalis
