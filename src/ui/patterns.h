// The calibration patterns: the brightness box and strip and the gamma
// patches, drawn with the pattern palette into a device context.
#pragma once

#include <windows.h>

#include <functional>

#include "session/session_context.h"

namespace tonalis {

// Pattern palette entries of the gamma patch centres.
constexpr int kGreyCentreEntry = 6;
constexpr int kRedCentreEntry = 7;
constexpr int kGreenCentreEntry = 8;
constexpr int kBlueCentreEntry = 9;

void DrawBrightnessBox(HDC dc, RECT rect, const PatternPalette& palette, bool paletteDevice);
void DrawBrightnessStrip(HDC dc, RECT rect, const PatternPalette& palette, bool paletteDevice);
void DrawGammaPatch(HDC dc, RECT rect, const PatternPalette& palette, int centreEntry,
                    bool paletteDevice);
// paint(target, area) off screen, copied in one block so that a slider drag
// does not flicker; straight onto dc when no memory bitmap can be made.
void PaintOffScreen(HDC dc, RECT rect, const std::function<void(HDC, RECT)>& paint);
// One square of the white point screen, all in one palette entry.
void DrawPaletteSquare(HDC dc, RECT rect, const PatternPalette& palette, int entry);

// Entries 6 to 9 from the working settings, by whether the table can be set.
void UpdateGammaCentreColours(SessionContext* session);

}  // namespace tonalis
