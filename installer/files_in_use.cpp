// The MSI's custom actions for files in use: every keeper of the session ends
// before TNP.cpl is replaced or removed, and what an uninstall still cannot
// remove (TNP.cpl held by an open applet) goes at the next restart, as the
// NSIS setup's uninstall does it.
#include <string>

#include "action_data.h"
#include "keeper/keeper_link.h"

// Immediate, before anything is replaced. Keepers of other sessions answer
// the Restart Manager's request to close; the tables stay loaded.
extern "C" __declspec(dllexport) UINT __stdcall StopKeepers(MSIHANDLE) {
    // One keeper per session; a keeper that will not end is left to the restart.
    for (int stopped = 0; stopped < 16; ++stopped) {
        if (tonalis::StopKeeper(5000) != tonalis::KeeperStop::kStopped) {
            break;
        }
    }
    return ERROR_SUCCESS;
}

// Deferred, after the files are removed; given the install folder with its
// final backslash. The folder goes after its files, when it is empty.
extern "C" __declspec(dllexport) UINT __stdcall ScheduleLeftovers(MSIHANDLE install) {
    const std::wstring folder = CustomActionData(install);
    if (folder.empty()) {
        return ERROR_SUCCESS;
    }
    for (const wchar_t* name : {L"TNP.cpl", L"tonalis.exe"}) {
        const std::wstring file = folder + name;
        if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
            MoveFileExW(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
    }
    const std::wstring bare = folder.substr(0, folder.find_last_not_of(L'\\') + 1);
    if (GetFileAttributesW(bare.c_str()) != INVALID_FILE_ATTRIBUTES) {
        MoveFileExW(bare.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return ERROR_SUCCESS;
}
