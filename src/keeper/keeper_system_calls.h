// The system calls of the keeper on Windows that tests replace: its clock, the
// notification-area icon, starting the applet, and whether the applet is open.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace tonalis {

struct KeeperSystemCalls {
    // Seconds on a clock that does not jump; the keeper's core runs on it.
    double (*now)();
    BOOL(WINAPI* shellNotifyIcon)(DWORD message, PNOTIFYICONDATAW data);
    HINSTANCE(WINAPI* shellExecute)
    (HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder, INT show);
    // True while a run of the applet holds its one-run-per-session mutex.
    bool (*appletOpen)();
};

// The real calls; tests swap entries and put them back.
extern KeeperSystemCalls g_keeperSystemCalls;

}  // namespace tonalis
