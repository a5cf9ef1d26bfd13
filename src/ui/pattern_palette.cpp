#include "ui/pattern_palette.h"

#include "model/pattern_levels.h"

namespace tonalis {

namespace {

struct StartColour {
    BYTE red, green, blue;
};

// Black, white, the three primaries, the brightness grey, the four patch
// centres, the three white point squares and the four separator colours.
constexpr BYTE kGrey = kBrightnessGreyLevel;
constexpr StartColour kStartColours[kPatternPaletteEntries] = {
    {0, 0, 0},       {255, 255, 255},       {255, 0, 0},     {0, 255, 0},
    {0, 0, 255},     {kGrey, kGrey, kGrey}, {128, 128, 128}, {128, 0, 0},
    {0, 128, 0},     {0, 0, 128},           {192, 192, 192}, {192, 192, 192},
    {192, 192, 192}, {218, 218, 218},       {218, 0, 0},     {0, 218, 0},
    {0, 0, 218},
};

}  // namespace

void InitPatternPalette(PatternPalette* palette) {
    palette->palVersion = 0x300;
    palette->palNumEntries = kPatternPaletteEntries;
    for (int entry = 0; entry < kPatternPaletteEntries; ++entry) {
        const StartColour& colour = kStartColours[entry];
        SetPatternColour(palette, entry, colour.red, colour.green, colour.blue);
    }
}

void SetPatternColour(PatternPalette* palette, int entry, BYTE red, BYTE green, BYTE blue) {
    PALETTEENTRY& target = palette->palPalEntry[entry];
    target.peRed = red;
    target.peGreen = green;
    target.peBlue = blue;
    target.peFlags = 0;
}

COLORREF PatternColour(const PatternPalette& palette, int entry) {
    const PALETTEENTRY& source = palette.palPalEntry[entry];
    return RGB(source.peRed, source.peGreen, source.peBlue);
}

}  // namespace tonalis
