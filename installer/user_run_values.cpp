// The MSI's custom action that removes the per-user "Tonalis" Run values naming
// a file installed (TNP.cpl's keeper, tonalis.exe's) from every user's hive
// loaded now: the per-machine logon entry replaces them, and without the files
// they fail at every logon.
#include <cwchar>
#include <string>

#include "action_data.h"
#include "keeper/logon_rules.h"

namespace {

const wchar_t kRunKey[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Tonalis";

// A value of another copy, one that was never installed, stays.
void RemoveIfInstalledCopy(const std::wstring& hive, const std::wstring& folder) {
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_USERS, (hive + kRunKey).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &run) != ERROR_SUCCESS) {
        return;
    }
    wchar_t command[1024] = L"";
    DWORD bytes = sizeof command - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(run, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(command),
                         &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && tonalis::CommandNames(command, folder)) {
        RegDeleteValueW(run, kValueName);
    }
    RegCloseKey(run);
}

}  // namespace

// Never fails the installation: a value it cannot remove is no reason to stop.
extern "C" __declspec(dllexport) UINT __stdcall RemoveUserRunValues(MSIHANDLE install) {
    // The install folder, with its final backslash.
    const std::wstring folder = CustomActionData(install);
    if (folder.empty()) {
        return ERROR_SUCCESS;
    }
    wchar_t hive[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(HKEY_USERS, index, hive, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        RemoveIfInstalledCopy(hive, folder);
    }
    return ERROR_SUCCESS;
}
