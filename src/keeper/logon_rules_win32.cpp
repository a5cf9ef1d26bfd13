// The logon rules: which loader a copy of Tonalis starts at logon, where its
// entry lives (the user's Run value, or for an installed copy the per-machine
// entry and each monitor's choice), and when the user's value is written or
// removed, for the applet's logon box and tonalis.exe apply --install-logon
// and --remove-logon.
#include <windows.h>

#include <cwchar>
#include <string>

#include "display/kept_calibration.h"
#include "keeper/logon_rules.h"
#include "model/tool_error.h"
#include "model/wide_path_win32.h"
#include "profile/logon_monitors.h"
#include "profile/logon_run_value.h"
#include "session/messages.h"

namespace tonalis {

namespace {

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

bool LogonKeeperCommand(const wchar_t* library, bool logonChoice, wchar_t* command) {
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLogonRunKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t command[kLogonCommandSize] = {};
    DWORD type = 0;
    DWORD bytes = sizeof command - sizeof(wchar_t);
    const LONG read = RegQueryValueExW(key, kLogonValueName, nullptr, &type,
                                       reinterpret_cast<BYTE*>(command), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    return CommandNames(command, library) && CommandNames(command, L"tnlkeepcalibration");
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
    return length > 0 && length < MAX_PATH && LogonKeeperCommand(library, true, command) &&
           WriteLogonCommand(command);
}

bool RemoveLogonLoader() {
    if (UserLoader() == InstalledLoader::kNone) {
        return true;
    }
    return DeleteLogonCommand() != LogonRemoval::kFailed;
}

namespace {

// The installed keeper takes the monitors whose choice asks for it: every
// monitor there is now, as this program's own keeper would.
void ChooseEveryMonitor(bool wanted) {
    DisplayDeviceName devices[kMostKeptMonitors];
    const int count = wanted ? FindDisplayDevices(devices, kMostKeptMonitors) : kMostKeptMonitors;
    for (int monitor = 0; monitor < count; ++monitor) {
        if (!SetLogonLoad(static_cast<uint32_t>(monitor), wanted)) {
            throw ToolError(kExitFailure,
                            "cannot write the logon choice under "
                            "HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Tonalis");
        }
    }
}

}  // namespace

std::string InstallEveryMonitorLoader(bool once) {
    if (!once && InstalledForEveryUser(nullptr)) {
        ChooseEveryMonitor(true);
        if (DeleteLogonCommand() == LogonRemoval::kFailed) {
            throw ToolError(kExitFailure, "cannot delete the earlier logon entry");
        }
        return "the installed keeper, for every monitor (the per-machine entry)";
    }
    wchar_t command[kLogonCommandSize] = {};
    if (once) {
        wchar_t program[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            throw ToolError(kExitFailure, "cannot find the full path of this program");
        }
        wsprintfW(command, L"\"%s\" apply", program);
    } else {
        // A console program would open a window at every logon, which closing
        // would end: the keeper runs from the TNP.cpl beside this program.
        wchar_t library[MAX_PATH] = {};
        if (!LibraryBeside(nullptr, library) ||
            GetFileAttributesW(library) == INVALID_FILE_ATTRIBUTES) {
            throw ToolError(kExitFailure,
                            "TNP.cpl is not beside this program: the keeper at logon runs from it");
        }
        if (!LogonKeeperCommand(library, false, command)) {
            throw ToolError(kExitFailure, "cannot find the system folder's rundll32.exe");
        }
    }
    if (!WriteLogonCommand(command)) {
        throw ToolError(kExitFailure,
                        "cannot write the logon entry under "
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                        "CurrentVersion\\Run");
    }
    // Printed as all the tool's text is, in UTF-8: a path outside the code
    // page shows whole.
    char shown[4 * kLogonCommandSize];
    NarrowPath(command, shown, sizeof shown);
    return shown;
}

bool RemoveEveryMonitorLoader() {
    if (InstalledForEveryUser(nullptr)) {
        const bool chosen = AnyMonitorWantsLogonLoad();
        ChooseEveryMonitor(false);
        if (chosen) {
            DeleteLogonCommand();
            return true;
        }
    }
    switch (DeleteLogonCommand()) {
        case LogonRemoval::kRemoved:
            return true;
        case LogonRemoval::kAbsent:
            return false;
        default:
            throw ToolError(kExitFailure, "cannot delete the logon entry");
    }
}

}  // namespace tonalis
