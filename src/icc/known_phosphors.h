// Phosphor sets that monitors are known to have, used to tell which of two
// ways of undoing a profile's adaptation gave real primaries.
#pragma once

#include <cstdint>

namespace tonalis::icc {

constexpr int kKnownPhosphorRows = 9;
// x, y of red, green and blue, times 10000.
extern const int32_t KnownPhosphorTable[kKnownPhosphorRows][6];
// trunc(0.002 x 10000 + 0.5), in the table's units.
constexpr int32_t kPhosphorTolerance = 20;

constexpr double kLargestColorantComponent = 1.999969482421875;

// Clamps every component of the three colours to [0, 1.999969482421875] in
// place, then reports whether their chromaticities lie within the
// tolerance of one row.
bool MatchesKnownPhosphors(double colours[3][3]);

}  // namespace tonalis::icc
