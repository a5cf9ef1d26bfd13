// Tables of 256 entries per channel taken to a display's own size and back,
// by linear interpolation between neighbouring entries.
#pragma once

#include <cstdint>
#include <vector>

#include "model/monitor_settings.h"

namespace tonalis::tool {

// size entries of one channel: entry j lies at input j x 255 / (size - 1).
std::vector<uint16_t> ResampleChannel(const GammaRamp& ramp, int channel, int size);

// The 256 entries of a channel held as size entries.
void ChannelFromSize(const uint16_t* entries, int size, uint16_t* channel256);

// Entry i = i x 257: every level passes unchanged, 0 to 65535.
GammaRamp IdentityTable();

}  // namespace tonalis::tool
