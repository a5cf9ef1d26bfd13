// A whole run on a desktop of two monitors whose start ramps differ, with
// the ramp writes recorded: the preview goes to the monitor under the
// wizard, a move before any change takes that monitor's settings, the white
// point screen covers it, and Cancel gives each monitor its own start ramp.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>

#include "applet/run_applet.h"
#include "applet_seams.h"
#include "e2e/applet_run.h"
#include "e2e/window_driver.h"
#include "resources/resource.h"
#include "session/session_context.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace e2e;
using testing::CleanProductKeys;
using testing::FakeMonitor;
using testing::RampWrite;
using testing::ScopedFakeDesktop;
using testing::ScopedFakeDisplaySystem;
using testing::ScopedFakeSystem;

constexpr RECT kLeft = {0, 0, 1024, 768};
constexpr RECT kRight = {1024, 0, 2048, 768};

// A straight ramp that tops out at the given 8-bit level.
GammaRamp RampTo(int top) {
    GammaRamp ramp = {};
    for (int i = 0; i < kRampEntries; ++i) {
        ramp.entries[i] = static_cast<uint16_t>((i % kRampSize) * top / 255 * 256);
    }
    return ramp;
}

bool SameRamp(const GammaRamp& a, const GammaRamp& b) {
    return memcmp(a.entries, b.entries, sizeof a.entries) == 0;
}

TEST(TwoMonitorRun, PreviewFollowsTheWindowAndCancelPutsBackEachStartRamp) {
    CleanProductKeys clean;
    ScopedFakeSystem system;
    ScopedFakeDisplaySystem display;
    const GammaRamp leftStart = RampTo(250), rightStart = RampTo(200);
    display.state().scriptedReads = {{0, leftStart}, {1, rightStart}};
    // Two names that both open a device context on any X server; the monitors
    // are told apart by them.
    ScopedFakeDesktop desktop({{kLeft, "\\\\.\\DISPLAY1", true}, {kRight, "DISPLAY", false}}, 2);
    size_t writesBeforeMove = 0, writesAfterMove = 0, writesBeforeCancel = 0;
    int lookupsBeforeSlide = 0, lookupsAfterSlide = 0;
    bool placeHintShown = false;
    std::string descriptionAfterMove;
    RECT squares = {};

    // The writes are made on the applet's thread: counted there.
    auto writesSoFar = [&] {
        size_t count = 0;
        OnAppletThread([&] { count = display.state().writes.size(); });
        return count;
    };

    RunRecord run = RunWhileDriving(
        [] { return RunApplet(GetDesktopWindow(), GetModuleHandleA(nullptr)); },
        [&] {
            Wizard wizard = Wizard::WaitForIt();
            HWND page = wizard.WaitForPage(IDD_WELCOME);
            placeHintShown = IsShown(page, IDC_PLACE_ON_MONITOR);
            Click(page, IDC_CHOOSE_WIZARD);
            wizard.Next();
            page = wizard.WaitForPage(IDD_DESCRIPTION);
            // What the right monitor's own profile would have given it.
            OnAppletThread([&] {
                auto* session = static_cast<SessionContext*>(GetPropA(page, kSessionProperty));
                strcpy(session->monitors[1].description, "right monitor");
            });
            writesBeforeMove = writesSoFar();
            SetWindowPos(wizard.frame(), nullptr, kRight.left + 100, 100, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
            WaitUntil([&] { return Text(page, IDC_DESCRIPTION) == "right monitor"; },
                      "the right monitor's settings");
            descriptionAfterMove = Text(page, IDC_DESCRIPTION);
            writesAfterMove = writesSoFar();
            wizard.NextThrough({IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS});
            page = wizard.WaitForPage(IDD_GAMMA);
            OnAppletThread([&] { lookupsBeforeSlide = desktop.monitorFromWindowCalls(); });
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 150);
            OnAppletThread([&] { lookupsAfterSlide = desktop.monitorFromWindowCalls(); });
            wizard.Next();
            page = wizard.WaitForPage(IDD_HARDWARE_WHITE);
            Click(page, IDC_MEASURE);
            HWND instructions =
                WaitFor([] { return FindDialogWith(IDC_WIZARD_PICTURE); }, "the instructions");
            Post(instructions, WM_COMMAND, IDOK);
            HWND screen = WaitFor([] { return FindDialogWith(IDC_SQUARE_CENTRE); }, "squares");
            GetWindowRect(screen, &squares);
            PressKey(screen, VK_ESCAPE);
            WaitUntil([&] { return !IsWindow(instructions); }, "the instructions to close");
            Settle(page);  // the button's handler previews after the windows close
            writesBeforeCancel = writesSoFar();
            wizard.Cancel();
        });

    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(placeHintShown);
    EXPECT_EQ(descriptionAfterMove, "right monitor");
    EXPECT_TRUE(EqualRect(&squares, &kRight)) << "the squares cover the monitor under the wizard";
    const std::vector<RampWrite>& writes = display.state().writes;
    // Leaving the left monitor put both start ramps back.
    ASSERT_GE(writesAfterMove, writesBeforeMove + 2);
    EXPECT_TRUE(SameRamp(writes[writesBeforeMove].ramp, leftStart));
    EXPECT_TRUE(SameRamp(writes[writesBeforeMove + 1].ramp, rightStart));
    // The slider's preview went through the device of the monitor found under
    // the wizard, not through the wizard's own window.
    EXPECT_GT(lookupsAfterSlide, lookupsBeforeSlide);
    ASSERT_GT(writesBeforeCancel, writesAfterMove);
    EXPECT_EQ(writes[writesBeforeCancel - 1].window, nullptr);
    EXPECT_FALSE(SameRamp(writes[writesBeforeCancel - 1].ramp, rightStart));
    // Cancel: each monitor its own start ramp, in monitor order (every page
    // that was shown puts them back), and nothing else.
    ASSERT_GT(writes.size(), writesBeforeCancel);
    ASSERT_EQ((writes.size() - writesBeforeCancel) % 2, 0u);
    for (size_t i = writesBeforeCancel; i < writes.size(); i += 2) {
        EXPECT_TRUE(SameRamp(writes[i].ramp, leftStart)) << "write " << i;
        EXPECT_TRUE(SameRamp(writes[i + 1].ramp, rightStart)) << "write " << i + 1;
    }
    EXPECT_TRUE(system.state().messages.empty());
}

// Dialog 324 moved to the other monitor shows that monitor's settings.
TEST(TwoMonitorRun, PanelTakesTheSettingsOfTheMonitorItIsMovedTo) {
    CleanProductKeys clean;
    ScopedFakeSystem system;
    ScopedFakeDisplaySystem display;
    ScopedFakeDesktop desktop({{kLeft, "\\\\.\\DISPLAY1", true}, {kRight, "DISPLAY", false}}, 2);
    const DWORD panelMode = 2;
    testing::SetValue(HKEY_CURRENT_USER, "SOFTWARE\\Orvane\\Tonalis", "WizardOrPanel", REG_DWORD,
                      &panelMode, sizeof panelMode);

    RunRecord run = RunWhileDriving(
        [] { return RunApplet(GetDesktopWindow(), GetModuleHandleA(nullptr)); },
        [&] {
            HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
            OnAppletThread([&] {
                auto* session = static_cast<SessionContext*>(GetPropA(panel, kSessionProperty));
                strcpy(session->monitors[1].description, "right monitor");
            });
            SetWindowPos(panel, nullptr, kRight.left + 100, 100, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
            WaitUntil([&] { return Text(panel, IDC_DESCRIPTION) == "right monitor"; },
                      "the right monitor's settings");
            Click(panel, IDCANCEL);
        });

    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.closedByWatchdog);
}

}  // namespace
}  // namespace tonalis
