// Drawing the fine-tuning patches.
#include "ui/fine_tune_patterns.h"

#include "ui/patterns.h"

namespace tonalis {

namespace {

void FillColour(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT area = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush != nullptr) {
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
}

void PaintPatch(HDC dc, RECT r, const FineTunePatch& patch) {
    FillColour(dc, r.left, r.top, r.right, r.bottom, RGB(0, 0, 0));
    // Rows of one pixel alternate 1:1 over the whole height, as on the gamma
    // page, so that the frame averages the two levels evenly.
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        const bool odd = (y - r.top - 1) % 2 == 0;
        FillColour(dc, r.left + 1, y, r.right - 1, y + 1, odd ? patch.oddRows : patch.evenRows);
    }
    const int dx = (r.right - r.left) / 4;
    const int dy = (r.bottom - r.top) / 4;
    FillColour(dc, r.left + dx, r.top + dy, r.right - dx, r.bottom - dy, patch.centre);
}

}  // namespace

void DrawFineTunePatch(HDC dc, RECT rect, const FineTunePatch& patch) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    PaintOffScreen(dc, rect, [&](HDC target, RECT area) { PaintPatch(target, area, patch); });
}

}  // namespace tonalis
