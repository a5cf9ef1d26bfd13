// Linear resampling of a display's table to 256 entries.
#include "display/ramp_resample.h"

namespace tonalis {

namespace {

// The value at position x (0 .. count - 1) of entries, rounded half up.
uint16_t Interpolate(const uint16_t* entries, int count, double x) {
    int below = static_cast<int>(x);
    if (below >= count - 1) {
        return entries[count - 1];
    }
    const double fraction = x - below;
    const double value = entries[below] + (entries[below + 1] - entries[below]) * fraction;
    return static_cast<uint16_t>(value + 0.5);
}

}  // namespace

void ChannelFromSize(const uint16_t* entries, int size, uint16_t* channel256) {
    for (int i = 0; i < kRampSize; ++i) {
        channel256[i] =
            size > 0 ? Interpolate(entries, size, i * (size - 1.0) / (kRampSize - 1)) : 0;
    }
}

}  // namespace tonalis
