// The gamma of a sampled tone curve that is neither the standard RGB curve
// nor a pure power: a least-squares power law through the origin.
#pragma once

#include <cstdint>

namespace tonalis::icc {

// entries: count big-endian unsigned 16-bit samples, y(k) = entry / 65535 at
// x(k) = k / (count - 1), count >= 2. Fits ln y = gamma ln x over every
// k >= 1 whose entry is not 0; 1.0 when no sample counts.
double FitTableGamma(const uint8_t* entries, uint32_t count);

}  // namespace tonalis::icc
