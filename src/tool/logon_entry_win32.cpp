// The logon entry on Windows: the value "Tonalis" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, the one the
// applet writes for its own loader.
#include <windows.h>

#include "profile/logon_entry.h"
#include "tool/logon_entry.h"
#include "tool/text_format.h"
#include "tool/tool_error.h"

namespace tonalis::tool {

std::string InstallLogonEntry() {
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) {
        throw ToolError(kExitFailure, "cannot find the full path of this program");
    }
    const std::string command = Format("\"%s\" apply", program);
    if (!WriteLogonCommand(command.c_str())) {
        throw ToolError(kExitFailure,
                        "cannot write the logon entry under "
                        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                        "CurrentVersion\\Run");
    }
    return command;
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

}  // namespace tonalis::tool
