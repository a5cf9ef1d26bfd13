// The logon command under HKEY_CURRENT_USER's Run key, written by the applet
// after a save and by tonalis.exe apply --install-logon.
#include <windows.h>

#include <cstring>
#include <string>

#include "profile/logon_entry.h"
#include "session/messages.h"

namespace tonalis {

LogonSystemCalls g_logonSystemCalls = {RegSetValueExA};

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kValueName[] = "Tonalis";
constexpr DWORD kCommandSize = 2 * MAX_PATH + 64;

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
bool RundllPath(char* path, UINT size) {
    using Wow64Directory = UINT(WINAPI*)(LPSTR, UINT);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto wow64 = kernel != nullptr ? reinterpret_cast<Wow64Directory>(reinterpret_cast<void*>(
                                         GetProcAddress(kernel, "GetSystemWow64DirectoryA")))
                                   : nullptr;
    UINT length = wow64 != nullptr ? wow64(path, size) : 0;
    if (length == 0 || length >= size) {
        length = GetSystemDirectoryA(path, size);
    }
    return length > 0 && length < size;
}

// Tonalis wrote it: the loader of TNP.cpl or of tonalis.exe.
bool IsTonalisLoader(std::string command) {
    CharLowerBuffA(&command[0], static_cast<DWORD>(command.size()));
    return command.find("tnlloadcalibration") != std::string::npos ||
           command.find("tonalis.exe\" apply") != std::string::npos;
}

}  // namespace

bool WriteLogonCommand(const char* command) {
    {
        RunKey key(true, KEY_SET_VALUE);
        if (key.get() == nullptr ||
            g_logonSystemCalls.setValue(
                key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                static_cast<DWORD>(std::strlen(command) + 1)) != ERROR_SUCCESS) {
            return false;
        }
    }
    char stored[kCommandSize] = {};
    return ReadLogonCommand(stored, sizeof stored) && std::strcmp(stored, command) == 0;
}

LogonRemoval DeleteLogonCommand() {
    RunKey key(false, KEY_SET_VALUE);
    if (key.get() == nullptr) {
        return LogonRemoval::kAbsent;
    }
    const LONG deleted = RegDeleteValueA(key.get(), kValueName);
    if (deleted == ERROR_FILE_NOT_FOUND) {
        return LogonRemoval::kAbsent;
    }
    return deleted == ERROR_SUCCESS ? LogonRemoval::kRemoved : LogonRemoval::kFailed;
}

bool ReadLogonCommand(char* buffer, uint32_t size) {
    RunKey key(false, KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD length = size;
    return key.get() != nullptr && size > 0 &&
           RegQueryValueExA(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                            &length) == ERROR_SUCCESS &&
           type == REG_SZ && length > 0 && buffer[length - 1] == '\0';
}

bool InstallLogonLoader() {
    char rundll[MAX_PATH] = {};
    char library[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(ModuleInstance(), library, sizeof library);
    if (!RundllPath(rundll, sizeof rundll) || length == 0 || length >= sizeof library) {
        return false;
    }
    char command[kCommandSize] = {};
    wsprintfA(command, "\"%s\\rundll32.exe\" \"%s\",%s", rundll, library, kLogonLoaderEntry);
    return WriteLogonCommand(command);
}

bool RemoveLogonLoader() {
    char command[kCommandSize] = {};
    if (!ReadLogonCommand(command, sizeof command) || !IsTonalisLoader(command)) {
        return true;
    }
    return DeleteLogonCommand() != LogonRemoval::kFailed;
}

}  // namespace tonalis
