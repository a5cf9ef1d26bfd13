// The colours of the calibration patterns, kept as a logical palette.
#pragma once

#include "session/session_context.h"

namespace tonalis {

void InitPatternPalette(PatternPalette* palette);
void SetPatternColour(PatternPalette* palette, int entry, BYTE red, BYTE green, BYTE blue);
COLORREF PatternColour(const PatternPalette& palette, int entry);

}  // namespace tonalis
