// The calibration patterns drawn into memory bitmaps of known size, pixel by
// pixel, and the centre colours that the gamma patches take.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ui/pattern_palette.h"
#include "ui/patterns.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::Canvas;
using testing::ColourText;
using testing::NewUiSession;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDarkGrey = RGB(38, 38, 38);

using Runs = std::vector<std::pair<COLORREF, int>>;

Runs RowRuns(const Canvas& canvas, int y, int width) {
    Runs runs;
    for (int x = 0; x < width; ++x) {
        const COLORREF colour = canvas.Pixel(x, y);
        if (runs.empty() || runs.back().first != colour) {
            runs.push_back({colour, 0});
        }
        ++runs.back().second;
    }
    return runs;
}

Runs ColumnRuns(const Canvas& canvas, int x, int height) {
    Runs runs;
    for (int y = 0; y < height; ++y) {
        const COLORREF colour = canvas.Pixel(x, y);
        if (runs.empty() || runs.back().first != colour) {
            runs.push_back({colour, 0});
        }
        ++runs.back().second;
    }
    return runs;
}

std::string RunsText(const Runs& runs) {
    std::string text;
    for (const auto& run : runs) {
        text += ColourText(run.first) + " x" + std::to_string(run.second) + " ";
    }
    return text;
}

struct PatchCase {
    int centreEntry;
    COLORREF line;
    COLORREF separator;
    COLORREF centre;
};

// A 48 x 36 patch: centre columns 12-35 and rows 9-26, separator rows 8 and 27
// over the centre's columns, odd rows lined, even rows black, a black border.
TEST(GammaPatch, FortyEightByThirtySixFollowsTheGeometry) {
    const PatchCase cases[] = {
        {kGreyCentreEntry, kWhite, RGB(218, 218, 218), RGB(186, 186, 186)},
        {kRedCentreEntry, RGB(255, 0, 0), RGB(218, 0, 0), RGB(128, 0, 0)},
        {kGreenCentreEntry, RGB(0, 255, 0), RGB(0, 218, 0), RGB(0, 128, 0)},
        {kBlueCentreEntry, RGB(0, 0, 255), RGB(0, 0, 218), RGB(0, 0, 128)},
    };
    for (const PatchCase& patch : cases) {
        for (bool paletteDevice : {false, true}) {
            auto session = NewUiSession();
            // A rewritten centre entry is what the patch shows.
            SetPatternColour(&session->patternPalette, kGreyCentreEntry, 186, 186, 186);
            Canvas canvas(48, 36);
            DrawGammaPatch(canvas.dc(), canvas.rect(), session->patternPalette, patch.centreEntry,
                           paletteDevice);

            int wrong = 0;
            for (int y = 0; y < 36; ++y) {
                for (int x = 0; x < 48; ++x) {
                    const bool inCentreColumns = x >= 12 && x <= 35;
                    COLORREF expected = y % 2 == 1 ? patch.line : kBlack;
                    if (x == 0 || x == 47 || y == 0 || y == 35) {
                        expected = kBlack;
                    } else if (inCentreColumns && y >= 9 && y <= 26) {
                        expected = patch.centre;
                    } else if (inCentreColumns && (y == 8 || y == 27)) {
                        expected = patch.separator;
                    }
                    const COLORREF actual = canvas.Pixel(x, y);
                    if (actual != expected && ++wrong <= 3) {
                        ADD_FAILURE() << "entry " << patch.centreEntry << " pixel (" << x << ", "
                                      << y << "): got " << ColourText(actual) << ", expected "
                                      << ColourText(expected);
                    }
                }
            }
            EXPECT_EQ(wrong, 0) << "entry " << patch.centreEntry;
        }
    }
}

// Inner width 409: w = 20 and 4 left over, so bars of 23, 18 x 20 and 26
// pixels, dark grey first, over the upper half; the lower half stays white.
TEST(BrightnessStrip, InnerWidthOf409GivesBarsOf23And20And26) {
    Runs bars = {{kBlack, 1}, {kDarkGrey, 23}};
    for (int bar = 1; bar < 19; ++bar) {
        bars.push_back({bar % 2 == 0 ? kDarkGrey : kBlack, 20});
    }
    bars.push_back({kBlack, 26 + 1});  // the last bar runs into the outline
    const Runs lowerHalf = {{kBlack, 1}, {kWhite, 409}, {kBlack, 1}};
    // Rows 1 to 17 of 40 are bars: they end before (40 - 1) / 2 - 1 = 18.
    const Runs column = {{kBlack, 1}, {kDarkGrey, 17}, {kWhite, 21}, {kBlack, 1}};

    for (bool paletteDevice : {false, true}) {
        auto session = NewUiSession();
        Canvas canvas(411, 40);
        DrawBrightnessStrip(canvas.dc(), canvas.rect(), session->patternPalette, paletteDevice);
        EXPECT_EQ(RowRuns(canvas, 5, 411), bars) << RunsText(RowRuns(canvas, 5, 411));
        EXPECT_EQ(RowRuns(canvas, 17, 411), bars) << RunsText(RowRuns(canvas, 17, 411));
        EXPECT_EQ(RowRuns(canvas, 18, 411), lowerHalf) << RunsText(RowRuns(canvas, 18, 411));
        EXPECT_EQ(ColumnRuns(canvas, 5, 40), column) << RunsText(ColumnRuns(canvas, 5, 40));
    }
}

// 60 x 60: dx = dy = 10. A white band with black at the left and top edges and
// at column and row 58, a black square and the dark grey centre; column and
// row 59 are not painted.
TEST(BrightnessBox, SixtyPixelsSquare) {
    const Runs across = {{kBlack, 1},  {kWhite, 9}, {kBlack, 10}, {kDarkGrey, 19},
                         {kBlack, 10}, {kWhite, 9}, {kBlack, 1},  {Canvas::kUnpainted, 1}};
    for (bool paletteDevice : {false, true}) {
        auto session = NewUiSession();
        Canvas canvas(60, 60);
        DrawBrightnessBox(canvas.dc(), canvas.rect(), session->patternPalette, paletteDevice);
        EXPECT_EQ(RowRuns(canvas, 30, 60), across) << RunsText(RowRuns(canvas, 30, 60));
        EXPECT_EQ(ColumnRuns(canvas, 30, 60), across) << RunsText(ColumnRuns(canvas, 30, 60));
        EXPECT_EQ(RowRuns(canvas, 59, 60), Runs({{Canvas::kUnpainted, 60}}));
    }
}

TEST(CentreColour, HalfLightLevels) {
    const std::pair<double, int> levels[] = {{2.2, 186}, {1.8, 174}, {1.0, 128}, {2.37, 190}};
    for (const auto& level : levels) {
        EXPECT_EQ(HalfLightLevel(level.first), level.second) << "gamma " << level.first;
    }
}

TEST(CentreColour, PerChannelWithoutATableAndTheTargetWithOne) {
    auto session = NewUiSession();
    MonitorSettings& working = session->workingSettings;
    working.gamma[0] = 1.8;
    working.gamma[1] = 2.2;
    working.gamma[2] = 1.0;
    const PatternPalette& palette = session->patternPalette;

    working.hasGammaRamp = 0;
    UpdateGammaCentreColours(session.get());
    EXPECT_EQ(PatternColour(palette, 6), RGB(186, 186, 186));
    EXPECT_EQ(PatternColour(palette, 7), RGB(174, 0, 0));
    EXPECT_EQ(PatternColour(palette, 8), RGB(0, 186, 0));
    EXPECT_EQ(PatternColour(palette, 9), RGB(0, 0, 128));

    working.hasGammaRamp = 1;
    UpdateGammaCentreColours(session.get());
    EXPECT_EQ(PatternColour(palette, 6), RGB(186, 186, 186));
    EXPECT_EQ(PatternColour(palette, 7), RGB(186, 0, 0));
    EXPECT_EQ(PatternColour(palette, 8), RGB(0, 186, 0));
    EXPECT_EQ(PatternColour(palette, 9), RGB(0, 0, 186));
}

}  // namespace
}  // namespace tonalis
