// The white point measurement run modally and driven from a timer by clicks
// and keys, and the window class "WhPtExp".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "applet/dpi_awareness.h"
#include "model/white_swatches.h"
#include "resources/resource.h"
#include "ui/pattern_palette.h"
#include "ui/procedures.h"
#include "ui/white_point_measurement.h"
#include "ui/window_dpi.h"
#include "dialog_driver.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::ColourText;

// Runs show while the steps play, one per tick, each on the dialog that holds
// its marker control. Gives how many ran.
using Step = std::pair<int, std::function<void(HWND)>>;
size_t Play(const std::function<void()>& show, std::vector<Step> steps) {
    size_t done = 0;
    testing::DriveDialogs(show, [&](HWND dialog) {
        if (dialog != nullptr && done < steps.size() &&
            GetDlgItem(dialog, steps[done].first) != nullptr) {
            steps[done++].second(dialog);
        }
        return done == steps.size();
    });
    return done;
}

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
void Key(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
}
// What a square shows on screen. A tick comes after the paints that clicks
// and keys asked for, so a square left out of them keeps its old colour.
COLORREF Shown(HWND screen, int id) {
    HWND square = GetDlgItem(screen, id);
    HDC dc = GetDC(square);
    const COLORREF colour = GetPixel(dc, 50, 50);
    ReleaseDC(square, dc);
    return colour;
}
COLORREF Swatch(int step) {
    const SwatchColour& swatch = ProcessWhiteSwatchTable().steps[step];
    return RGB(swatch.red, swatch.green, swatch.blue);
}

// sRGB primaries and gamma 2.2, calibrating the second of two monitors.
testing::UiSession Measuring(Chromaticity hardwareWhite) {
    testing::UiSession session = testing::NewUiSession();
    MonitorSettings& working = session->workingSettings;
    working.primaries[0] = {0.64, 0.33}, working.primaries[1] = {0.30, 0.60};
    working.primaries[2] = {0.15, 0.06};
    working.gamma[0] = working.gamma[1] = working.gamma[2] = 2.2;
    working.hardwareWhite = hardwareWhite;
    session->monitorCount = 2;
    session->currentMonitor = 1;
    session->monitors[1].monitorRect = {64, 32, 864, 632};
    return session;
}

TEST(WhitePointScreen, TwoLeftClicksThenTheCentreChoose5500K) {
    ScopedPerMonitorDpiAwareness aware;  // as a run is
    auto session = Measuring({0.3128, 0.3292});
    int startStep = -1;
    RECT screen = {}, left = {};
    COLORREF centre = 0;
    std::vector<COLORREF> afterStep;
    int result = 0;
    Play([&] { result = MeasureWhitePoint(nullptr, session.get()); },
         {{IDC_SQUARE_CENTRE,
           [&](HWND window) {
               startStep = session->whitePointStep;
               GetWindowRect(window, &screen);
               GetWindowRect(GetDlgItem(window, IDC_SQUARE_LEFT), &left);
               MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&left), 2);
               centre = Shown(window, IDC_SQUARE_CENTRE);
               Click(window, IDC_SQUARE_LEFT);
           }},
          {IDC_SQUARE_CENTRE, [&](HWND window) {
               for (int id : {IDC_SQUARE_LEFT, IDC_SQUARE_CENTRE, IDC_SQUARE_RIGHT}) {
                   afterStep.push_back(Shown(window, id));
               }
               Click(window, IDC_SQUARE_LEFT);
               Click(window, IDC_SQUARE_CENTRE);
           }}});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(startStep, 5);
    EXPECT_EQ(centre, Swatch(5)) << ColourText(centre);
    // Every square repainted after one step warmer.
    EXPECT_EQ(afterStep, (std::vector<COLORREF>{Swatch(3), Swatch(4), Swatch(5)}));
    // The monitor's rectangle; at 96 DPI 100-pixel squares 150 down, (800 - 360)
    // / 2 in, and as large on the screen at 150 and 200 %.
    EXPECT_TRUE(EqualRect(&screen, reinterpret_cast<RECT*>(&session->monitors[1].monitorRect)));
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    const RECT expected = dpi == 192   ? RECT{40, 300, 240, 500}
                          : dpi == 144 ? RECT{130, 225, 280, 375}
                                       : RECT{220, 150, 320, 250};
    EXPECT_TRUE(EqualRect(&left, &expected))
        << dpi << " DPI: " << left.left << ", " << left.top << ", " << left.right;
    EXPECT_EQ(session->whitePointStep, 3);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, 0.3325);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, 0.3476);
}

UINT WINAPI DpiOfAMonitorAt150Percent(HWND) {
    return 144;
}

// On a desktop of mixed scales the squares take the scale of their own
// monitor, whatever the display's.
TEST(WhitePointScreen, SquaresTakeTheScaleOfTheirOwnMonitor) {
    const WindowDpiCalls saved = g_windowDpiCalls;
    g_windowDpiCalls.findGetDpiForWindow = [] { return &DpiOfAMonitorAt150Percent; };
    auto session = Measuring({0.3128, 0.3292});
    RECT left = {};
    const auto measure = [&](HWND screen) {
        GetWindowRect(GetDlgItem(screen, IDC_SQUARE_LEFT), &left);
        Key(screen, VK_ESCAPE);
    };
    Play([&] { MeasureWhitePoint(nullptr, session.get()); }, {{IDC_SQUARE_CENTRE, measure}});
    g_windowDpiCalls = saved;
    EXPECT_EQ(left.right - left.left, 150);  // 100 pixels at 96 DPI
}

// Past either end of the ladder a side square is black, whatever lies beside
// the table.
TEST(WhitePointScreen, SideSquaresPastTheLadderAreBlack) {
    struct {
        SwatchColour before;
        WhiteSwatchTable table;
        SwatchColour after;
    } white;
    memset(&white, 255, sizeof white);
    PatternPalette palette = {};
    SetWhiteSwatches(&palette, white.table, 0);
    const COLORREF warmEnd = PatternColour(palette, 10);
    SetWhiteSwatches(&palette, white.table, 10);
    EXPECT_EQ(warmEnd, RGB(0, 0, 0));
    EXPECT_EQ(PatternColour(palette, 12), RGB(0, 0, 0));
}

TEST(WhitePointScreen, AScreenThatCannotBeShownReportsIt) {
    auto session = Measuring({0.3128, 0.3292});
    session->instance = GetModuleHandleA("kernel32.dll");  // holds no template 326
    EXPECT_EQ(MeasureWhitePoint(nullptr, session.get()), -1);
}

TEST(WhitePointScreen, AtTheWarmEndTheLeftSquareIsBlackAndArrowKeysStep) {
    auto session = Measuring(WhiteLadder[0]);
    COLORREF leftAtStart = 1, leftAfter = 1;
    int stepAfterLeft = -1;
    int result = 0;
    const size_t done =
        Play([&] { result = MeasureWhitePoint(nullptr, session.get()); },
             {
                 {IDC_SQUARE_CENTRE,
                  [&](HWND screen) {
                      leftAtStart = Shown(screen, IDC_SQUARE_LEFT);
                      SetFocus(GetDlgItem(screen, IDC_SQUARE_LEFT));
                      Key(GetDlgItem(screen, IDC_SQUARE_LEFT), VK_LEFT);  // nowhere warmer
                  }},
                 {IDC_SQUARE_CENTRE,
                  [&](HWND screen) {
                      stepAfterLeft = session->whitePointStep;
                      leftAfter = Shown(screen, IDC_SQUARE_LEFT);
                      Key(GetDlgItem(screen, IDC_SQUARE_LEFT), VK_RIGHT);
                  }},
                 // The arrow posts a command: Enter comes on a later tick.
                 {IDC_SQUARE_CENTRE,
                  [&](HWND screen) { Key(GetDlgItem(screen, IDC_SQUARE_LEFT), VK_RETURN); }},
             });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(done, 3u);
    EXPECT_EQ(leftAtStart, RGB(0, 0, 0)) << ColourText(leftAtStart);
    EXPECT_EQ(leftAfter, RGB(0, 0, 0)) << ColourText(leftAfter);
    EXPECT_EQ(stepAfterLeft, 0);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, 0.3457);  // 5000K
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, 0.3587);
}

TEST(WhitePointScreen, EscOnTheScreenEndsTheInstructionsWithNothingChanged) {
    auto session = Measuring({0.30, 0.31});
    int startStep = -1;
    int result = 0;
    const size_t done = Play([&] { result = RunWhitePointInstructions(nullptr, session.get()); },
                             {
                                 {IDOK, [&](HWND instructions) { Click(instructions, IDOK); }},
                                 {IDC_SQUARE_CENTRE,
                                  [&](HWND screen) {
                                      startStep = session->whitePointStep;
                                      Click(screen, IDC_SQUARE_RIGHT);
                                      Key(screen, VK_ESCAPE);
                                  }},
                             });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(startStep, 5);  // off the ladder: the middle
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, 0.30);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, 0.31);
}

TEST(WhitePointWindow, KeepsItsSessionAndClosesOnlyOnEsc) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TNLWhitePtWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WhPtExpTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    auto session = testing::NewUiSession();
    HWND window = CreateWindowExA(0, "WhPtExpTest", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, session.get());
    EXPECT_EQ(GetPropA(window, "TNLSaveWinProp"), session.get());
    SendMessageA(window, WM_LBUTTONUP, 0, 0);
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(IsWindow(window));
    UnregisterClassA("WhPtExpTest", windowClass.hInstance);
}

}  // namespace
}  // namespace tonalis
