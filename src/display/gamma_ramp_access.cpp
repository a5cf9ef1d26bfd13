// Loading ramps into the display. SetDeviceGammaRamp failures are not reported:
// a ramp the driver refuses leaves the display as it was.
#include "display/gamma_ramp_access.h"

#include "session/session_context.h"
#include "display/display_system_calls.h"
#include "display/monitors.h"
#include "model/gamma_ramp.h"

namespace tonalis {

namespace {

constexpr DWORD kMonitorInfoExSize = 72;

LPVOID RampEntries(const GammaRamp* ramp) {
    // The system call takes a non-const pointer but only reads from it.
    return const_cast<uint16_t*>(ramp->entries);
}

bool LoadThroughMonitorDevice(HWND window, const GammaRamp* ramp) {
    HMONITOR monitor = MonMonitorFromWindow(window, MONITOR_DEFAULTTONULL);
    if (monitor == nullptr) {
        return false;
    }
    MONITORINFOEXA info = {};
    info.cbSize = kMonitorInfoExSize;
    if (!MonGetMonitorInfo(monitor, &info)) {
        return false;
    }
    HDC dc = CreateDCA(info.szDevice, nullptr, nullptr, nullptr);
    if (dc == nullptr) {
        return false;
    }
    g_displaySystemCalls.setDeviceGammaRamp(dc, RampEntries(ramp));
    DeleteDC(dc);
    return true;
}

}  // namespace

void LoadRampForWindow(HWND window, bool useMonitorDevice, const GammaRamp* ramp) {
    if (useMonitorDevice && LoadThroughMonitorDevice(window, ramp)) {
        return;
    }
    HDC dc = GetDC(window);
    g_displaySystemCalls.setDeviceGammaRamp(dc, RampEntries(ramp));
    ReleaseDC(window, dc);
}

void PreviewWorkingRamp(SessionContext* session) {
    MonitorSettings& working = session->workingSettings;
    if (working.hasGammaRamp != 1 || session->isClosing) {
        return;
    }
    working.ramp = BuildGammaRamp(working.gamma, working.gammaFactor, working.whiteRgb);
    LoadRampForWindow(session->frameWindow, session->monitorCount >= 2, &working.ramp);
}

void RestoreStartRamps(const SessionContext* session) {
    int count = session->monitorCount < kMaxMonitors ? session->monitorCount : kMaxMonitors;
    for (int i = 0; i < count; ++i) {
        const MonitorSettings& monitor = session->monitors[i];
        if (monitor.hasGammaRamp != 1) {
            continue;
        }
        HDC dc = CreateDCA(monitor.deviceName, nullptr, nullptr, nullptr);
        if (dc == nullptr) {
            continue;
        }
        g_displaySystemCalls.setDeviceGammaRamp(dc, RampEntries(&monitor.ramp));
        DeleteDC(dc);
    }
}

}  // namespace tonalis
