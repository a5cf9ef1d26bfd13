// The logon choice after a save: each monitor keeps its own under the one Run
// value, one without a choice yet shows the box ticked, and a Run key that refuses the loader is
// said once and leaves nothing half written.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "applet_seams.h"
#include "profile/logon_run_value.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "session/session_context.h"
#include "system_seams.h"
#include "ui/logon_choice.h"

namespace tonalis {
namespace {

LONG WINAPI RefuseValue(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) {
    return ERROR_ACCESS_DENIED;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class LogonChoice : public ::testing::Test {
  protected:
    LogonChoice() {
        DeleteLogonCommand();
        memset(session_.get(), 0, sizeof *session_);
        session_->workingSettings.hasGammaRamp = 1;
    }
    ~LogonChoice() override {
        DestroyWindow(panel_);
        DeleteLogonCommand();
    }

    // OK in dialog 324 on the monitor, with the box as given.
    void Save(int monitor, bool checked) {
        CheckDlgButton(panel_, IDC_LOAD_AT_LOGON, checked ? BST_CHECKED : BST_UNCHECKED);
        KeepLogonChoice(panel_, static_cast<uint32_t>(monitor), 2);
    }
    // The box as the dialog shows it on the monitor.
    bool Shown(int monitor) {
        session_->currentMonitor = monitor;
        ShowLogonChoice(panel_, session_.get());
        return IsDlgButtonChecked(panel_, IDC_LOAD_AT_LOGON) == BST_CHECKED;
    }
    bool RunValue() {
        wchar_t command[kLogonCommandSize] = {};
        return ReadLogonCommand(command, kLogonCommandSize);
    }

    testing::CleanProductKeys keys_;
    HWND panel_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PANEL),
                                     nullptr, QuietDialog, 0);
    std::unique_ptr<SessionContext> session_ = std::make_unique<SessionContext>();
};

TEST_F(LogonChoice, EachMonitorKeepsItsOwnUnderTheOneRunValue) {
    ASSERT_NE(panel_, nullptr);
    EXPECT_TRUE(Shown(0)) << "no choice yet: a first calibration comes back at logon";
    Save(0, true);
    Save(1, false);
    EXPECT_TRUE(RunValue()) << "clearing monitor 1 took monitor 0's loader away";
    EXPECT_TRUE(Shown(0));
    EXPECT_FALSE(Shown(1)) << "a box the user cleared stays cleared";
    EXPECT_TRUE(Shown(2));
    Save(0, false);
    EXPECT_FALSE(RunValue());
    EXPECT_FALSE(Shown(0));
}

// Under tonalis.exe apply every monitor loads at logon: clearing the box on
// the second hands the first, which has a profile, a choice of its own.
TEST_F(LogonChoice, ClearingOneMonitorUnderTheToolKeepsTheOtherLoaded) {
    for (const char* key : {"Monitor0", "Monitor1"}) {
        const std::string path = std::string("SOFTWARE\\Orvane\\Color\\Monitor\\") + key;
        testing::SetValue(HKEY_LOCAL_MACHINE, path.c_str(), "Monitor Profile", REG_SZ, "C:\\a.icc",
                          9);
    }
    ASSERT_TRUE(WriteLogonCommand(L"\"C:\\Tools\\tonalis.exe\" apply"));
    Save(1, false);
    EXPECT_TRUE(Shown(0));
    EXPECT_FALSE(Shown(1));
}

// A folder outside the ANSI code page, as Windows lets a user name one.
TEST_F(LogonChoice, TheRunValueNamesALibraryOutsideTheCodePageAsItIs) {
    wchar_t temp[MAX_PATH] = {}, beside[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetModuleFileNameW(nullptr, beside, MAX_PATH);
    std::wstring built = beside;
    built.replace(built.find_last_of(L'\\') + 1, std::wstring::npos, L"TNP.cpl");
    const std::wstring folder = std::wstring(temp) + L"\u0e17\u0e14\u0e2a\u0e2d\u0e1a";
    const std::wstring copy = folder + L"\\TNP.cpl";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(built.c_str(), copy.c_str(), FALSE));
    HMODULE library = LoadLibraryW(copy.c_str());
    ASSERT_NE(library, nullptr);
    const HINSTANCE own = ModuleInstance();
    SetModuleInstance(library);
    Save(0, true);
    SetModuleInstance(own);
    FreeLibrary(library);

    wchar_t command[kLogonCommandSize] = {};
    ASSERT_TRUE(ReadLogonCommand(command, kLogonCommandSize));
    // "...\rundll32.exe" "LIBRARY",TNLLoadCalibration
    const std::wstring text = command;
    const size_t start = text.find(L"\" \"") + 3;
    EXPECT_EQ(lstrcmpiW(text.substr(start, text.find(L'"', start) - start).c_str(), copy.c_str()),
              0);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(LogonChoice, ARefusedLoaderIsSaidOnce) {
    ASSERT_NE(panel_, nullptr);
    testing::ScopedFakeSystem messages;
    const LogonSystemCalls real = g_logonSystemCalls;
    g_logonSystemCalls.setValue = RefuseValue;
    Save(0, true);
    g_logonSystemCalls = real;

    ASSERT_EQ(messages.state().messages.size(), 1u);
    EXPECT_EQ(messages.state().messages[0].text,
              testing::LoadTestString(strings::kLogonChoiceFailed));
    EXPECT_FALSE(RunValue());
}

}  // namespace
}  // namespace tonalis
