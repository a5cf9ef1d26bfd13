// A display's table of its own size taken to 256 entries per channel, by
// linear interpolation between neighbouring entries.
#pragma once

#include <cstdint>
#include <vector>

#include "model/monitor_settings.h"

namespace tonalis {

// The 256 entries of a channel held as size entries.
void ChannelFromSize(const uint16_t* entries, int size, uint16_t* channel256);

}  // namespace tonalis
