// The per-user logon command under HKEY_CURRENT_USER's Run key, kept in
// UTF-16: written, read back and deleted.
#include <windows.h>

#include <cwchar>

#include "profile/logon_run_value.h"

namespace tonalis {

LogonSystemCalls g_logonSystemCalls = {RegSetValueExW};

namespace {

class RunKey {
  public:
    RunKey(bool create, REGSAM access) {
        const LONG opened = create
                                ? RegCreateKeyExA(HKEY_CURRENT_USER, kLogonRunKey, 0, nullptr, 0,
                                                  access, nullptr, &key_, nullptr)
                                : RegOpenKeyExA(HKEY_CURRENT_USER, kLogonRunKey, 0, access, &key_);
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

}  // namespace

bool WriteLogonCommand(const wchar_t* command) {
    {
        RunKey key(true, KEY_SET_VALUE);
        const DWORD bytes = static_cast<DWORD>((std::wcslen(command) + 1) * sizeof(wchar_t));
        if (key.get() == nullptr ||
            g_logonSystemCalls.setValue(key.get(), kLogonValueName, 0, REG_SZ,
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
    const LONG deleted = RegDeleteValueW(key.get(), kLogonValueName);
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
        RegQueryValueExW(key.get(), kLogonValueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    const DWORD length = bytes / sizeof(wchar_t);
    return length > 0 && buffer[length - 1] == L'\0';
}

}  // namespace tonalis
