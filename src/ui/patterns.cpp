// The calibration patterns: the brightness box and strip, the gamma patches and
// the white point squares, each painted through the pattern palette.
#include "ui/patterns.h"

#include "model/pattern_levels.h"
#include "ui/pattern_palette.h"

namespace tonalis {

namespace {

constexpr int kBlackEntry = 0;
constexpr int kWhiteEntry = 1;
constexpr int kBrightnessGreyEntry = 5;
constexpr int kStripBars = 20;

// The pattern palette selected and realised in the foreground while it lives;
// the previous palette goes back as a background palette.
class RealisedPalette {
  public:
    RealisedPalette(HDC dc, const PatternPalette& palette)
        : dc_(dc), palette_(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette))) {
        if (palette_ != nullptr) {
            previous_ = SelectPalette(dc_, palette_, FALSE);
            RealizePalette(dc_);
        }
    }
    ~RealisedPalette() {
        if (palette_ == nullptr) {
            return;
        }
        SelectPalette(dc_, previous_, TRUE);
        RealizePalette(dc_);
        DeleteObject(palette_);
    }
    RealisedPalette(const RealisedPalette&) = delete;
    RealisedPalette& operator=(const RealisedPalette&) = delete;

  private:
    HDC dc_;
    HPALETTE palette_;
    HPALETTE previous_ = nullptr;
};

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    if (right <= left || bottom <= top) {
        return;
    }
    RECT area = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// A rectangle filled without an outline pen covers up to right - 1 and
// bottom - 1, exclusive.
void FillWithoutPen(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    Fill(dc, left, top, right - 1, bottom - 1, colour);
}

COLORREF EntryColour(const PatternPalette& palette, int entry, bool paletteDevice) {
    return paletteDevice ? PALETTEINDEX(entry) : PatternColour(palette, entry);
}

int LineEntry(int centreEntry) {
    switch (centreEntry) {
        case kGreyCentreEntry:
            return 1;
        case kRedCentreEntry:
            return 2;
        case kGreenCentreEntry:
            return 3;
        case kBlueCentreEntry:
            return 4;
        default:
            return kWhiteEntry;
    }
}

int SeparatorEntry(int centreEntry) {
    if (centreEntry >= kGreyCentreEntry && centreEntry <= kBlueCentreEntry) {
        return centreEntry + 7;
    }
    return kWhiteEntry;
}

// A monochrome pattern draws 0 bits in the text colour (the line) and 1 bits
// in the background colour (black); rows are padded to 16 bits.
constexpr WORD kLinedRows[8] = {0x0000, 0x00FF, 0x0000, 0x00FF, 0x0000, 0x00FF, 0x0000, 0x00FF};

// The same rows one by one, for when no pattern brush can be made.
void FillLinedRows(HDC dc, RECT rect, int centreEntry) {
    Fill(dc, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1,
         PALETTEINDEX(kBlackEntry));
    HBRUSH line = CreateSolidBrush(PALETTEINDEX(LineEntry(centreEntry)));
    for (int row = rect.top + 1; row < rect.bottom - 1; row += 2) {
        RECT lineRow = {rect.left + 1, row, rect.right - 1, row + 1};
        FillRect(dc, &lineRow, line);
    }
    DeleteObject(line);
}

// The patch in the coordinates of rect, in the current palette of dc.
void PaintGammaPatch(HDC dc, RECT rect, int centreEntry) {
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;

    // Full-intensity and black rows alternate: half the light of a full line.
    // One fill with a two-colour pattern whose rows start at top + 1.
    HBITMAP rows = CreateBitmap(8, 8, 1, 1, kLinedRows);
    HBRUSH lined = rows != nullptr ? CreatePatternBrush(rows) : nullptr;
    if (lined != nullptr) {
        POINT oldOrigin;
        SetBrushOrgEx(dc, 0, top + 1, &oldOrigin);
        const COLORREF oldText = SetTextColor(dc, PALETTEINDEX(LineEntry(centreEntry)));
        const COLORREF oldBack = SetBkColor(dc, PALETTEINDEX(kBlackEntry));
        RECT field = {left + 1, top + 1, right - 1, bottom - 1};
        FillRect(dc, &field, lined);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        DeleteObject(lined);
    } else {
        FillLinedRows(dc, rect, centreEntry);
    }
    if (rows != nullptr) {
        DeleteObject(rows);
    }

    const int dx = (right - left) / 4;
    const int dy = (bottom - top) / 4;
    Fill(dc, left + dx, top + dy, right - dx, bottom - dy, PALETTEINDEX(centreEntry));

    const COLORREF separator = PALETTEINDEX(SeparatorEntry(centreEntry));
    Fill(dc, left + dx, top + dy - 1, right - dx, top + dy, separator);
    Fill(dc, left + dx, bottom - dy, right - dx, bottom - dy + 1, separator);

    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

void DrawBrightnessBox(HDC dc, RECT rect, const PatternPalette& palette, bool paletteDevice) {
    RealisedPalette realised(dc, palette);
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    const int dx = (right - left) / 6;
    const int dy = (bottom - top) / 6;
    FillWithoutPen(dc, left, top, right, bottom, RGB(0, 0, 0));
    FillWithoutPen(dc, left + 1, top + 1, right - 1, bottom - 1, RGB(255, 255, 255));
    FillWithoutPen(dc, left + dx, top + dy, right - dx, bottom - dy,
                   EntryColour(palette, kBlackEntry, paletteDevice));
    FillWithoutPen(dc, left + 2 * dx, top + 2 * dy, right - 2 * dx, bottom - 2 * dy,
                   EntryColour(palette, kBrightnessGreyEntry, paletteDevice));
}

void DrawBrightnessStrip(HDC dc, RECT rect, const PatternPalette& palette, bool paletteDevice) {
    RealisedPalette realised(dc, palette);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);

    const int innerLeft = rect.left + 1;
    const int innerRight = rect.right - 1;
    const int width = (innerRight - innerLeft) / kStripBars;
    // The first bar takes half of the width that does not divide into bars,
    // the last bar the rest.
    const int extra = ((innerRight - innerLeft) - kStripBars * width) / 2;
    const int barTop = rect.top + 1;
    const int barBottom = (rect.bottom - 1) / 2 - 1;

    int barLeft = innerLeft;
    int barRight = innerLeft + width + extra - 1;
    for (int bar = 0; bar < kStripBars; ++bar) {
        if (bar == kStripBars - 1) {
            barRight = innerRight;
        }
        const int entry = bar % 2 == 0 ? kBrightnessGreyEntry : kBlackEntry;
        Fill(dc, barLeft, barTop, barRight, barBottom, EntryColour(palette, entry, paletteDevice));
        barLeft = barRight;
        barRight += width;
    }
}

void DrawGammaPatch(HDC dc, RECT rect, const PatternPalette& palette, int centreEntry,
                    bool paletteDevice) {
    // Gamma patches always paint with palette indexes: on a display without a
    // palette they resolve to the entries' colours.
    (void)paletteDevice;
    RealisedPalette realised(dc, palette);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }

    PaintOffScreen(dc, rect, [&](HDC target, RECT area) {
        if (target == dc) {
            PaintGammaPatch(dc, area, centreEntry);
            return;
        }
        RealisedPalette offScreen(target, palette);
        PaintGammaPatch(target, area, centreEntry);
    });
}

void PaintOffScreen(HDC dc, RECT rect, const std::function<void(HDC, RECT)>& paint) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory != nullptr ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (bitmap == nullptr) {
        if (memory != nullptr) {
            DeleteDC(memory);
        }
        paint(dc, rect);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    paint(memory, RECT{0, 0, width, height});
    BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void DrawPaletteSquare(HDC dc, RECT rect, const PatternPalette& palette, int entry) {
    RealisedPalette realised(dc, palette);
    Fill(dc, rect.left, rect.top, rect.right, rect.bottom, PALETTEINDEX(entry));
}

void UpdateGammaCentreColours(SessionContext* session) {
    const CentreLevels levels = GammaCentreLevels(session->workingSettings);
    PatternPalette* palette = &session->patternPalette;
    SetPatternColour(palette, kGreyCentreEntry, levels.green, levels.green, levels.green);
    SetPatternColour(palette, kRedCentreEntry, levels.red, 0, 0);
    SetPatternColour(palette, kGreenCentreEntry, 0, levels.green, 0);
    SetPatternColour(palette, kBlueCentreEntry, 0, 0, levels.blue);
}

}  // namespace tonalis
