// Finding the monitor's hardware white point by eye: the instructions, the
// full-screen comparison of three squares and its helpers.
#pragma once

#include <windows.h>

#include "model/white_swatches.h"
#include "session/session_context.h"

namespace tonalis {

// Dialog 322, owned by owner: 0 cancelled, 1 chosen, 2 measurement cancelled.
INT_PTR RunWhitePointInstructions(HWND owner, SessionContext* session);
// Dialog 326: 1 chosen (hardwareWhite set), 2 cancelled, -1 when it could
// not be shown.
INT_PTR MeasureWhitePoint(HWND owner, SessionContext* session);

// Entries 10 to 12 of the palette: the swatches of the steps before, at and
// after step, black where the ladder has no such step.
void SetWhiteSwatches(PatternPalette* palette, const WhiteSwatchTable& table, int step);
void FlashSquare(HWND square);

}  // namespace tonalis
