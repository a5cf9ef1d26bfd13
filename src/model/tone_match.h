// The points of a channel's tone curve matched by eye: the fraction of the
// channel's light that a pattern shows, and the drive level that matched it.
// Plain data, kept in the settings record.
#pragma once

#include <cstdint>

namespace tonalis {

// The light of the darkest step the eye sees beside black, and of the
// brightest it still tells from white, as fractions of the channel's full
// light. A power law of 2.2 shows the first near level 12 of 255.
constexpr double kDarkestVisibleLight = 0.001;
constexpr double kBrightestDistinctLight = 0.99;

struct TonePoint {
    double fraction;  // of the channel's light at drive 255, above black
    double drive;     // 0 to 255, a real level
};

constexpr int kMaxTonePoints = 8;

// No points: the channel follows the power law of its gamma factor. Points
// are kept in order of drive, fractions rising with it.
struct ToneMatch {
    int32_t count;
    TonePoint points[kMaxTonePoints];
    // Where a display that clips already shows white; 0 for drive 255.
    double whiteDrive;
};

// Three channels with no points: each follows its gamma factor's power law.
inline constexpr ToneMatch kPowerLaws[3] = {};

}  // namespace tonalis
