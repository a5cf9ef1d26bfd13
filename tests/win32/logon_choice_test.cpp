// A Run key that refuses the logon loader: the user is told once, and nothing
// is left half written.
#include <windows.h>

#include <gtest/gtest.h>

#include "applet_seams.h"
#include "profile/logon_entry.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "ui/logon_choice.h"

namespace tonalis {
namespace {

LONG WINAPI RefuseValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) {
    return ERROR_ACCESS_DENIED;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(LogonChoice, ARefusedLoaderIsSaidOnce) {
    DeleteLogonCommand();
    HWND panel = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PANEL), nullptr,
                                    QuietDialog, 0);
    ASSERT_NE(panel, nullptr);
    CheckDlgButton(panel, IDC_LOAD_AT_LOGON, BST_CHECKED);
    testing::ScopedFakeSystem messages;
    const LogonSystemCalls real = g_logonSystemCalls;
    g_logonSystemCalls.setValue = RefuseValue;
    KeepLogonChoice(panel);
    g_logonSystemCalls = real;
    DestroyWindow(panel);

    ASSERT_EQ(messages.state().messages.size(), 1u);
    EXPECT_EQ(messages.state().messages[0].text,
              testing::LoadTestString(strings::kLogonChoiceFailed));
    char command[MAX_PATH] = {};
    EXPECT_FALSE(ReadLogonCommand(command, sizeof command)) << command;
}

}  // namespace
}  // namespace tonalis
