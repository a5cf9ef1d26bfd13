// The dialogs as a hostile user meets them, on one monitor or two: the
// keyboard alone, a gamma typed wrong, file names the system cannot take or
// that are Chinese, the wizard moved to another monitor, and Esc.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "applet_run.h"
#include "icc_file.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

HWND FocusIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A key as the keyboard gives it: to the window with the focus.
void PressKeyOnFocus(HWND window, UINT key) {
    PressKey(WaitFor([&] { return FocusIn(window); }, "a focus"), key);
}

std::vector<std::string> TonalisMessages() {
    std::vector<std::string> texts;
    for (const ShownMessage& shown : MessagesSoFar()) {
        texts.insert(texts.end(), shown.caption == "Tonalis" ? 1 : 0, shown.text);
    }
    return texts;
}

// Waits for one more message of the applet, answered, over window.
void ExpectRefusal(HWND window, size_t before, const std::function<void()>& act) {
    act();
    WaitUntil([&] { return TonalisMessages().size() > before && IsWindowEnabled(window); },
              "a refusal");
}

TEST(DialogBehaviour, OnOneOrTwoMonitorsEachDialogBehaves) {
    CleanSystem clean;
    AppletLibrary applet;
    ASSERT_EQ(applet.Send(CPL_INIT), 1);
    const std::vector<RECT> monitors = MonitorRects();
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    const bool ramp = setup != nullptr && std::string(setup).rfind("dummy", 0) == 0;
    const bool two = monitors.size() > 1;
    const std::string name = Ansi(u8"tnl-e2e-中文.icc"), saved = "C:\\tnl-e2e\\" + name;
    std::ofstream(LibraryColorDirectory() + name) << "an earlier file";
    Ramp slid = {}, typed = {}, refused = {};
    int pageAfterRefusal = 0;
    RECT target = {}, afterNext = {};

    RunDoubleClick(applet, [&] {
        Wizard wizard = Wizard::WaitForIt();
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        WaitUntil([&] { return GetDlgCtrlID(FocusIn(page)) == IDC_CHOOSE_WIZARD; }, "focus");
        const RECT first = MonitorRectOf(wizard.frame());
        target = monitors[EqualRect(&first, &monitors[0]) ? monitors.size() - 1 : 0];
        SetWindowPos(wizard.frame(), nullptr, target.left + 40, target.top + 40, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        WaitUntil([&] { return MonitorRectOf(wizard.frame()).left == target.left; }, "moved");
        wizard.Next();
        PressKeyOnFocus(wizard.WaitForPage(IDD_DESCRIPTION), VK_RETURN);
        wizard.WaitForPage(IDD_BRIGHTNESS);
        afterNext = MonitorRectOf(wizard.frame());
        wizard.Next();
        wizard.WaitForPage(IDD_PHOSPHORS);
        wizard.Next();
        page = wizard.WaitForPage(IDD_GAMMA);
        if (ramp) {
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 130);
            slid = ScreenRamp();
            Type(page, IDC_GAMMA_EDIT, "1");  // a valid start of a wrong value, shown at once
            typed = ScreenRamp();
            Type(page, IDC_GAMMA_EDIT, "1e308");
            ExpectRefusal(wizard.frame(), 0, [&] { wizard.Next(); });
            pageAfterRefusal = wizard.PageId();
            refused = ScreenRamp();
            Type(page, IDC_GAMMA_EDIT, "0.75");
        }
        for (int id : {IDD_GAMMA, IDD_HARDWARE_WHITE, IDD_ADJUSTED_WHITE}) {
            if (ramp || id != IDD_ADJUSTED_WHITE) {
                wizard.WaitForPage(id);
                wizard.Next();
            }
        }
        page = wizard.WaitForPage(ramp ? IDD_FINISH_COMPARE : IDD_FINISH_PLAIN);
        if (two) {
            Click(page, IDC_DEFAULT_PROFILE);
            WaitUntil([&] { return !IsChecked(page, IDC_DEFAULT_PROFILE); }, "1185 cleared");
        }
        PressKeyOnFocus(page, VK_RETURN);
        HWND dialog = WaitForFileDialog();
        for (const char* unusable : {"C:\\tnl-e2e\\dots...", "C:\\tnl-e2e\\a\"b.icc"}) {
            ExpectRefusal(dialog, TonalisMessages().size(), [&] {
                Send(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(unusable));
                Post(dialog, WM_COMMAND, IDOK);
            });
        }
        SaveAs(saved);
    });

    const std::string range = Ansi(u8"请输入介于 0.75 和 3.75 之间的数字。");
    const std::string unusable = Ansi(
        u8"档案名称不可包含 \\ / : * ? \" < > | 字符，也不可以句点或空格结尾，请输入其它名称。");
    std::vector<std::string> expected(ramp ? 1 : 0, range);
    expected.insert(expected.end(), {unusable, unusable});
    expected.insert(expected.end(), two ? 0 : 1,
                    Ansi(u8"色彩目录中已有同名的描述档，要取代它吗？"));
    EXPECT_EQ(TonalisMessages(), expected);
    EXPECT_TRUE(EqualRect(&afterNext, &target)) << "the wizard stays where it was put";
    DWORD calibrated = 9;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "LastCalibratedMonitor", &calibrated));
    EXPECT_EQ(calibrated, EqualRect(&target, &monitors[0]) ? 0u : monitors.size() - 1);
    if (ramp) {
        EXPECT_EQ(pageAfterRefusal, IDD_GAMMA);
        EXPECT_GT(RampDistance(typed, slid), 512) << "1 as it was typed";
        EXPECT_EQ(RampDistance(refused, typed), 0) << "nothing of 1e308 applied";
    }
    // Cleared, 1185 keeps the file out of the colour directory and the registry.
    EXPECT_TRUE(IccFile(ReadFileBytes(saved)).IsProfile());
    EXPECT_EQ(ReadFileBytes(LibraryColorDirectory() + name) == ReadFileBytes(saved), !two);
    EXPECT_EQ(AssociatedMonitorProfiles(true), std::vector<std::string>(two ? 0 : 1, name));
    DWORD primary = 0;
    EXPECT_EQ(QueryDword(HKEY_LOCAL_MACHINE, kMachineKey, "Primary Monitor", &primary), !two);

    // Esc over a wrong gamma asks nothing and leaves the start ramp.
    const Ramp start = ScreenRamp();
    RunRecord run = RunDoubleClick(applet, [&] {
        Wizard wizard = Wizard::WaitForIt();
        wizard.NextThrough({IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS});
        HWND page = wizard.WaitForPage(IDD_GAMMA);
        Slide(page, IDC_GAMMA_SLIDER_CENTRE, 150);
        Send(wizard.frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(page, IDC_GAMMA_EDIT)),
             TRUE);
        Type(page, IDC_GAMMA_EDIT, "a");
        PressKey(Control(page, IDC_GAMMA_EDIT), VK_ESCAPE);
    });
    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(run.messages.empty());
    EXPECT_LE(RampDistance(ScreenRamp(), start), 512);
    applet.Send(CPL_EXIT);
}

// A fresh prefix's monitor starts from the system's sRGB profile: Next through
// the wizard, then Enter in the save dialog, must leave that file as it was.
TEST(DialogBehaviour, EnterThroughTheWizardKeepsTheSystemsProfile) {
    CleanSystem clean;
    const std::string system = ScreenProfile();
    ASSERT_FALSE(system.empty()) << "the prefix gives the screen its sRGB profile";
    const std::string before = ReadFileBytes(system);
    AppletLibrary applet;
    ASSERT_EQ(applet.Send(CPL_INIT), 1);
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    const bool ramp = setup != nullptr && std::string(setup).rfind("dummy", 0) == 0;
    std::string offered;
    RunRecord run = RunDoubleClick(applet, [&] {
        Wizard wizard = Wizard::WaitForIt();
        wizard.NextThrough({IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA,
                            IDD_HARDWARE_WHITE});
        if (ramp) {
            wizard.NextThrough({IDD_ADJUSTED_WHITE});
        }
        PressKeyOnFocus(wizard.WaitForPage(ramp ? IDD_FINISH_COMPARE : IDD_FINISH_PLAIN),
                        VK_RETURN);
        HWND dialog = WaitForFileDialog();
        offered = Text(GetDlgItem(dialog, 0x47C));
        PressKeyOnFocus(dialog, VK_RETURN);
        WaitUntil([&] { return !IsWindow(dialog); }, "the file dialog to close");
    });
    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(ReadFileBytes(system) == before) << "replaced after offering " << offered;
    EXPECT_NE(lstrcmpiA(offered.c_str(), system.substr(system.rfind('\\') + 1).c_str()), 0);
    EXPECT_EQ(IccFile(ReadFileBytes(LibraryColorDirectory() + offered)).Header(80), "ORVN");
    applet.Send(CPL_EXIT);
}

}  // namespace
}  // namespace tonalis::e2e
