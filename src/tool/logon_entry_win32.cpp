// The logon entry on Windows: the value "Tonalis" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
#include <windows.h>

#include "tool/logon_entry.h"
#include "tool/text_format.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kValueName[] = "Tonalis";

class RunKey {
  public:
    explicit RunKey(bool create) {
        const LONG opened =
            create ? RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key_);
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

std::string InstallLogonEntry() {
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) {
        throw ToolError(kExitFailure, "cannot find the full path of this program");
    }
    const std::string command = Format("\"%s\" apply", program);
    RunKey key(true);
    if (key.get() == nullptr ||
        RegSetValueExA(key.get(), kValueName, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1)) != ERROR_SUCCESS) {
        throw ToolError(kExitFailure, "cannot write the logon entry under HKEY_CURRENT_USER\\" +
                                          std::string(kRunKey));
    }
    return command;
}

bool RemoveLogonEntry() {
    RunKey key(false);
    if (key.get() == nullptr) {
        return false;
    }
    const LONG deleted = RegDeleteValueA(key.get(), kValueName);
    if (deleted == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (deleted != ERROR_SUCCESS) {
        throw ToolError(kExitFailure, "cannot delete the logon entry");
    }
    return true;
}

}  // namespace tonalis::tool
