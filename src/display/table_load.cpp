#include "display/table_load.h"

#include <vector>

#include "display/ramp_resample.h"
#include "model/ramp_read_back.h"
#include "model/text_format.h"

namespace tonalis {

GammaRamp CurvesAsHeld(const VcgtCurves& curves, int size) {
    const int held = size > 1 ? size : kRampSize;
    GammaRamp ramp;
    for (int c = 0; c < 3; ++c) {
        const std::vector<uint16_t> entries = SampleVcgtCurve(curves, c, held);
        ChannelFromSize(entries.data(), held, ramp.Channel(c));
    }
    return ramp;
}

std::string LoadAndVerifyTable(DisplayAccess& access, int index, const VcgtCurves& curves) {
    if (!access.WriteTable(index, curves)) {
        return "the system refused the table";
    }
    GammaRamp readBack;
    // A table that cannot be read back gives no evidence against the load.
    if (!access.ReadTable(index, &readBack)) {
        return "";
    }
    const int off =
        LargestEntryDifference(readBack, CurvesAsHeld(curves, access.Outputs()[index].gammaSize));
    if (off <= kReadBackTolerance) {
        return "";
    }
    return Format("the display did not take the table (read back, an entry is %d off)", off);
}

}  // namespace tonalis
