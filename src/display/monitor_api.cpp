// The multi-monitor wrappers: the system's functions when it has all six, else
// fallbacks that show the whole screen as one primary monitor, "DISPLAY".
#include "display/monitor_api.h"

#include <cstring>

#include "display/monitors.h"

namespace tonalis {

MonitorApiState g_monitorApi = {};

namespace {

constexpr DWORD kMonitorInfoSize = 40;
constexpr DWORD kMonitorInfoExSize = 72;
constexpr DWORD kDefaultToPrimaryOrNearest = MONITOR_DEFAULTTOPRIMARY | MONITOR_DEFAULTTONEAREST;

template <typename Function>
bool Resolve(HMODULE user, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)));
    return *function != nullptr;
}

bool ResolveAll(MonitorApi* api) {
    HMODULE user = GetModuleHandleA("USER32");
    return user != nullptr && Resolve(user, "GetSystemMetrics", &api->getSystemMetrics) &&
           Resolve(user, "MonitorFromWindow", &api->monitorFromWindow) &&
           Resolve(user, "MonitorFromRect", &api->monitorFromRect) &&
           Resolve(user, "MonitorFromPoint", &api->monitorFromPoint) &&
           Resolve(user, "EnumDisplayMonitors", &api->enumDisplayMonitors) &&
           Resolve(user, "GetMonitorInfoA", &api->getMonitorInfo);
}

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

int FallbackSystemMetrics(int index) {
    switch (index) {
        case SM_XVIRTUALSCREEN:
        case SM_YVIRTUALSCREEN:
            return 0;
        case SM_CXVIRTUALSCREEN:
            return ScreenWidth();
        case SM_CYVIRTUALSCREEN:
            return ScreenHeight();
        case SM_CMONITORS:
        case SM_SAMEDISPLAYFORMAT:
            return 1;
        default:
            return GetSystemMetrics(index);
    }
}

HMONITOR FallbackMonitorFromRect(const RECT* rect, DWORD flags) {
    if ((flags & kDefaultToPrimaryOrNearest) != 0) {
        return PrimaryMonitorStub;
    }
    if (rect == nullptr || rect->right < 1 || rect->bottom < 1 || rect->left >= ScreenWidth() ||
        rect->top >= ScreenHeight()) {
        return nullptr;
    }
    return PrimaryMonitorStub;
}

HMONITOR FallbackMonitorFromWindow(HWND window, DWORD flags) {
    if ((flags & kDefaultToPrimaryOrNearest) != 0) {
        return PrimaryMonitorStub;
    }
    RECT rect;
    if (IsIconic(window)) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(window, &placement)) {
            return nullptr;
        }
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(window, &rect)) {
        return nullptr;
    }
    return FallbackMonitorFromRect(&rect, flags);
}

BOOL FallbackGetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    RECT workArea;
    if (monitor != PrimaryMonitorStub || info == nullptr || info->cbSize < kMonitorInfoSize ||
        !SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0)) {
        return FALSE;
    }
    SetRect(&info->rcMonitor, 0, 0, ScreenWidth(), ScreenHeight());
    info->rcWork = workArea;
    info->dwFlags = MONITORINFOF_PRIMARY;
    if (info->cbSize >= kMonitorInfoExSize) {
        strcpy(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, "DISPLAY");
    }
    return TRUE;
}

}  // namespace

bool InitMonitorApi() {
    if (g_monitorApi.initialised) {
        return g_monitorApi.functions.getMonitorInfo != nullptr;
    }
    MonitorApi api = {};
    bool present = ResolveAll(&api) &&
                   GetSystemMetrics(SM_CXVIRTUALSCREEN) >= GetSystemMetrics(SM_CXSCREEN) &&
                   GetSystemMetrics(SM_CYVIRTUALSCREEN) >= GetSystemMetrics(SM_CYSCREEN);
    g_monitorApi.functions = present ? api : MonitorApi{};
    g_monitorApi.initialised = true;
    return present;
}

int MonGetSystemMetrics(int index) {
    if (InitMonitorApi()) {
        return g_monitorApi.functions.getSystemMetrics(index);
    }
    return FallbackSystemMetrics(index);
}

HMONITOR MonMonitorFromWindow(HWND window, DWORD flags) {
    if (InitMonitorApi()) {
        return g_monitorApi.functions.monitorFromWindow(window, flags);
    }
    return FallbackMonitorFromWindow(window, flags);
}

HMONITOR MonMonitorFromRect(const RECT* rect, DWORD flags) {
    if (InitMonitorApi()) {
        return g_monitorApi.functions.monitorFromRect(rect, flags);
    }
    return FallbackMonitorFromRect(rect, flags);
}

BOOL MonGetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    if (InitMonitorApi()) {
        return g_monitorApi.functions.getMonitorInfo(monitor, info);
    }
    return FallbackGetMonitorInfo(monitor, info);
}

}  // namespace tonalis
