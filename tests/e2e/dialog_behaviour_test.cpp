// The dialogs as a hostile user meets them: a gamma typed wrong, Esc over it,
// the keyboard alone, file names the system cannot take or that are Chinese,
// and the wizard moved to another monitor.
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
        if (shown.caption == "Tonalis") {
            texts.push_back(shown.text);
        }
    }
    return texts;
}

// A name typed into the save dialog and Save pressed, the dialog left open.
void OfferName(const std::string& path) {
    HWND dialog = WaitFor(
        [] {
            auto windows = ProcessWindows();
            auto found = std::find_if(windows.begin(), windows.end(), IsFileDialog);
            return found != windows.end() ? *found : HWND(nullptr);
        },
        "the save dialog");
    Send(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Post(dialog, WM_COMMAND, IDOK);
}

bool MessageBoxOpen() {
    auto windows = ProcessWindows();
    return std::any_of(windows.begin(), windows.end(), IsMessageBox);
}

class DialogBehaviour : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(applet_.Send(CPL_INIT), 1); }
    void TearDown() override { applet_.Send(CPL_EXIT); }
    RunRecord Run(const std::function<void(Wizard)>& script) {
        RunRecord run = RunDoubleClick(applet_, [&] { script(Wizard::WaitForIt()); });
        EXPECT_EQ(run.failure, "");
        EXPECT_FALSE(run.closedByWatchdog);
        return run;
    }
    const char* setup_ = getenv("TONALIS_DISPLAY_SETUP");
    bool ramp_ = setup_ != nullptr && std::string(setup_).rfind("dummy", 0) == 0;
    CleanSystem clean_;
    AppletLibrary applet_;
    Ramp start_ = ScreenRamp();
};

// The keyboard reaches the version choice, Enter leaves the description and
// finishes page 313; a wrong gamma keeps the user on its page with one
// message and nothing of it applied, and Esc over it cancels for good.
TEST_F(DialogBehaviour, WrongGammaKeepsThePageAndCancelStands) {
    const std::string range = Ansi(u8"请输入介于 0.75 和 3.75 之间的数字。");
    Ramp slid = {}, refused = {}, valid = {};
    int pageAfterRefusal = 0;
    Run([&](Wizard wizard) {
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        WaitUntil([&] { return GetDlgCtrlID(FocusIn(page)) == IDC_CHOOSE_WIZARD; }, "focus");
        wizard.Next();
        page = wizard.WaitForPage(IDD_DESCRIPTION);
        PressKeyOnFocus(page, VK_RETURN);
        for (int id : {IDD_BRIGHTNESS, IDD_PHOSPHORS}) {
            wizard.WaitForPage(id);
            wizard.Next();
        }
        page = wizard.WaitForPage(IDD_GAMMA);
        HWND edit = Control(page, IDC_GAMMA_EDIT);
        if (ramp_) {
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 130);
            slid = ScreenRamp();
            Type(page, IDC_GAMMA_EDIT, "1");  // a valid start of a wrong value
            Type(page, IDC_GAMMA_EDIT, "1e308");
            wizard.Next();
            WaitUntil([] { return !TonalisMessages().empty() && !MessageBoxOpen(); }, "3414");
            pageAfterRefusal = wizard.PageId();
            refused = ScreenRamp();
            Type(page, IDC_GAMMA_EDIT, "0.75");
            wizard.Next();
            wizard.WaitForPage(IDD_HARDWARE_WHITE);
            valid = ScreenRamp();
        } else {
            wizard.Next();
            wizard.WaitForPage(IDD_HARDWARE_WHITE);
            wizard.Next();
            PressKeyOnFocus(wizard.WaitForPage(IDD_FINISH_PLAIN), VK_RETURN);
            CancelFileDialog();
            wizard.Back();
        }
        wizard.Back();
        wizard.WaitForPage(IDD_GAMMA);
        Send(wizard.frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        Type(page, IDC_GAMMA_EDIT, "a");
        PressKey(edit, VK_ESCAPE);
    });
    EXPECT_TRUE(ProcessWindows().empty());
    EXPECT_EQ(TonalisMessages(), std::vector<std::string>(ramp_ ? 1 : 0, range));
    if (ramp_) {
        EXPECT_EQ(pageAfterRefusal, IDD_GAMMA);
        EXPECT_EQ(RampDistance(refused, slid), 0) << "nothing of 1e308 applied";
        EXPECT_GT(RampDistance(valid, slid), 512) << "0.75 applied";
        EXPECT_LE(RampDistance(ScreenRamp(), start_), 512) << "Esc restored the start ramp";
    }
}

// Names that the system would change are refused in the save dialog; a
// Chinese name is kept, and installed and associated under that name in place
// of a file there only once the user agreed (the run answers Yes).
TEST_F(DialogBehaviour, SaveKeepsTheChosenNameOrRefusesIt) {
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const std::string name = Ansi(u8"tnl-e2e-中文.icc");
    const std::string chosen = std::string(kScratchFolder) + "\\" + name;
    std::ofstream(LibraryColorDirectory() + name) << "an earlier file";
    RunDoubleClick(applet_, [&] {
        Click(WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "324"), IDOK);
        for (const char* refused : {"\\tnl-e2e-dots...", "\\tnl-e2e-a\"b.icc"}) {
            const size_t shown = TonalisMessages().size();
            OfferName(std::string(kScratchFolder) + refused);
            WaitUntil([&] { return TonalisMessages().size() > shown && !MessageBoxOpen(); },
                      refused);
        }
        SaveAs(chosen);
    });
    const std::string refusal = Ansi(
        u8"档案名称不可包含 \\ / : * ? \" < > | 字符，也不可以句点或空格结尾，请输入其它名称。");
    const std::string replace = Ansi(u8"色彩目录中已有同名的描述档，要取代它吗？");
    EXPECT_EQ(TonalisMessages(), (std::vector<std::string>{refusal, refusal, replace}));
    EXPECT_TRUE(IccFile(ReadFileBytes(chosen)).IsProfile());
    EXPECT_EQ(ReadFileBytes(LibraryColorDirectory() + name), ReadFileBytes(chosen));
    EXPECT_EQ(AssociatedMonitorProfiles(true), std::vector<std::string>{name});
}

// The wizard moved on the welcome page stays on that monitor, which is the one
// measured; with "use as the default monitor profile" cleared the file is
// saved and nothing is installed, associated or remembered.
TEST_F(DialogBehaviour, TwoMonitorsWizardStaysWhereMovedAndDefaultBoxDecides) {
    const std::vector<RECT> monitors = MonitorRects();
    if (monitors.size() < 2 || !ramp_) {
        GTEST_SKIP() << "needs two monitors with a settable ramp";
    }
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-not-default.icc";
    RECT target = {}, onDescription = {}, squares = {};
    Run([&](Wizard wizard) {
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        const RECT start = MonitorRectOf(wizard.frame());
        target = monitors[EqualRect(&start, &monitors[0]) ? 1 : 0];
        SetWindowPos(wizard.frame(), nullptr, target.left + 40, target.top + 40, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        WaitUntil([&] { return MonitorRectOf(wizard.frame()).left == target.left; }, "moved");
        wizard.Next();
        wizard.WaitForPage(IDD_DESCRIPTION);
        onDescription = MonitorRectOf(wizard.frame());
        for (int id : {IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA}) {
            wizard.WaitForPage(id);
            wizard.Next();
        }
        Click(wizard.WaitForPage(IDD_HARDWARE_WHITE), IDC_MEASURE);
        HWND instructions = WaitFor([] { return FindDialogWith(IDC_WIZARD_PICTURE); }, "322");
        Click(instructions, IDOK);
        HWND screen = WaitFor([] { return FindDialogWith(IDC_SQUARE_CENTRE); }, "squares");
        GetWindowRect(screen, &squares);
        Click(screen, IDC_SQUARE_CENTRE);
        WaitUntil([&] { return !IsWindow(instructions); }, "the measurement to end");
        wizard.Next();
        wizard.WaitForPage(IDD_ADJUSTED_WHITE);
        wizard.Next();
        page = wizard.WaitForPage(IDD_FINISH_COMPARE);
        Click(page, IDC_DEFAULT_PROFILE);
        WaitUntil([&] { return !IsChecked(page, IDC_DEFAULT_PROFILE); }, "1185 cleared");
        wizard.Finish();
        SaveAs(saved);
    });
    EXPECT_TRUE(EqualRect(&onDescription, &target)) << "no jump back on Next";
    EXPECT_TRUE(EqualRect(&squares, &target)) << "the monitor under the wizard is measured";
    EXPECT_TRUE(IccFile(ReadFileBytes(saved)).IsProfile());
    EXPECT_EQ(AssociatedMonitorProfiles(), std::vector<std::string>{});
    EXPECT_FALSE(FileExists(LibraryColorDirectory() + "tnl-e2e-not-default.icc"));
    std::string path;
    for (const char* key : {"\\Monitor0", "\\Monitor1"}) {
        EXPECT_FALSE(QueryString(HKEY_LOCAL_MACHINE, (std::string(kMachineKey) + key).c_str(),
                                 "Monitor Profile", &path));
    }
}

}  // namespace
}  // namespace tonalis::e2e
