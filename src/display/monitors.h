// The monitors of the desktop: finding them at the start of a run, the monitor
// under a window, and centring on the monitor being calibrated. The system's
// multi-monitor functions are resolved at run time; without them the whole
// screen is one primary monitor called "DISPLAY".
#pragma once

#include <windows.h>

namespace tonalis {

struct SessionContext;

// The one monitor that the fallbacks know of.
const HMONITOR PrimaryMonitorStub = reinterpret_cast<HMONITOR>(0x12340042);

bool InitMonitorApi();
int MonGetSystemMetrics(int index);
HMONITOR MonMonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonMonitorFromRect(const RECT* rect, DWORD flags);
BOOL MonGetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// Fills monitorCount and monitors; false when a monitor's set-up has shown an
// error to the user.
bool SetUpMonitors(SessionContext* session);

// The monitor information of up to wanted monitors, in the order in which the
// quadrant search finds them (the numbering the registry keeps); returns how
// many it found. Fewer than SM_CMONITORS means the search fell short.
int FindMonitorsInOrder(MONITORINFOEXA* found, int wanted);

HMONITOR FindMonitorInRegion(HRGN region);
HMONITOR FindMonitorInProbe(HRGN region, const RECT* probe);

int MonitorIndexOfWindow(const SessionContext* session);
void CentreOnCurrentMonitor(const SessionContext* session);

}  // namespace tonalis
