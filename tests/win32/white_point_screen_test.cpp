// The white point measurement: the screen of three squares run modally and
// driven by clicks and keys from a timer, its instructions dialog, the ladder
// search, and the window class "WhPtExp".
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "model/white_swatches.h"
#include "resources/resource.h"
#include "ui/pattern_palette.h"
#include "ui/procedures.h"
#include "ui/white_point_measurement.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::Canvas;
using testing::ColourText;
using testing::NewUiSession;
using testing::UiSession;

constexpr Chromaticity k6500 = {0.3128, 0.3292};

// Steps run one per timer tick while modal dialogs of this thread are open;
// each waits for a visible window that holds its marker control. After ten
// seconds every dialog is cancelled, so that a fault cannot hang the run.
class ModalScript {
  public:
    struct Step {
        int markerId;
        std::function<void(HWND dialog)> action;
    };

    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~ModalScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    size_t stepsDone() const { return next_; }
    bool timedOut() const { return timedOut_; }

  private:
    struct Search {
        int markerId;
        HWND found;
    };
    static BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        if (IsWindowVisible(window) && GetDlgItem(window, search->markerId) != nullptr) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* script = current_;
        if (script == nullptr) {
            return;
        }
        if (++script->ticks_ > 200) {
            script->timedOut_ = true;
            EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
            return;
        }
        if (script->next_ >= script->steps_.size()) {
            return;
        }
        Search search = {script->steps_[script->next_].markerId, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            script->steps_[script->next_++].action(search.found);
        }
    }

    static inline ModalScript* current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    int ticks_ = 0;
    bool timedOut_ = false;
    UINT_PTR timer_ = 0;
};

void Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Key(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
}

// What a square shows, painted as for the screen into a canvas.
COLORREF SquareColour(HWND screen, int id) {
    Canvas canvas(100, 100);
    SendMessageA(GetDlgItem(screen, id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT);
    return canvas.Pixel(50, 50);
}

COLORREF SwatchOf(int step) {
    const SwatchColour& swatch = ProcessWhiteSwatchTable().steps[step];
    return RGB(swatch.red, swatch.green, swatch.blue);
}

// sRGB primaries and gamma 2.2, calibrating the second of two monitors.
UiSession MeasuringSession(Chromaticity hardwareWhite) {
    UiSession session = NewUiSession();
    MonitorSettings& working = session->workingSettings;
    const Chromaticity primaries[3] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
    for (int c = 0; c < 3; ++c) {
        working.primaries[c] = primaries[c];
        working.gamma[c] = 2.2;
    }
    working.hardwareWhite = hardwareWhite;
    session->monitorCount = 2;
    session->currentMonitor = 1;
    session->monitors[0].monitorRect = {0, 0, 200, 200};
    session->monitors[1].monitorRect = {64, 32, 864, 632};
    return session;
}

TEST(WhitePointScreen, TwoLeftClicksThenTheCentreChoose5500K) {
    UiSession session = MeasuringSession(k6500);
    int startStep = -1;
    RECT screenRect = {}, leftSquare = {}, rightSquare = {};
    COLORREF centreShown = 0;
    ModalScript script(
        {{IDC_SQUARE_CENTRE, [&](HWND screen) {
              startStep = session->whitePointStep;
              GetWindowRect(screen, &screenRect);
              GetWindowRect(GetDlgItem(screen, IDC_SQUARE_LEFT), &leftSquare);
              MapWindowPoints(nullptr, screen, reinterpret_cast<POINT*>(&leftSquare), 2);
              GetWindowRect(GetDlgItem(screen, IDC_SQUARE_RIGHT), &rightSquare);
              MapWindowPoints(nullptr, screen, reinterpret_cast<POINT*>(&rightSquare), 2);
              centreShown = SquareColour(screen, IDC_SQUARE_CENTRE);
              Click(screen, IDC_SQUARE_LEFT);
              Click(screen, IDC_SQUARE_LEFT);
              Click(screen, IDC_SQUARE_CENTRE);
          }}});

    EXPECT_EQ(MeasureWhitePoint(nullptr, session.get()), 1);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(startStep, 5);
    // The screen covers the monitor being calibrated, with 100-pixel squares
    // 150 pixels down, centred with 30-pixel gaps: (800 - 360) / 2 = 220.
    EXPECT_EQ(screenRect.left, 64);
    EXPECT_EQ(screenRect.top, 32);
    EXPECT_EQ(screenRect.right, 864);
    EXPECT_EQ(screenRect.bottom, 632);
    EXPECT_EQ(leftSquare.left, 220);
    EXPECT_EQ(leftSquare.top, 150);
    EXPECT_EQ(leftSquare.right - leftSquare.left, 100);
    EXPECT_EQ(rightSquare.left, 480);
    EXPECT_EQ(centreShown, SwatchOf(5)) << ColourText(centreShown);
    EXPECT_NE(centreShown, RGB(0, 0, 0));

    EXPECT_EQ(session->whitePointStep, 3);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, 0.3325);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, 0.3476);
}

TEST(WhitePointScreen, AtTheWarmEndTheLeftSquareIsBlackAndArrowKeysStep) {
    UiSession session = MeasuringSession(WhiteLadder[0]);
    COLORREF leftAtStart = 1, leftAfterLeft = 1, centreAfterLeft = 0;
    int stepAfterLeft = -1;
    ModalScript script({
        {IDC_SQUARE_CENTRE,
         [&](HWND screen) {
             leftAtStart = SquareColour(screen, IDC_SQUARE_LEFT);
             HWND left = GetDlgItem(screen, IDC_SQUARE_LEFT);
             SetFocus(left);
             Key(left, VK_LEFT);  // nowhere warmer to go
         }},
        {IDC_SQUARE_CENTRE,
         [&](HWND screen) {
             stepAfterLeft = session->whitePointStep;
             leftAfterLeft = SquareColour(screen, IDC_SQUARE_LEFT);
             centreAfterLeft = SquareColour(screen, IDC_SQUARE_CENTRE);
             Key(GetDlgItem(screen, IDC_SQUARE_LEFT), VK_RIGHT);
         }},
        // The arrow is a posted command: Enter comes on a later tick.
        {IDC_SQUARE_CENTRE,
         [&](HWND screen) { Key(GetDlgItem(screen, IDC_SQUARE_LEFT), VK_RETURN); }},
    });

    EXPECT_EQ(MeasureWhitePoint(nullptr, session.get()), 1);
    EXPECT_EQ(script.stepsDone(), 3u);
    EXPECT_EQ(leftAtStart, RGB(0, 0, 0)) << ColourText(leftAtStart);
    EXPECT_EQ(stepAfterLeft, 0);
    EXPECT_EQ(leftAfterLeft, RGB(0, 0, 0));
    EXPECT_EQ(centreAfterLeft, SwatchOf(0)) << ColourText(centreAfterLeft);
    // The right arrow stepped one cooler and Enter chose it: 5000K.
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, 0.3457);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, 0.3587);
}

TEST(WhitePointScreen, EscOnTheScreenEndsTheInstructionsWithNothingChanged) {
    const Chromaticity custom = {0.30, 0.31};
    UiSession session = MeasuringSession(custom);
    int startStep = -1;
    ModalScript script({
        {IDOK, [&](HWND instructions) { Click(instructions, IDOK); }},
        {IDC_SQUARE_CENTRE,
         [&](HWND screen) {
             startStep = session->whitePointStep;
             Click(screen, IDC_SQUARE_RIGHT);
             Key(screen, VK_ESCAPE);
         }},
    });

    EXPECT_EQ(RunWhitePointInstructions(nullptr, session.get()), 2);
    EXPECT_EQ(script.stepsDone(), 2u);
    EXPECT_FALSE(script.timedOut());
    // A white point off the ladder starts in the middle.
    EXPECT_EQ(startStep, 5);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.x, custom.x);
    EXPECT_DOUBLE_EQ(session->workingSettings.hardwareWhite.y, custom.y);
}

TEST(WhitePointScreen, LadderSearchAndSwatchesAtTheEnds) {
    const std::pair<Chromaticity, int> searches[] = {
        {k6500, 5},
        {{0.3325 + 0.0012, 0.3476 - 0.0012}, 3},  // the tolerance includes its bound
        {{0.3325 + 0.0013, 0.3476}, 5},
        {{0.2788, 0.2920}, 10},
    };
    for (const auto& search : searches) {
        EXPECT_EQ(FindWhiteStep(search.first), search.second)
            << search.first.x << ", " << search.first.y;
    }

    PatternPalette palette;
    InitPatternPalette(&palette);
    SetWhiteSwatches(&palette, 10);
    EXPECT_EQ(PatternColour(palette, 12), RGB(0, 0, 0));
    EXPECT_EQ(PatternColour(palette, 10), SwatchOf(9));
}

TEST(WhitePointWindow, KeepsItsSessionAndClosesOnlyOnEsc) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TNLWhitePtWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "WhPtExpTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    UiSession session = NewUiSession();

    HWND window = CreateWindowExA(0, "WhPtExpTest", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  windowClass.hInstance, session.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetPropA(window, "TNLSaveWinProp"), session.get());
    SendMessageA(window, WM_LBUTTONUP, 0, 0);
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(IsWindow(window));
    UnregisterClassA("WhPtExpTest", windowClass.hInstance);
}

}  // namespace
}  // namespace tonalis
