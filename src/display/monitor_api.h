// The six multi-monitor functions of the user-interface library, resolved at
// run time. Tests replace them (a desktop Wine cannot show) or empty them (a
// system without them, which the fallbacks stand in for).
#pragma once

#include <windows.h>

namespace tonalis {

struct MonitorApi {
    int(WINAPI* getSystemMetrics)(int index);
    HMONITOR(WINAPI* monitorFromWindow)(HWND window, DWORD flags);
    HMONITOR(WINAPI* monitorFromRect)(LPCRECT rect, DWORD flags);
    HMONITOR(WINAPI* monitorFromPoint)(POINT point, DWORD flags);
    BOOL(WINAPI* enumDisplayMonitors)(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data);
    BOOL(WINAPI* getMonitorInfo)(HMONITOR monitor, LPMONITORINFO info);
};

// Filled on the first call of any wrapper and kept while the library is loaded.
// Either all six functions are present or all are null.
struct MonitorApiState {
    bool initialised;
    MonitorApi functions;
};

extern MonitorApiState g_monitorApi;

}  // namespace tonalis
