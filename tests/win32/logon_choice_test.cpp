// The logon loader's Run value: it names a library outside the ANSI code page
// as it is, and a Run key that refuses it is said once, with nothing left
// half written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "applet_seams.h"
#include "profile/logon_entry.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/logon_choice.h"

namespace tonalis {
namespace {

LONG WINAPI RefuseValue(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) {
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
    wchar_t command[kLogonCommandSize] = {};
    EXPECT_FALSE(ReadLogonCommand(command, kLogonCommandSize));
}

// A folder outside the ANSI code page, as Windows lets a user name one.
TEST(LogonChoice, TheRunValueNamesALibraryOutsideTheCodePageAsItIs) {
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
    const bool installed = InstallLogonLoader();
    SetModuleInstance(own);
    FreeLibrary(library);

    wchar_t command[kLogonCommandSize] = {};
    EXPECT_TRUE(installed);
    ASSERT_TRUE(ReadLogonCommand(command, kLogonCommandSize));
    DeleteLogonCommand();
    // "...\rundll32.exe" "LIBRARY",TNLLoadCalibration
    const std::wstring text = command;
    const size_t start = text.find(L"\" \"") + 3;
    EXPECT_EQ(lstrcmpiW(text.substr(start, text.find(L'"', start) - start).c_str(), copy.c_str()),
              0);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace tonalis
