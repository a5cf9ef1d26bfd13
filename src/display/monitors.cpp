// Finding the monitors of the desktop in a fixed order, the monitor under the
// frame window, and centring on the monitor being calibrated.
#include "display/monitors.h"

#include "session/session_context.h"
#include "display/init_monitor_settings.h"

namespace tonalis {

namespace {

constexpr DWORD kMonitorInfoExSize = 72;
constexpr char kSingleDisplay[] = "DISPLAY";

// The four quadrants of a box, in search order: top-left, bottom-left,
// top-right, bottom-right.
void SplitIntoQuadrants(const RECT& box, RECT quadrants[4]) {
    LONG midX = (box.left + box.right) / 2;
    LONG midY = (box.top + box.bottom) / 2;
    SetRect(&quadrants[0], box.left, box.top, midX, midY);
    SetRect(&quadrants[1], box.left, midY, midX, box.bottom);
    SetRect(&quadrants[2], midX, box.top, box.right, midY);
    SetRect(&quadrants[3], midX, midY, box.right, box.bottom);
}

// Sets up one record from a device name; false when it has shown an error.
bool SetUpRecord(SessionContext* session, int index, const char* deviceName) {
    HDC dc = CreateDCA(deviceName, nullptr, nullptr, nullptr);
    bool ok =
        InitMonitorSettings(dc, index, deviceName, &session->monitors[index], session->instance);
    if (dc != nullptr) {
        DeleteDC(dc);
    }
    return ok;
}

// Fills monitors in quadrant order; returns how many records were filled.
int SearchMonitors(SessionContext* session, int wanted, bool* errorShown) {
    MONITORINFOEXA found[kMaxMonitors];
    int filled = FindMonitorsInOrder(found, wanted);
    for (int i = 0; i < filled; ++i) {
        const MONITORINFOEXA& info = found[i];
        if (!SetUpRecord(session, i, info.szDevice)) {
            *errorShown = true;
        }
        MonitorSettings& record = session->monitors[i];
        record.monitorRect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                              info.rcMonitor.bottom};
        record.isPrimary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0;
    }
    return filled;
}

}  // namespace

int FindMonitorsInOrder(MONITORINFOEXA* found, int wanted) {
    int x = MonGetSystemMetrics(SM_XVIRTUALSCREEN);
    int y = MonGetSystemMetrics(SM_YVIRTUALSCREEN);
    HRGN remaining = CreateRectRgn(x, y, x + MonGetSystemMetrics(SM_CXVIRTUALSCREEN),
                                   y + MonGetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (remaining == nullptr) {
        return 0;
    }
    int filled = 0;
    while (filled < wanted) {
        HMONITOR monitor = FindMonitorInRegion(remaining);
        if (monitor == nullptr) {
            break;
        }
        MONITORINFOEXA& info = found[filled];
        info = {};
        info.cbSize = kMonitorInfoExSize;
        if (!MonGetMonitorInfo(monitor, &info)) {
            break;
        }
        HRGN area = CreateRectRgnIndirect(&info.rcMonitor);
        if (area == nullptr) {
            break;
        }
        CombineRgn(remaining, remaining, area, RGN_DIFF);
        DeleteObject(area);
        ++filled;
    }
    DeleteObject(remaining);
    return filled;
}

bool SetUpMonitors(SessionContext* session) {
    bool errorShown = false;
    session->monitorCount = MonGetSystemMetrics(SM_CMONITORS);
    // The session holds four records; a larger desktop gets its first four found.
    int wanted = session->monitorCount < kMaxMonitors ? session->monitorCount : kMaxMonitors;
    if (wanted > 0 && SearchMonitors(session, wanted, &errorShown) == wanted) {
        session->monitorCount = wanted;
        return !errorShown;
    }
    session->monitorCount = 1;
    if (!SetUpRecord(session, 0, kSingleDisplay)) {
        errorShown = true;
    }
    session->monitors[0].monitorRect = {0, 0, MonGetSystemMetrics(SM_CXSCREEN),
                                        MonGetSystemMetrics(SM_CYSCREEN)};
    session->monitors[0].isPrimary = 1;
    return !errorShown;
}

HMONITOR FindMonitorInRegion(HRGN region) {
    RECT box;
    int kind = GetRgnBox(region, &box);
    // A region that cannot be read leaves the box undefined: nothing to search.
    if (kind == NULLREGION || kind == ERROR) {
        return nullptr;
    }
    RECT quadrants[4];
    SplitIntoQuadrants(box, quadrants);
    for (const RECT& probe : quadrants) {
        HMONITOR monitor = FindMonitorInProbe(region, &probe);
        if (monitor != nullptr) {
            return monitor;
        }
    }
    return nullptr;
}

HMONITOR FindMonitorInProbe(HRGN region, const RECT* probe) {
    HRGN part = CreateRectRgnIndirect(probe);
    if (part == nullptr) {
        return nullptr;
    }
    HMONITOR monitor = nullptr;
    RECT box;
    // When the intersection fails, part still covers the whole probe, and
    // searching it would find monitors outside the region.
    int kind = CombineRgn(part, part, region, RGN_AND) == ERROR ? ERROR : GetRgnBox(part, &box);
    switch (kind) {
        case COMPLEXREGION:
            monitor = FindMonitorInRegion(part);
            break;
        case SIMPLEREGION: {
            RECT quadrants[4];
            SplitIntoQuadrants(box, quadrants);
            for (const RECT& quadrant : quadrants) {
                monitor = MonMonitorFromRect(&quadrant, MONITOR_DEFAULTTONULL);
                if (monitor != nullptr) {
                    break;
                }
            }
            break;
        }
        default:
            break;
    }
    DeleteObject(part);
    return monitor;
}

int MonitorIndexOfWindow(const SessionContext* session) {
    if (session->monitorCount < 2) {
        return 0;
    }
    HMONITOR monitor = MonMonitorFromWindow(session->frameWindow, MONITOR_DEFAULTTONULL);
    if (monitor == nullptr) {
        return 0;
    }
    MONITORINFOEXA info = {};
    info.cbSize = kMonitorInfoExSize;
    if (!MonGetMonitorInfo(monitor, &info)) {
        return 0;
    }
    int count = session->monitorCount < kMaxMonitors ? session->monitorCount : kMaxMonitors;
    for (int i = 0; i < count; ++i) {
        if (lstrcmpA(session->monitors[i].deviceName, info.szDevice) == 0) {
            return i;
        }
    }
    return 0;
}

void CentreOnCurrentMonitor(const SessionContext* session) {
    int current = session->currentMonitor;
    if (current < 0 || current >= kMaxMonitors || current >= session->monitorCount) {
        return;
    }
    const MonitorRect& m = session->monitors[current].monitorRect;
    RECT window;
    if (!GetWindowRect(session->frameWindow, &window)) {
        return;
    }
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = m.left + ((m.right - m.left) - width) / 2;
    int y = m.top + ((m.bottom - m.top) - height) / 2;
    MoveWindow(session->frameWindow, x, y, width, height, TRUE);
}

}  // namespace tonalis
