#include "tool/table_load.h"

#include <vector>

#include "model/ramp_read_back.h"
#include "tool/ramp_resample.h"
#include "tool/text_format.h"

namespace tonalis::tool {

namespace {

// Entries may lie this far from the table a display of their size holds: X
// servers and drivers keep fewer bits than 16, and Wine interpolates.
constexpr int kReadBackTolerance = 2 * kEightBitStep;

// The table as a display of size entries per channel gives it back.
GammaRamp AsHeld(const GammaRamp& ramp, int size) {
    if (size <= 1 || size == kRampSize) {
        return ramp;
    }
    GammaRamp held;
    for (int c = 0; c < 3; ++c) {
        const std::vector<uint16_t> entries = ResampleChannel(ramp, c, size);
        ChannelFromSize(entries.data(), size, held.Channel(c));
    }
    return held;
}

}  // namespace

std::string LoadAndVerifyTable(DisplayAccess& access, int index, const GammaRamp& ramp) {
    if (!access.WriteTable(index, ramp)) {
        return "the system refused the table";
    }
    GammaRamp readBack;
    // A table that cannot be read back gives no evidence against the load.
    if (!access.ReadTable(index, &readBack)) {
        return "";
    }
    const int off =
        LargestEntryDifference(readBack, AsHeld(ramp, access.Outputs()[index].gammaSize));
    if (off <= kReadBackTolerance) {
        return "";
    }
    return Format("the display did not take the table (read back, an entry is %d off)", off);
}

}  // namespace tonalis::tool
