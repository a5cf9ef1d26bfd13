// The logon entry on Windows: the value "Tonalis" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, the one the
// applet writes for its own keeper.
#include <windows.h>

#include "keeper/keeper_link.h"
#include "profile/logon_entry.h"
#include "tool/logon_entry.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

namespace {

// For the console only: the command itself stays in UTF-16.
std::string AnsiText(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], size, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    return ansi;
}

}  // namespace

std::string InstallLogonEntry(bool once) {
    wchar_t program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw ToolError(kExitFailure, "cannot find the full path of this program");
    }
    wchar_t command[kLogonCommandSize] = {};
    wsprintfW(command, once ? L"\"%s\" apply" : L"\"%s\" keep", program);
    if (!WriteLogonCommand(command)) {
        throw ToolError(kExitFailure,
                        "cannot write the logon entry under "
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                        "CurrentVersion\\Run");
    }
    return AnsiText(command);
}

bool RemoveLogonEntry() {
    switch (DeleteLogonCommand()) {
        case LogonRemoval::kRemoved:
            return true;
        case LogonRemoval::kAbsent:
            return false;
        default:
            throw ToolError(kExitFailure, "cannot delete the logon entry");
    }
}

bool StopSessionKeeper() {
    switch (StopKeeper(5000)) {
        case KeeperStop::kStopped:
            return true;
        case KeeperStop::kNoneRunning:
            return false;
        default:
            throw ToolError(kExitFailure, "the running keeper did not stop");
    }
}

}  // namespace tonalis::tool
