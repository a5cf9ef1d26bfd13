// The logon command under HKEY_CURRENT_USER's Run key, written by the applet
// after a save and by tonalis.exe apply --install-logon: the keeper, or
// the one-shot loader.
#include <windows.h>

#include <cwchar>
#include <string>

#include "profile/logon_entry.h"
#include "session/messages.h"

namespace tonalis {

LogonSystemCalls g_logonSystemCalls = {RegSetValueExW};

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Tonalis";

class RunKey {
  public:
    RunKey(bool create, REGSAM access) {
        const LONG opened = create ? RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0,
                                                     access, nullptr, &key_, nullptr)
                                   : RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, access, &key_);
        if (opened != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RunKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// On 64-bit Windows the logon runs the 64-bit rundll32.exe, which cannot load
// a 32-bit library; the one in the 32-bit system folder can.
bool RundllPath(wchar_t* path, UINT size) {
    using Wow64Directory = UINT(WINAPI*)(LPWSTR, UINT);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto wow64 = kernel != nullptr ? reinterpret_cast<Wow64Directory>(reinterpret_cast<void*>(
                                         GetProcAddress(kernel, "GetSystemWow64DirectoryW")))
                                   : nullptr;
    UINT length = wow64 != nullptr ? wow64(path, size) : 0;
    if (length == 0 || length >= size) {
        length = GetSystemDirectoryW(path, size);
    }
    return length > 0 && length < size;
}

bool Contains(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

}  // namespace

bool WriteLogonCommand(const wchar_t* command) {
    {
        RunKey key(true, KEY_SET_VALUE);
        const DWORD bytes = static_cast<DWORD>((std::wcslen(command) + 1) * sizeof(wchar_t));
        if (key.get() == nullptr ||
            g_logonSystemCalls.setValue(key.get(), kValueName, 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(command),
                                        bytes) != ERROR_SUCCESS) {
            return false;
        }
    }
    wchar_t stored[kLogonCommandSize] = {};
    return ReadLogonCommand(stored, kLogonCommandSize) && std::wcscmp(stored, command) == 0;
}

LogonRemoval DeleteLogonCommand() {
    RunKey key(false, KEY_SET_VALUE);
    if (key.get() == nullptr) {
        return LogonRemoval::kAbsent;
    }
    const LONG deleted = RegDeleteValueW(key.get(), kValueName);
    if (deleted == ERROR_FILE_NOT_FOUND) {
        return LogonRemoval::kAbsent;
    }
    return deleted == ERROR_SUCCESS ? LogonRemoval::kRemoved : LogonRemoval::kFailed;
}

bool ReadLogonCommand(wchar_t* buffer, uint32_t size) {
    RunKey key(false, KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD bytes = size * sizeof(wchar_t);
    if (key.get() == nullptr || size == 0 ||
        RegQueryValueExW(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    const DWORD length = bytes / sizeof(wchar_t);
    return length > 0 && buffer[length - 1] == L'\0';
}

namespace {

// The loader the user's own Run value names.
InstalledLoader UserLoader() {
    wchar_t command[kLogonCommandSize] = {};
    if (!ReadLogonCommand(command, kLogonCommandSize)) {
        return InstalledLoader::kNone;
    }
    std::wstring lower = command;
    CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    if (Contains(lower, L"tnlloadcalibration") ||
        (Contains(lower, L"tnlkeepcalibration") && Contains(lower, L" --logon"))) {
        return InstalledLoader::kApplet;
    }
    if (Contains(lower, L"tnlkeepcalibration")) {
        return InstalledLoader::kTool;
    }
    return Contains(lower, L"tonalis.exe\" keep") || Contains(lower, L"tonalis.exe\" apply")
               ? InstalledLoader::kTool
               : InstalledLoader::kNone;
}

std::wstring Lowered(std::wstring text) {
    if (!text.empty()) {
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    }
    return text;
}

}  // namespace

bool LibraryBeside(HMODULE module, wchar_t* path) {
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    wchar_t* slash = length > 0 && length < MAX_PATH ? std::wcsrchr(path, L'\\') : nullptr;
    if (slash == nullptr || (slash - path) + 8 >= MAX_PATH) {
        return false;
    }
    std::wcscpy(slash + 1, L"TNP.cpl");
    return true;
}

bool KeeperCommand(const wchar_t* library, bool logonChoice, wchar_t* command) {
    wchar_t rundll[MAX_PATH] = {};
    if (!RundllPath(rundll, MAX_PATH)) {
        return false;
    }
    wsprintfW(command, L"\"%s\\rundll32.exe\" \"%s\",%hs%s", rundll, library, kLogonKeeperEntry,
              logonChoice ? L" --logon" : L"");
    return true;
}

bool InstalledForEveryUser(HMODULE module) {
    wchar_t library[MAX_PATH] = {};
    if (!LibraryBeside(module, library)) {
        return false;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t command[kLogonCommandSize] = {};
    DWORD type = 0;
    DWORD bytes = sizeof command - sizeof(wchar_t);
    const LONG read =
        RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(command), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    const std::wstring entry = Lowered(command);
    return Contains(entry, Lowered(library).c_str()) && Contains(entry, L"tnlkeepcalibration");
}

InstalledLoader FindInstalledLoader() {
    const InstalledLoader user = UserLoader();
    return user == InstalledLoader::kNone && InstalledForEveryUser(ModuleInstance())
               ? InstalledLoader::kApplet
               : user;
}

bool InstallLogonLoader() {
    if (InstalledForEveryUser(ModuleInstance())) {
        return UserLoader() != InstalledLoader::kApplet ||
               DeleteLogonCommand() != LogonRemoval::kFailed;
    }
    wchar_t library[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(ModuleInstance(), library, MAX_PATH);
    wchar_t command[kLogonCommandSize] = {};
    return length > 0 && length < MAX_PATH && KeeperCommand(library, true, command) &&
           WriteLogonCommand(command);
}

bool RemoveLogonLoader() {
    if (UserLoader() == InstalledLoader::kNone) {
        return true;
    }
    return DeleteLogonCommand() != LogonRemoval::kFailed;
}

}  // namespace tonalis
