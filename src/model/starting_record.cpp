// Defaults of a new monitor record, without a display to read a ramp from.
#include "model/starting_record.h"

#include <cstring>

#include "model/presets.h"

namespace tonalis {

MonitorSettings StartingRecord() {
    MonitorSettings record = {};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            record.ramp.Channel(c)[i] = static_cast<uint16_t>(i << 8);
        }
        record.gamma[c] = GetGammaPreset(kDefaultGammaPreset);
        record.gammaFactor[c] = 1.0;
    }
    record.hardwareWhite = GetWhitePreset(kDefaultWhitePreset);
    GetPhosphorPreset(kDefaultPhosphorPreset, record.primaries);
    record.whiteRgb = kFullPeaks;
    record.hasGammaRamp = 1;
    std::strcpy(record.description, "Orvane Monitor Profile");
    return record;
}

}  // namespace tonalis
