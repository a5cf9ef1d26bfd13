// The applet's dialogs as a hostile user meets them: a gamma typed wrong, a
// Cancel pressed over it, the keyboard alone, the wizard moved to another
// monitor, and file names the system cannot take or that are Chinese.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "applet_library.h"
#include "applet_run.h"
#include "icc_file.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

bool SettableRampHere() {
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    return setup != nullptr && std::string(setup).rfind("dummy", 0) == 0;
}

// The window with the keyboard focus in the thread that owns window.
HWND FocusIn(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A key as the keyboard gives it: to the window with the focus, once there is one.
void PressKeyOnFocus(HWND window, UINT key) {
    PressKey(WaitFor([&] { return FocusIn(window); }, "a window with the focus"), key);
}

bool NoMessageBoxOpen() {
    for (HWND window : ProcessWindows()) {
        if (IsMessageBox(window)) {
            return false;
        }
    }
    return true;
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

HWND FileDialog() {
    return WaitFor(
        [] {
            for (HWND window : ProcessWindows()) {
                if (IsFileDialog(window)) {
                    return window;
                }
            }
            return HWND(nullptr);
        },
        "the file dialog");
}

// A name typed into the save dialog that it must refuse with the applet's
// message and stay open.
void ExpectNameRefused(const std::string& name) {
    HWND dialog = FileDialog();
    const size_t before = TonalisMessages().size();
    HWND field = GetDlgItem(dialog, kFileNameCombo);
    Send(field != nullptr ? field : Control(dialog, kFileNameEdit), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(name.c_str()));
    Post(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    WaitUntil([&] { return TonalisMessages().size() == before + 1; }, "refusal of " + name);
    WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, "the dialog back for " + name);
    EXPECT_TRUE(IsWindow(dialog)) << name;
}

class DialogBehaviour : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(applet_.module(), nullptr) << AppletPath();
        ASSERT_EQ(applet_.Send(CPL_INIT), 1);
        start_ = ScreenRamp();
    }
    void TearDown() override { applet_.Send(CPL_EXIT); }

    CleanSystem clean_;
    AppletLibrary applet_;
    Ramp start_;
};

// The keyboard reaches the version choice and leaves the description with
// Enter; a gamma is checked only when the user goes on, a wrong one keeps the
// user on the page with one message, only a whole valid value is applied,
// and Esc over a wrong value cancels for good.
TEST_F(DialogBehaviour, WrongGammaKeepsThePageAndCancelStands) {
    const bool ramp = SettableRampHere();
    const std::string rangeMessage = Ansi(u8"请输入介于 0.75 和 3.75 之间的数字。");
    Ramp slid = {}, afterRefusal = {}, afterValid = {};
    int pageAfterRefusal = 0;
    std::vector<std::string> messagesAtRefusal;

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        // Round the tab stops of the sheet and the page to a radio button.
        auto onRadio = [&](HWND focus) {
            return focus == GetDlgItem(page, IDC_CHOOSE_WIZARD) ||
                   focus == GetDlgItem(page, IDC_CHOOSE_PANEL);
        };
        for (int stop = 0; stop == 0 || (stop < 8 && !onRadio(FocusIn(page))); ++stop) {
            HWND before = WaitFor([&] { return FocusIn(page); }, "a window with the focus");
            PressKey(before, VK_TAB);
            WaitUntil([&] { return FocusIn(page) != before; }, "the focus to move on Tab");
        }
        EXPECT_TRUE(onRadio(FocusIn(page))) << "Tab reaches the version choice";
        Click(page, IDC_CHOOSE_WIZARD);
        wizard.Next();
        page = wizard.WaitForPage(IDD_DESCRIPTION);
        WaitUntil([&] { return FocusIn(page) == GetDlgItem(page, IDC_DESCRIPTION); },
                  "the focus in the description");
        PressKeyOnFocus(page, VK_RETURN);
        wizard.WaitForPage(IDD_BRIGHTNESS);
        wizard.Next();
        wizard.WaitForPage(IDD_PHOSPHORS);
        wizard.Next();

        page = wizard.WaitForPage(IDD_GAMMA);
        HWND edit = Control(page, IDC_GAMMA_EDIT);
        if (ramp) {
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 130);
            slid = ScreenRamp();
            Send(wizard.frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
            Type(page, IDC_GAMMA_EDIT, "1");  // a valid start of a wrong value
            Type(page, IDC_GAMMA_EDIT, "1e308");
            wizard.Next();
            WaitUntil([] { return !TonalisMessages().empty(); }, "the gamma message");
            // The page is asked only once the Next refused has been handled.
            WaitUntil(NoMessageBoxOpen, "the message answered");
            pageAfterRefusal = wizard.PageId();
            messagesAtRefusal = TonalisMessages();
            afterRefusal = ScreenRamp();

            Type(page, IDC_GAMMA_EDIT, "0.75");
            wizard.Next();
            wizard.WaitForPage(IDD_HARDWARE_WHITE);
            afterValid = ScreenRamp();
            wizard.Back();
        } else {
            // Enter on the plain finish page opens the save dialog.
            for (int id : {IDD_GAMMA, IDD_HARDWARE_WHITE}) {
                wizard.WaitForPage(id);
                wizard.Next();
            }
            PressKeyOnFocus(wizard.WaitForPage(IDD_FINISH_PLAIN), VK_RETURN);
            CancelFileDialog();
            wizard.Back();
            wizard.WaitForPage(IDD_HARDWARE_WHITE);
            wizard.Back();
        }
        wizard.WaitForPage(IDD_GAMMA);
        Send(wizard.frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        Type(page, IDC_GAMMA_EDIT, "a");
        PressKey(edit, VK_ESCAPE);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.closedByWatchdog);
    EXPECT_TRUE(ProcessWindows().empty());
    if (ramp) {
        EXPECT_EQ(pageAfterRefusal, IDD_GAMMA);
        EXPECT_EQ(messagesAtRefusal, std::vector<std::string>{rangeMessage});
        EXPECT_EQ(RampDistance(afterRefusal, slid), 0) << "nothing of 1e308 applied";
        EXPECT_GT(RampDistance(afterValid, slid), 512) << "0.75 applied";
        EXPECT_LE(RampDistance(ScreenRamp(), start_), 512) << "Esc restored the start ramp";
    }
    std::vector<std::string> expected;
    if (ramp) {
        expected.push_back(rangeMessage);
    }
    EXPECT_EQ(TonalisMessages(), expected) << "Esc over a wrong gamma asks nothing";
}

// Names that the file system would change are refused in the save dialog; a
// Chinese name is kept, installed and associated under that name, replacing
// a file there only when the user agrees. The open dialog's preview says
// nothing until a file is selected.
TEST_F(DialogBehaviour, SaveKeepsTheChosenNameOrRefusesIt) {
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const std::string name = Ansi(u8"tnl-e2e-中文.icc");
    const std::string chosen = std::string(kScratchFolder) + "\\" + name;
    // Another file of that name in the colour directory is replaced only when
    // the user agrees (the run answers Yes).
    std::ofstream(LibraryColorDirectory() + name, std::ios::binary) << "an earlier file";
    std::string preview = "unread";

    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        Click(panel, IDC_LOAD);
        HWND open = FileDialog();
        HWND hook =
            WaitFor([&] { return FindWindowExA(open, nullptr, "#32770", nullptr); }, "the preview");
        WaitUntil([&] { return Text(hook, IDC_OPEN_PREVIEW).empty(); }, "an empty preview");
        preview = Text(hook, IDC_OPEN_PREVIEW);
        CancelFileDialog();

        Type(panel, IDC_DESCRIPTION, "tnl e2e chinese");
        Click(panel, IDOK);
        ExpectNameRefused(std::string(kScratchFolder) + "\\tnl-e2e-dots...");
        ExpectNameRefused(std::string(kScratchFolder) + "\\tnl-e2e-a\"b.icc");
        SaveAs(chosen);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.closedByWatchdog);
    EXPECT_EQ(preview, "");
    const std::string refusal = Ansi(
        u8"档案名称不可包含 \\ / : * ? \" < > | 字符，也不可以句点或空格结尾，请输入其它名称。");
    const std::string replace = Ansi(u8"色彩目录中已有同名的描述档，要取代它吗？");
    EXPECT_EQ(TonalisMessages(), (std::vector<std::string>{refusal, refusal, replace}));
    EXPECT_EQ(IccFile(ReadFileBytes(chosen)).Description(), "tnl e2e chinese");
    EXPECT_EQ(ReadFileBytes(LibraryColorDirectory() + name), ReadFileBytes(chosen));
    EXPECT_EQ(AssociatedMonitorProfiles(true), std::vector<std::string>{name});
    std::string remembered;
    EXPECT_TRUE(QueryString(HKEY_LOCAL_MACHINE, (std::string(kMachineKey) + "\\Monitor0").c_str(),
                            "Monitor Profile", &remembered));
    EXPECT_EQ(_stricmp(remembered.c_str(), (LibraryColorDirectory() + name).c_str()), 0);
}

// The wizard moved on the welcome page stays on that monitor, which is the one
// calibrated; Enter finishes; with "use as the default monitor profile"
// cleared the file is saved and nothing is associated or remembered for it.
TEST_F(DialogBehaviour, TwoMonitorsWizardStaysWhereMovedAndDefaultBoxDecides) {
    const std::vector<RECT> monitors = MonitorRects();
    if (monitors.size() < 2) {
        GTEST_SKIP() << "needs a second monitor";
    }
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-not-default.icc";
    RECT target = {}, onDescription = {}, squares = {};

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        const RECT start = MonitorRectOf(wizard.frame());
        target = EqualRect(&start, &monitors[0]) ? monitors[1] : monitors[0];
        SetWindowPos(wizard.frame(), nullptr, target.left + 40, target.top + 40, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        WaitUntil(
            [&] {
                RECT now = MonitorRectOf(wizard.frame());
                return EqualRect(&target, &now) != FALSE;
            },
            "the wizard on the other monitor");
        Click(page, IDC_CHOOSE_WIZARD);
        wizard.Next();
        wizard.WaitForPage(IDD_DESCRIPTION);
        onDescription = MonitorRectOf(wizard.frame());
        for (int id : {IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA}) {
            wizard.WaitForPage(id);
            wizard.Next();
        }
        page = wizard.WaitForPage(IDD_HARDWARE_WHITE);
        Click(page, IDC_MEASURE);
        HWND instructions =
            WaitFor([] { return FindDialogWith(IDC_WIZARD_PICTURE); }, "the instructions");
        Post(instructions, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
             reinterpret_cast<LPARAM>(GetDlgItem(instructions, IDOK)));
        HWND screen = WaitFor([] { return FindDialogWith(IDC_SQUARE_CENTRE); }, "the squares");
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

    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.closedByWatchdog);
    EXPECT_TRUE(EqualRect(&onDescription, &target)) << "no jump back on Next";
    EXPECT_TRUE(EqualRect(&squares, &target)) << "the monitor under the wizard is measured";
    EXPECT_TRUE(IccFile(ReadFileBytes(saved)).IsProfile());
    EXPECT_EQ(AssociatedMonitorProfiles(), std::vector<std::string>{});
    EXPECT_FALSE(FileExists(LibraryColorDirectory() + "tnl-e2e-not-default.icc"));
    std::string path;
    for (const char* key : {"\\Monitor0", "\\Monitor1"}) {
        EXPECT_FALSE(QueryString(HKEY_LOCAL_MACHINE, (std::string(kMachineKey) + key).c_str(),
                                 "Monitor Profile", &path))
            << key << " " << path;
    }
}

}  // namespace
}  // namespace tonalis::e2e
