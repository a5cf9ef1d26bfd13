// The calibration record of one monitor and the small value types it is made of.
// Plain data only: records are copied whole, so nothing here may own memory.
#pragma once

#include <cstdint>

#include "model/tone_match.h"

namespace tonalis {

// CIE 1931 chromaticity.
struct Chromaticity {
    double x;
    double y;
};

constexpr int kRampSize = 256;
constexpr int kRampEntries = 3 * kRampSize;

// Red run, then green, then blue: the layout of the Windows gamma ramp.
struct GammaRamp {
    uint16_t entries[kRampEntries];

    uint16_t* Channel(int c) { return entries + c * kRampSize; }
    const uint16_t* Channel(int c) const { return entries + c * kRampSize; }
};

// Same layout as a Win32 RECT.
struct MonitorRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The description: up to 255 UTF-16 units (what the description field takes),
// kept in UTF-8, at most three bytes a unit.
constexpr int kDescriptionUnits = 255;
constexpr int kDescriptionSize = 3 * kDescriptionUnits + 1;
constexpr int kProfilePathSize = 360;
constexpr int kDeviceNameSize = 40;

enum Channel { kRed = 0, kGreen = 1, kBlue = 2 };

// whiteRgb with no white point shift: every channel peaks at 255.
constexpr uint32_t kFullPeaks = 0x00FFFFFF;

struct MonitorSettings {
    GammaRamp ramp;
    char description[kDescriptionSize];  // UTF-8
    char profilePath[kProfilePathSize];
    double gamma[3];
    Chromaticity hardwareWhite;
    Chromaticity adjustedWhite;
    Chromaticity primaries[3];
    uint32_t whiteRgb;
    double gammaFactor[3];
    MonitorRect monitorRect;
    char deviceName[kDeviceNameSize];
    uint8_t hasGammaRamp;
    uint8_t isPrimary;
    // Points matched by eye beyond the gamma factor's half, per channel; none
    // for a plain power law.
    ToneMatch toneMatch[3];
};

}  // namespace tonalis
