// The calibration patterns drawn into memory bitmaps of known size, and the
// centre colours of the gamma patches.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "model/pattern_levels.h"
#include "ui/patterns.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::Canvas;
using testing::NewUiSession;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(38, 38, 38);
using Runs = std::vector<std::pair<COLORREF, int>>;

// Colours and lengths of the runs of pixels along a row (dy 0) or a column.
Runs RunsAlong(const Canvas& canvas, int x, int y, int dx, int dy, int count) {
    Runs runs;
    for (int i = 0; i < count; ++i, x += dx, y += dy) {
        if (runs.empty() || runs.back().first != canvas.Pixel(x, y)) {
            runs.push_back({canvas.Pixel(x, y), 0});
        }
        ++runs.back().second;
    }
    return runs;
}

// 48 x 36: centre columns 12-35 and rows 9-26, separator rows 8 and 27 over
// the centre's columns, odd rows lined, even rows black, a black border.
TEST(Patterns, GammaPatchOf48By36) {
    struct {
        int entry;
        COLORREF line, separator, centre;
    } cases[] = {{6, kWhite, RGB(218, 218, 218), RGB(186, 186, 186)},
                 {7, RGB(255, 0, 0), RGB(218, 0, 0), RGB(128, 0, 0)},
                 {8, RGB(0, 255, 0), RGB(0, 218, 0), RGB(0, 128, 0)},
                 {9, RGB(0, 0, 255), RGB(0, 0, 218), RGB(0, 0, 128)}};
    for (const auto& patch : cases) {
        auto session = NewUiSession();
        SetPatternColour(&session->patternPalette, 6, 186, 186, 186);  // a rewritten centre
        Canvas canvas(48, 36);
        DrawGammaPatch(canvas.dc(), canvas.rect(), session->patternPalette, patch.entry, false);
        int wrong = 0;
        for (int y = 0; y < 36; ++y) {
            for (int x = 0; x < 48; ++x) {
                const bool centreColumn = x >= 12 && x <= 35;
                COLORREF expected = y % 2 == 1 ? patch.line : kBlack;
                if (x == 0 || x == 47 || y == 0 || y == 35) {
                    expected = kBlack;
                } else if (centreColumn && y >= 9 && y <= 26) {
                    expected = patch.centre;
                } else if (centreColumn && (y == 8 || y == 27)) {
                    expected = patch.separator;
                }
                if (canvas.Pixel(x, y) != expected && ++wrong <= 3) {
                    ADD_FAILURE() << "entry " << patch.entry << " at " << x << ", " << y << ": "
                                  << testing::ColourText(canvas.Pixel(x, y));
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "entry " << patch.entry;
    }
}

// Inner width 409: bars of 23, 18 x 20 and 26 pixels, dark grey first, in
// rows 1 to 17 of 40 (they end before (40 - 1) / 2 - 1); below, white.
TEST(Patterns, BrightnessStripWithInnerWidth409) {
    Runs bars = {{kBlack, 1}, {kGrey, 23}};
    for (int bar = 1; bar < 19; ++bar) {
        bars.push_back({bar % 2 == 0 ? kGrey : kBlack, 20});
    }
    bars.push_back({kBlack, 26 + 1});  // the last bar meets the outline
    for (bool paletteDevice : {false, true}) {
        auto session = NewUiSession();
        Canvas canvas(411, 40);
        DrawBrightnessStrip(canvas.dc(), canvas.rect(), session->patternPalette, paletteDevice);
        EXPECT_EQ(RunsAlong(canvas, 0, 1, 1, 0, 411), bars);
        EXPECT_EQ(RunsAlong(canvas, 0, 17, 1, 0, 411), bars);
        EXPECT_EQ(RunsAlong(canvas, 5, 0, 0, 1, 40),
                  Runs({{kBlack, 1}, {kGrey, 17}, {kWhite, 21}, {kBlack, 1}}));
    }
}

// 60 x 60, dx = dy = 10: black edge, white band, black square, grey centre;
// the last column and row are not painted.
TEST(Patterns, BrightnessBoxOf60By60) {
    const Runs across = {{kBlack, 1},  {kWhite, 9}, {kBlack, 10}, {kGrey, 19},
                         {kBlack, 10}, {kWhite, 9}, {kBlack, 1},  {Canvas::kUnpainted, 1}};
    for (bool paletteDevice : {false, true}) {
        auto session = NewUiSession();
        Canvas canvas(60, 60);
        DrawBrightnessBox(canvas.dc(), canvas.rect(), session->patternPalette, paletteDevice);
        EXPECT_EQ(RunsAlong(canvas, 0, 30, 1, 0, 60), across);
        EXPECT_EQ(RunsAlong(canvas, 30, 0, 0, 1, 60), across);
    }
}

TEST(Patterns, CentreColoursAreHalfLightLevels) {
    for (auto [gamma, level] : {std::pair{2.2, 186}, {1.8, 174}, {1.0, 128}, {2.37, 190}}) {
        EXPECT_EQ(HalfLightLevel(gamma), level) << "gamma " << gamma;
    }
    auto session = NewUiSession();
    MonitorSettings& working = session->workingSettings;
    working.gamma[0] = 1.8, working.gamma[1] = 2.2, working.gamma[2] = 1.0;
    const COLORREF perChannel[] = {RGB(186, 186, 186), RGB(174, 0, 0), RGB(0, 186, 0),
                                   RGB(0, 0, 128)};
    const COLORREF target[] = {RGB(186, 186, 186), RGB(186, 0, 0), RGB(0, 186, 0), RGB(0, 0, 186)};
    for (int table = 0; table < 2; ++table) {
        working.hasGammaRamp = static_cast<uint8_t>(table);
        UpdateGammaCentreColours(session.get());
        for (int entry = 6; entry <= 9; ++entry) {
            EXPECT_EQ(PatternColour(session->patternPalette, entry),
                      (table ? target : perChannel)[entry - 6])
                << "entry " << entry << " table " << table;
        }
    }
}

}  // namespace
}  // namespace tonalis
