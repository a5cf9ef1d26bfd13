// Loading ramps into the display, each one read back: a driver may refuse a
// table, by its result or silently, and the display then keeps the old one.
#include "display/gamma_ramp_access.h"

#include "session/messages.h"
#include "session/session_context.h"
#include "display/display_system_calls.h"
#include "display/monitors.h"
#include "model/gamma_ramp.h"
#include "model/ramp_read_back.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

constexpr DWORD kMonitorInfoExSize = 72;

LPVOID RampEntries(const GammaRamp* ramp) {
    // The system call takes a non-const pointer but only reads from it.
    return const_cast<uint16_t*>(ramp->entries);
}

// False when the display did not take the ramp. A display whose table cannot
// be read back gives no evidence against it.
bool LoadAndReadBack(HDC dc, const GammaRamp* ramp) {
    if (!g_displaySystemCalls.setDeviceGammaRamp(dc, RampEntries(ramp))) {
        return false;
    }
    GammaRamp held;
    if (!g_displaySystemCalls.getDeviceGammaRamp(dc, held.entries)) {
        return true;
    }
    return LargestEntryDifference(held, *ramp) <= kReadBackTolerance;
}

// Once per run: the screen does not show what the user is setting, but the
// settings go on, and a save still holds them.
void TellTableRefused(SessionContext* session) {
    if (session->tableRefusalShown) {
        return;
    }
    session->tableRefusalShown = TRUE;
    AskUser(session->frameWindow, session->instance, strings::kTableRefused, strings::kProductName,
            MB_OK | MB_ICONEXCLAMATION);
}

// Taken tells whether the display took the ramp; false when there is no device.
bool LoadThroughMonitorDevice(HWND window, const GammaRamp* ramp, bool* taken) {
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
    *taken = LoadAndReadBack(dc, ramp);
    DeleteDC(dc);
    return true;
}

}  // namespace

bool LoadRampForWindow(HWND window, bool useMonitorDevice, const GammaRamp* ramp) {
    bool taken = false;
    if (useMonitorDevice && LoadThroughMonitorDevice(window, ramp, &taken)) {
        return taken;
    }
    HDC dc = GetDC(window);
    taken = LoadAndReadBack(dc, ramp);
    ReleaseDC(window, dc);
    return taken;
}

void LoadWorkingRamp(SessionContext* session) {
    const MonitorSettings& working = session->workingSettings;
    if (working.hasGammaRamp == 1 &&
        !LoadRampForWindow(session->frameWindow, session->monitorCount >= 2, &working.ramp)) {
        TellTableRefused(session);
    }
}

void PreviewWorkingRamp(SessionContext* session) {
    MonitorSettings& working = session->workingSettings;
    if (working.hasGammaRamp != 1 || session->isClosing) {
        return;
    }
    working.ramp =
        BuildGammaRamp(working.gamma, working.gammaFactor, working.whiteRgb, working.toneMatch);
    LoadWorkingRamp(session);
}

void RestoreStartRamps(SessionContext* session) {
    bool allTaken = true;
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
        allTaken = LoadAndReadBack(dc, &monitor.ramp) && allTaken;
        DeleteDC(dc);
    }
    if (!allTaken) {
        TellTableRefused(session);
    }
}

}  // namespace tonalis
