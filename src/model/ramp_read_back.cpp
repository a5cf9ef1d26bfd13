#include "model/ramp_read_back.h"

#include <cstdlib>

namespace tonalis {

int LargestEntryDifference(const GammaRamp& a, const GammaRamp& b) {
    int largest = 0;
    for (int i = 0; i < kRampEntries; ++i) {
        int difference = std::abs(static_cast<int>(a.entries[i]) - static_cast<int>(b.entries[i]));
        if (difference > largest) {
            largest = difference;
        }
    }
    return largest;
}

}  // namespace tonalis
