// The fine-tuning patches: a frame of rows in two levels whose light the
// model knows around a solid centre, or a centre step on black or white.
#pragma once

#include <windows.h>

namespace tonalis {

struct FineTunePatch {
    COLORREF oddRows;   // the first row and every second one after it
    COLORREF evenRows;  // the same as oddRows for a step on black or white
    COLORREF centre;
};

// Off screen and copied in one block, like the gamma patches, with a black
// border; the centre is the middle half of the width and height.
void DrawFineTunePatch(HDC dc, RECT rect, const FineTunePatch& patch);

}  // namespace tonalis
