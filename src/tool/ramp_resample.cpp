// Linear resampling of lookup tables between 256 entries and a display's size.
#include "tool/ramp_resample.h"

namespace tonalis::tool {

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

std::vector<uint16_t> ResampleChannel(const GammaRamp& ramp, int channel, int size) {
    std::vector<uint16_t> out(size > 0 ? size : 0);
    const uint16_t* entries = ramp.Channel(channel);
    for (int j = 0; j < size; ++j) {
        const double x = size > 1 ? j * (kRampSize - 1.0) / (size - 1) : 0.0;
        out[j] = Interpolate(entries, kRampSize, x);
    }
    return out;
}

void ChannelFromSize(const uint16_t* entries, int size, uint16_t* channel256) {
    for (int i = 0; i < kRampSize; ++i) {
        channel256[i] =
            size > 0 ? Interpolate(entries, size, i * (size - 1.0) / (kRampSize - 1)) : 0;
    }
}

GammaRamp IdentityTable() {
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            ramp.Channel(c)[i] = static_cast<uint16_t>(i * 257);
        }
    }
    return ramp;
}

}  // namespace tonalis::tool
