#include "model/ramp_plausibility.h"

namespace tonalis {

namespace {

constexpr int kLowestRise = 0x10000 / 4;

bool IsPlausibleChannel(const uint16_t* entries) {
    for (int i = 1; i < kRampSize; ++i) {
        if (entries[i] < entries[i - 1]) {
            return false;
        }
    }
    return entries[kRampSize - 1] - entries[0] >= kLowestRise;
}

}  // namespace

bool IsPlausibleDisplayTable(const GammaRamp& ramp) {
    for (int c = 0; c < 3; ++c) {
        if (!IsPlausibleChannel(ramp.Channel(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace tonalis
