// Packing of the three 8-bit channel peaks into whiteRgb: red in bits 0-7,
// green in bits 8-15, blue in bits 16-23 (the layout of a COLORREF).
#pragma once

#include <cstdint>

#include "model/monitor_settings.h"

namespace tonalis {

inline uint8_t PeakOf(uint32_t whiteRgb, Channel channel) {
    return static_cast<uint8_t>(whiteRgb >> (8 * channel));
}

inline uint32_t PackPeaks(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(blue) << 16;
}

}  // namespace tonalis
