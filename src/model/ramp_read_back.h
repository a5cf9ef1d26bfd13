// Whether a table read back from a display is the one that was loaded, within
// what the display keeps of it.
#pragma once

#include "model/monitor_settings.h"

namespace tonalis {

// One level of an 8-bit table in 16-bit entries.
constexpr int kEightBitStep = 257;
// What a display keeps of a table: X servers and drivers hold fewer bits than
// the 16 of an entry, and Wine interpolates between them, up to two 8-bit
// levels off.
constexpr int kReadBackTolerance = 2 * kEightBitStep;

// The largest difference between two entries at the same place.
int LargestEntryDifference(const GammaRamp& a, const GammaRamp& b);

}  // namespace tonalis
