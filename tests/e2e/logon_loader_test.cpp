// The check box "每次登录时载入此校正": it shows whether the monitor's
// calibration is loaded at logon now; after a save with it checked, the
// user's Run key holds the command that starts the applet's own keeper, and
// that command run as Windows runs it brings the saved table back into the
// display;
// a save with it cleared takes the value away.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <string>

#include "applet_library.h"
#include "applet_run.h"
#include "icc_file.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

constexpr char kEarlierLoader[] =
    "\"C:\\windows\\system32\\rundll32.exe\" \"C:\\old\\TNP.cpl\",TNLLoadCalibration";
// The X server keeps fewer bits of a ramp than Windows gives it.
constexpr int kServerRampError = 512;

bool SettableRamp() {
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    return setup != nullptr && std::string(setup).rfind("dummy", 0) == 0;
}

bool RunValue(std::string* command) {
    return QueryString(HKEY_CURRENT_USER, kRunKey, "Tonalis", command);
}

std::string Lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The command as Windows runs it at logon, which starts the keeper: true once
// the display holds the table, and the keeper, closed then, has ended.
bool StartsKeeperThatLoads(std::string command, const Ramp& table) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    bool loaded = false;
    for (DWORD waited = 0; !loaded && waited < 30000; waited += 50) {
        loaded = FindWindowW(L"TonalisKeeper", nullptr) != nullptr &&
                 RampDistance(ScreenRamp(), table) <= kServerRampError;
        if (!loaded) {
            Sleep(50);
        }
    }
    PostMessageW(FindWindowW(L"TonalisKeeper", nullptr), WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return loaded && ended;
}

class LogonLoader : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(applet_.Send(CPL_INIT), 1); }
    void TearDown() override { applet_.Send(CPL_EXIT); }

    CleanSystem clean_;
    AppletLibrary applet_;
};

// A new user walking the wizard with its defaults.
TEST_F(LogonLoader, FinishInstallsTheLoaderThatBringsTheSavedTableBack) {
    const bool ramp = SettableRamp();
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-logon.icc";
    bool shown = false, checked = false;
    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        wizard.NextThrough(
            {IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA});
        // A table far from the identity: 6500 K on a 9300 K monitor.
        Choose(wizard.WaitForPage(IDD_HARDWARE_WHITE), IDC_HARDWARE_WHITE_LIST, 4);
        wizard.Next();
        if (ramp) {
            Choose(wizard.WaitForPage(IDD_ADJUSTED_WHITE), IDC_ADJUSTED_WHITE_LIST, 3);
            wizard.Next();
        }
        HWND page = wizard.WaitForPage(ramp ? IDD_FINISH_COMPARE : IDD_FINISH_PLAIN);
        shown = GetDlgItem(page, IDC_LOAD_AT_LOGON) != nullptr && IsShown(page, IDC_LOAD_AT_LOGON);
        checked = shown && IsChecked(page, IDC_LOAD_AT_LOGON);
        wizard.Finish();
        SaveAs(saved);
    });
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(shown, ramp);
    std::string command;
    ASSERT_EQ(RunValue(&command), ramp) << command;
    if (!ramp) {
        return;
    }
    EXPECT_TRUE(checked) << "a first calibration does not come back at logon";
    EXPECT_NE(Lower(command).find(Lower(AppletPath())), std::string::npos) << command;

    Ramp identity;
    for (int i = 0; i < 768; ++i) {
        identity.entries[i] = static_cast<WORD>((i % 256) * 257);
    }
    LoadScreenRamp(identity);
    const std::vector<WORD> vcgt = IccFile(ReadFileBytes(saved)).Vcgt();
    ASSERT_EQ(vcgt.size(), 768u);
    Ramp table;
    std::copy(vcgt.begin(), vcgt.end(), table.entries);
    ASSERT_GT(RampDistance(ScreenRamp(), table), kServerRampError) << "the identity is loaded";
    EXPECT_TRUE(StartsKeeperThatLoads(command, table)) << command;
}

TEST_F(LogonLoader, PanelSaveWithTheBoxClearedRemovesTheLoader) {
    const bool ramp = SettableRamp();
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Tonalis", 0, REG_SZ, reinterpret_cast<const BYTE*>(kEarlierLoader),
                   sizeof kEarlierLoader);
    RegCloseKey(key);
    SetDword(HKEY_CURRENT_USER, kUserKey, "LoadAtLogon0", 1);
    bool shown = false, checked = false;
    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        shown = IsShown(panel, IDC_LOAD_AT_LOGON);
        checked = IsChecked(panel, IDC_LOAD_AT_LOGON);
        if (shown) {
            Click(panel, IDC_LOAD_AT_LOGON);
            WaitUntil([&] { return !IsChecked(panel, IDC_LOAD_AT_LOGON); }, "the box cleared");
        }
        Click(panel, IDOK);
        SaveAs(std::string(kScratchFolder) + "\\tnl-e2e-logon-panel.icc");
    });
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(shown, ramp);
    EXPECT_TRUE(checked) << "monitor 0 is loaded at logon";
    // Without a table to load the setting stays as it was.
    std::string command;
    EXPECT_EQ(RunValue(&command), !ramp) << command;
}

// With 1185 cleared the saved profile is not registered, so the box cannot
// promise to load it at logon.
TEST_F(LogonLoader, TwoMonitorsUnregisteredSaveInstallsNoLoader) {
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    if (setup == nullptr || std::string(setup) != "dummy-right") {
        GTEST_SKIP() << "needs two monitors with a settable table (dummy-right)";
    }
    bool enabled = true, checked = true;
    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        wizard.NextThrough({IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA,
                            IDD_HARDWARE_WHITE, IDD_ADJUSTED_WHITE});
        HWND page = wizard.WaitForPage(IDD_FINISH_COMPARE);
        Click(page, IDC_DEFAULT_PROFILE);
        WaitUntil([&] { return !IsChecked(page, IDC_DEFAULT_PROFILE); }, "1185 cleared");
        enabled = IsWindowEnabled(GetDlgItem(page, IDC_LOAD_AT_LOGON)) != FALSE;
        checked = IsChecked(page, IDC_LOAD_AT_LOGON);
        wizard.Finish();
        SaveAs(std::string(kScratchFolder) + "\\tnl-e2e-logon-unregistered.icc");
    });
    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(checked);
    std::string command;
    EXPECT_FALSE(RunValue(&command)) << command;
}

}  // namespace
}  // namespace tonalis::e2e
