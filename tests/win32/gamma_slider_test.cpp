// The gamma sliders on a page made from template 309: what a move stores,
// what the patches show, the single-gamma check box, and on Xorg's dummy
// driver the display's own ramp.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "applet/dpi_awareness.h"
#include "resources/resource.h"
#include "system_seams.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/patterns.h"
#include "ui_test_support.h"

namespace tonalis {
namespace {

using testing::ColourText;

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachSession(page, reinterpret_cast<SessionContext*>(lParam));
    } else if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawGammaPatch(item->hDC, item->rcItem, SessionOf(page)->patternPalette,
                       GammaPatchCentreEntry(page, static_cast<int>(wParam)), false);
    } else {
        return FALSE;
    }
    return TRUE;
}

// Page 309 shown in a frame, with a session of these gammas, the slider range
// of a page with or without a lookup table, and 1200 as given.
class GammaPage {
  public:
    GammaPage(bool table, double red, double green, double blue, bool single)
        : session_(testing::NewUiSession()) {
        MonitorSettings& working = session_->workingSettings;
        working.hasGammaRamp = table;
        working.whiteRgb = kFullPeaks;
        working.gamma[0] = red, working.gamma[1] = green, working.gamma[2] = blue;
        working.gammaFactor[0] = working.gammaFactor[1] = working.gammaFactor[2] = 1.0;
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
        InitCommonControlsEx(&classes);
        frame_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1000, 740, nullptr, nullptr,
                                 nullptr, nullptr);
        // Without activation: Wine waits two seconds for a window manager
        // to map an activated window.
        ShowWindow(frame_, SW_SHOWNA);
        session_->frameWindow = frame_;
        page_ = CreateDialogParamA(session_->instance, MAKEINTRESOURCEA(IDD_GAMMA), frame_,
                                   PageProc, reinterpret_cast<LPARAM>(session_.get()));
        ShowWindow(page_, SW_SHOWNA);
        for (int id : {IDC_GAMMA_SLIDER_CENTRE, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_SLIDER_RIGHT}) {
            SetSliderRange(Control(page_, id), table ? 0 : 75, table ? 200 : 375, false);
        }
        SetChecked(page_, IDC_SINGLE_GAMMA, single);
    }
    ~GammaPage() { DestroyWindow(frame_); }

    MonitorSettings& working() { return session_->workingSettings; }
    void Refresh(bool single) {
        SetChecked(page_, IDC_SINGLE_GAMMA, single);
        RefreshGammaPatches(page_, session_.get());
    }
    bool Move(int id, int code, int position) {
        return OnGammaSlider(page_, session_.get(), Control(page_, id), code, position);
    }
    int Position(int id) { return SliderPosition(Control(page_, id)); }
    void SetPosition(int id, int position) {
        SetSliderPosition(Control(page_, id), position, true);
    }
    // The colour on screen in the middle of a patch.
    COLORREF Centre(int id) {
        HDC dc = GetDC(Control(page_, id));
        RECT client;
        GetClientRect(Control(page_, id), &client);
        const COLORREF colour = GetPixel(dc, client.right / 2, client.bottom / 2);
        ReleaseDC(Control(page_, id), dc);
        return colour;
    }
    // The patch as the screen shows it; the frame holds the page at 200 %.
    std::unique_ptr<testing::Canvas> Shoot(int id) {
        HWND patch = Control(page_, id);
        RECT client;
        GetClientRect(patch, &client);
        UpdateWindow(page_);
        auto shot = std::make_unique<testing::Canvas>(client.right, client.bottom);
        HDC dc = GetDC(patch);
        BitBlt(shot->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(patch, dc);
        return shot;
    }
    int SidesShown() {
        int shown = 0;
        for (int id : {IDC_GAMMA_PATCH_LEFT, IDC_GAMMA_SLIDER_LEFT, IDC_GAMMA_PATCH_RIGHT,
                       IDC_GAMMA_SLIDER_RIGHT}) {
            shown += IsWindowVisible(Control(page_, id)) ? 1 : 0;
        }
        return shown;
    }

  private:
    testing::UiSession session_;
    HWND frame_ = nullptr;
    HWND page_ = nullptr;
};

TEST(GammaSliders, WithoutATableTheSliderIsTheGammaAndThePatchFollows) {
    GammaPage page(false, 1.8, 2.2, 2.5, false);
    page.Refresh(false);
    EXPECT_EQ(page.SidesShown(), 4);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_LEFT), 180);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_CENTRE), 220);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_RIGHT), 250);

    page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBTRACK, 237);
    EXPECT_DOUBLE_EQ(page.working().gamma[1], 2.37);
    EXPECT_DOUBLE_EQ(page.working().gamma[0], 1.8);
    EXPECT_EQ(page.Centre(IDC_GAMMA_PATCH_CENTRE), RGB(0, 190, 0))
        << ColourText(page.Centre(IDC_GAMMA_PATCH_CENTRE));

    page.Move(IDC_GAMMA_SLIDER_LEFT, TB_THUMBTRACK, 500);  // kept to the range
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_LEFT), 375);
    EXPECT_DOUBLE_EQ(page.working().gamma[0], 3.75);

    // A line step has moved the slider already; the position sent means nothing.
    page.SetPosition(IDC_GAMMA_SLIDER_RIGHT, 100);
    EXPECT_TRUE(page.Move(IDC_GAMMA_SLIDER_RIGHT, TB_LINEDOWN, 999));
    EXPECT_DOUBLE_EQ(page.working().gamma[2], 1.0);
    EXPECT_EQ(page.Centre(IDC_GAMMA_PATCH_RIGHT), RGB(0, 0, 128));

    EXPECT_FALSE(page.Move(IDC_GAMMA_SLIDER_RIGHT, 9, 300));  // not a scroll code
    EXPECT_FALSE(page.Move(IDC_GAMMA_LIST, TB_THUMBTRACK, 300));
    EXPECT_DOUBLE_EQ(page.working().gamma[2], 1.0);
}

// Per-monitor aware at the display's scale (the Wine runs set 96, 144 and 192
// DPI): the lined field alternates on every device row, and the patch fills
// its control to the last row and column.
TEST(GammaSliders, ThePatchIsDrawnInDevicePixelsAtAnyScale) {
    ScopedPerMonitorDpiAwareness awareness;
    const char* dpi = std::getenv("TONALIS_EXPECTED_DPI");
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(dpi == nullptr || GetDeviceCaps(screen, LOGPIXELSY) == std::atoi(dpi)) << dpi;
    ReleaseDC(nullptr, screen);
    GammaPage page(false, 2.2, 2.2, 2.2, true);
    page.Refresh(true);
    auto shot = page.Shoot(IDC_GAMMA_PATCH_CENTRE);
    const int right = shot->rect().right - 1, bottom = shot->rect().bottom - 1;
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    int wrong = 0;
    for (int y = 0; y <= bottom; ++y) {
        const COLORREF lined = y % 2 == 1 && y < bottom ? white : black;
        wrong += shot->Pixel(0, y) != black || shot->Pixel(right, y) != black ||
                 shot->Pixel(1, y) != lined || shot->Pixel(right - 1, y) != lined;
    }
    for (int x = 1; x < right; ++x) {
        wrong += shot->Pixel(x, 0) != black || shot->Pixel(x, 1) != white ||
                 shot->Pixel(x, bottom) != black;
    }
    EXPECT_EQ(wrong, 0) << "a patch of " << right + 1 << " x " << bottom + 1;
}

TEST(GammaSliders, SingleGammaWithATableMovesEveryChannelInLogarithmicSteps) {
    testing::ScopedFakeDisplaySystem display;
    GammaPage page(true, 2.2, 2.2, 2.2, false);
    page.working().gammaFactor[0] = 0.5;
    page.working().gammaFactor[2] = 2.0;
    page.Refresh(false);
    EXPECT_EQ(page.SidesShown(), 4);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_LEFT), 0);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_RIGHT), 200);

    page.Refresh(true);
    EXPECT_EQ(page.SidesShown(), 0);
    EXPECT_DOUBLE_EQ(page.working().gammaFactor[0], 1.0);
    EXPECT_EQ(page.Centre(IDC_GAMMA_PATCH_CENTRE), RGB(186, 186, 186));  // one grey patch

    // Position 100 of 0-200 is step 128 of 255 between 0.5 and 2.0, loaded at
    // once: input 128 of gamma 2.2 is level 143.
    display.state().writes.clear();
    page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBPOSITION, 100);
    ASSERT_EQ(display.state().writes.size(), 1u);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(page.working().gammaFactor[c], 1.0027, 0.0001) << "channel " << c;
        EXPECT_EQ(display.state().writes[0].ramp.Channel(c)[128], 143 * 256) << "channel " << c;
    }
    EXPECT_EQ(page.Centre(IDC_GAMMA_PATCH_CENTRE), RGB(186, 186, 186));

    page.Refresh(false);  // the side sliders come back at their own channels
    EXPECT_EQ(page.SidesShown(), 4);
    EXPECT_EQ(page.Position(IDC_GAMMA_SLIDER_LEFT), 100);
    EXPECT_EQ(page.Centre(IDC_GAMMA_PATCH_CENTRE), RGB(0, 186, 0));
}

TEST(GammaSliders, OnXorgTheSliderChangesTheDisplaysRamp) {
    if (testing::DisplaySetup() != "dummy") {
        GTEST_SKIP() << "needs Xorg's dummy driver (TONALIS_DISPLAY_SETUP=dummy)";
    }
    struct SavedRamp {  // put back whatever the test finds
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
    GammaPage page(true, 2.2, 2.2, 2.2, true);
    // Factors 0.5 and 1.0027: input 128 of gamma 2.2 shows level 80 and 143.
    for (auto [position, level] : {std::pair{0, 80}, {100, 143}}) {
        page.Move(IDC_GAMMA_SLIDER_CENTRE, TB_THUMBTRACK, position);
        GammaRamp shown = {};
        ASSERT_TRUE(GetDeviceGammaRamp(saved.screen, shown.entries));
        for (int c = 0; c < 3; ++c) {  // the X server keeps fewer bits
            EXPECT_NEAR(shown.Channel(c)[128], level * 256, 512) << "position " << position;
        }
    }
}

}  // namespace
}  // namespace tonalis
