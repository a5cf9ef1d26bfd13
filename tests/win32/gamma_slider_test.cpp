// The gamma sliders on a page made from template 309: what a slider move
// stores, what the patches show, the single-gamma check box, the repaint
// rules, and on Xorg's dummy driver the display's own ramp.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "system_seams.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/patterns.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::ColourText;
using testing::NewUiSession;
using testing::UiSession;

INT_PTR CALLBACK TestPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            AttachSession(page, reinterpret_cast<SessionContext*>(lParam));
            return TRUE;
        case WM_HSCROLL:
            OnGammaSlider(page, SessionOf(page), reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                          HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawGammaPatch(item->hDC, item->rcItem, SessionOf(page)->patternPalette,
                           GammaPatchCentreEntry(page, static_cast<int>(wParam)), false);
            return TRUE;
        }
        case WM_DESTROY:
            DetachSession(page);
            return FALSE;
        default:
            return FALSE;
    }
}

// Page 309 in a visible frame, with the slider range that the page gives
// with or without a lookup table.
class GammaPage {
  public:
    explicit GammaPage(SessionContext* session) {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        frame_ = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 700, 500, nullptr, nullptr,
                                 nullptr, nullptr);
        // Shown without activation: Wine waits two seconds for a window
        // manager to map an activated window.
        ShowWindow(frame_, SW_SHOWNA);
        session->frameWindow = frame_;
        page_ = CreateDialogParamA(session->instance, MAKEINTRESOURCEA(IDD_GAMMA), frame_,
                                   TestPageProc, reinterpret_cast<LPARAM>(session));
        ShowWindow(page_, SW_SHOW);
        const bool table = session->workingSettings.hasGammaRamp == 1;
        for (int id : {IDC_GAMMA_SLIDER_CENTRE, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_SLIDER_RIGHT}) {
            SetSliderRange(Control(page_, id), table ? 0 : 75, table ? 200 : 375, false);
        }
    }
    ~GammaPage() {
        DestroyWindow(page_);
        DestroyWindow(frame_);
    }
    HWND get() const { return page_; }
    HWND control(int id) const { return Control(page_, id); }
    int position(int id) const { return SliderPosition(control(id)); }

    // A WM_HSCROLL as the slider sends it.
    void Move(int id, int code, int position) {
        SendMessageA(page_, WM_HSCROLL, MAKEWPARAM(code, position),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    // The colour on screen at the middle of a patch.
    COLORREF PatchCentre(int id) const {
        RECT client;
        GetClientRect(control(id), &client);
        HDC dc = GetDC(control(id));
        const COLORREF colour = GetPixel(dc, client.right / 2, client.bottom / 2);
        ReleaseDC(control(id), dc);
        return colour;
    }
    bool SidesShown() const {
        return IsWindowVisible(control(IDC_GAMMA_PATCH_LEFT)) &&
               IsWindowVisible(control(IDC_GAMMA_SLIDER_LEFT)) &&
               IsWindowVisible(control(IDC_GAMMA_PATCH_RIGHT)) &&
               IsWindowVisible(control(IDC_GAMMA_SLIDER_RIGHT));
    }
    bool SidesHidden() const {
        for (int id : {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_PATCH_RIGHT,
                       IDC_GAMMA_SLIDER_RIGHT}) {
            if (IsWindowVisible(control(id))) {
                return false;
            }
        }
        return true;
    }
    bool NeedsPaint(int id) const { return GetUpdateRect(control(id), nullptr, FALSE) != 0; }

  private:
    HWND frame_ = nullptr;
    HWND page_ = nullptr;
};

UiSession SessionWithGamma(bool table, double red, double green, double blue) {
    UiSession session = NewUiSession();
    MonitorSettings& working = session->workingSettings;
    working.hasGammaRamp = table ? 1 : 0;
    working.whiteRgb = kFullPeaks;
    const double gammas[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c) {
        working.gamma[c] = gammas[c];
        working.gammaFactor[c] = 1.0;
    }
    return session;
}

TEST(GammaSliders, WithoutATableTheSliderIsTheGammaAndThePatchFollows) {
    UiSession session = SessionWithGamma(false, 1.8, 2.2, 2.5);
    GammaPage page(session.get());
    RefreshGammaPatches(page.get(), session.get());
    EXPECT_TRUE(page.SidesShown());
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_LEFT), 180);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_CENTRE), 220);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_RIGHT), 250);
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE), RGB(0, 186, 0));

    // Dragged to 237: gamma 2.37, whose half-light level is 190.
    page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBTRACK, 237);
    const MonitorSettings& working = session->workingSettings;
    EXPECT_DOUBLE_EQ(working.gamma[1], 2.37);
    EXPECT_DOUBLE_EQ(working.gamma[0], 1.8);
    EXPECT_DOUBLE_EQ(working.gamma[2], 2.5);
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE), RGB(0, 190, 0))
        << ColourText(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE));

    // A position past the range is kept to it and shown so.
    page.Move(IDC_GAMMA_SLIDER_LEFT, TB_THUMBTRACK, 500);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_LEFT), 375);
    EXPECT_DOUBLE_EQ(working.gamma[0], 3.75);

    // Keyboard and page steps have moved the slider already: the position
    // sent with them means nothing.
    SetSliderPosition(page.control(IDC_GAMMA_SLIDER_RIGHT), 100, true);
    page.Move(IDC_GAMMA_SLIDER_RIGHT, TB_LINEDOWN, 999);
    EXPECT_DOUBLE_EQ(working.gamma[2], 1.0);
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_RIGHT), RGB(0, 0, 128));

    // Unknown scroll codes and other controls are left alone.
    EXPECT_FALSE(
        OnGammaSlider(page.get(), session.get(), page.control(IDC_GAMMA_SLIDER_RIGHT), 9, 300));
    EXPECT_FALSE(
        OnGammaSlider(page.get(), session.get(), page.control(IDC_GAMMA_LIST), TB_THUMBTRACK, 300));
    EXPECT_DOUBLE_EQ(working.gamma[2], 1.0);
}

TEST(GammaSliders, SingleGammaWithATableMovesEveryChannelInLogarithmicSteps) {
    testing::ScopedFakeDisplaySystem display;
    UiSession session = SessionWithGamma(true, 2.2, 2.2, 2.2);
    MonitorSettings& working = session->workingSettings;
    working.gammaFactor[0] = 0.5;
    working.gammaFactor[2] = 2.0;
    GammaPage page(session.get());
    RefreshGammaPatches(page.get(), session.get());
    EXPECT_TRUE(page.SidesShown());
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_LEFT), 0);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_CENTRE), 100);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_RIGHT), 200);

    SetChecked(page.get(), IDC_SINGLE_GAMMA, true);
    RefreshGammaPatches(page.get(), session.get());
    EXPECT_TRUE(page.SidesHidden());
    EXPECT_DOUBLE_EQ(working.gammaFactor[0], 1.0);
    EXPECT_DOUBLE_EQ(working.gammaFactor[2], 1.0);
    // One grey patch at the target gamma's half-light level.
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE), RGB(186, 186, 186));

    // Position 100 of 0-200 is step 128 of 255 between 0.5 and 2.0.
    display.state().writes.clear();
    page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBPOSITION, 100);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(working.gammaFactor[c], 1.0027, 0.0001) << "channel " << c;
        EXPECT_NE(working.gammaFactor[c], 1.0);
    }
    // The display got the table at once: input 128 of gamma 2.2 is level 143.
    ASSERT_EQ(display.state().writes.size(), 1u);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(display.state().writes[0].ramp.Channel(c)[128], 143 * 256) << "channel " << c;
    }
    // The patch keeps its colour: the display's response is what changed.
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE), RGB(186, 186, 186));

    SetChecked(page.get(), IDC_SINGLE_GAMMA, false);
    RefreshGammaPatches(page.get(), session.get());
    EXPECT_TRUE(page.SidesShown());
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_LEFT), 100);
    EXPECT_EQ(page.position(IDC_GAMMA_SLIDER_RIGHT), 100);
    EXPECT_EQ(page.PatchCentre(IDC_GAMMA_PATCH_CENTRE), RGB(0, 186, 0));
}

TEST(GammaSliders, PaletteChangesRepaintThePatternsButNotTheirOwn) {
    UiSession session = SessionWithGamma(false, 2.2, 2.2, 2.2);
    GammaPage page(session.get());
    RefreshGammaPatches(page.get(), session.get());
    const int patches[] = {IDC_GAMMA_PATCH_CENTRE, IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_PATCH_RIGHT};
    auto paintAll = [&] {
        RedrawWindow(page.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };

    struct Case {
        bool paletteDevice;
        bool fromOwnPatch;
        bool repainted;
    } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const Case& test : cases) {
        session->isPaletteDevice = test.paletteDevice;
        paintAll();
        HWND changer = test.fromOwnPatch ? page.control(IDC_GAMMA_PATCH_LEFT) : GetDesktopWindow();
        OnPaletteChanged(page.get(), session.get(), changer);
        for (int id : patches) {
            EXPECT_EQ(page.NeedsPaint(id), test.repainted)
                << "patch " << id << " palette device " << test.paletteDevice;
        }
    }

    paintAll();
    InvalidatePatternControls(page.get());
    for (int id : patches) {
        EXPECT_TRUE(page.NeedsPaint(id)) << "patch " << id;
    }
}

// Xorg's dummy driver keeps a real ramp: the slider changes it. The ramp is
// saved before and put back after.
TEST(GammaSliders, OnXorgTheSliderChangesTheDisplaysRamp) {
    if (testing::DisplaySetup() != "dummy") {
        GTEST_SKIP() << "needs Xorg's dummy driver (TONALIS_DISPLAY_SETUP=dummy)";
    }
    // The display's ramp, put back whatever the test finds.
    struct SavedRamp {
        HDC screen = GetDC(nullptr);
        GammaRamp ramp;
        bool read = GetDeviceGammaRamp(screen, ramp.entries) != FALSE;
        ~SavedRamp() {
            if (read) {
                SetDeviceGammaRamp(screen, ramp.entries);
            }
            ReleaseDC(nullptr, screen);
        }
    } saved;
    ASSERT_TRUE(saved.read);
    HDC screen = saved.screen;

    UiSession session = SessionWithGamma(true, 2.2, 2.2, 2.2);
    GammaPage page(session.get());
    SetChecked(page.get(), IDC_SINGLE_GAMMA, true);
    // Factor 0.5 and 1.0027: input 128 of gamma 2.2 is level 80 and 143.
    const std::pair<int, int> moves[] = {{0, 80}, {100, 143}};
    for (const auto& move : moves) {
        page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBTRACK, move.first);
        GammaRamp shown = {};
        ASSERT_TRUE(GetDeviceGammaRamp(screen, shown.entries));
        for (int c = 0; c < 3; ++c) {
            // The X server keeps fewer bits than the ramp carries.
            EXPECT_NEAR(shown.Channel(c)[128], move.second * 256, 512)
                << "position " << move.first << " channel " << c;
        }
    }
}

}  // namespace
}  // namespace tonalis
