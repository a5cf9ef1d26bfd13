// The logon entry on Windows: the value "Tonalis" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, the keeper
// of the TNP.cpl beside this program for every monitor, as the applet writes
// it for its own; for an installed copy, whose per-machine entry starts the
// keeper for every user, each monitor's choice instead.
#include <windows.h>

#include "display/kept_calibration.h"
#include "keeper/keeper_link.h"
#include "model/tool_error.h"
#include "model/wide_path_win32.h"
#include "profile/logon_entry.h"
#include "profile/logon_monitors.h"
#include "tool/logon_entry.h"

namespace tonalis::tool {

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

std::string InstallLogonEntry(bool once) {
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
        if (!KeeperCommand(library, false, command)) {
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

bool RemoveLogonEntry() {
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
