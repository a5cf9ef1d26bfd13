// Bounds-checked access to the preset tables.
#include "model/presets.h"

namespace tonalis {

Chromaticity GetWhitePreset(int index) {
    if (index < 0 || index >= kWhitePresetCount) {
        index = kDefaultWhitePreset;
    }
    return kWhitePresets[index].white;
}

void GetPhosphorPreset(int index, Chromaticity primaries[3]) {
    if (index < 0 || index >= kPhosphorPresetCount) {
        index = kDefaultPhosphorPreset;
    }
    for (int c = 0; c < 3; ++c) {
        primaries[c] = kPhosphorPresets[index].primaries[c];
    }
}

double GetGammaPreset(int index) {
    if (index < 0 || index >= kGammaPresetCount) {
        index = kDefaultGammaPreset;
    }
    return kGammaPresets[index].gamma;
}

}  // namespace tonalis
