// The gamma of a sampled tone curve: the standard RGB curve reads as 2.2, a
// pure power as its exponent, and anything else gets a least-squares power
// law through the origin.
#pragma once

#include <cstdint>

namespace tonalis::icc {

// entries: count big-endian unsigned 16-bit samples, y(k) = entry / 65535 at
// x(k) = k / (count - 1), count >= 2. Two samples are a straight line (simple
// only from 0 to 65535); from 128 samples on, the standard RGB curve and a
// pure power are recognised (simple); anything else is fitted (not simple).
void TableGamma(const uint8_t* entries, uint32_t count, double* gamma, bool* simple);

// The fit alone: ln y = gamma ln x over every k >= 1 whose entry is not 0;
// 1.0 when no sample counts.
double FitTableGamma(const uint8_t* entries, uint32_t count);

}  // namespace tonalis::icc
