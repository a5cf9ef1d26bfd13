// The window's own DPI through GetDpiForWindow, looked up at run time, with
// the display's as the fallback on systems without it.
#include "ui/window_dpi.h"

namespace tonalis {

namespace {

GetDpiForWindowProc FindInUser32() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

int DisplayDpi(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    ReleaseDC(window, dc);
    return dpi;
}

}  // namespace

WindowDpiCalls g_windowDpiCalls = {FindInUser32};

int WindowDpi(HWND window) {
    const GetDpiForWindowProc getDpiForWindow = g_windowDpiCalls.findGetDpiForWindow();
    int dpi = getDpiForWindow != nullptr ? static_cast<int>(getDpiForWindow(window)) : 0;
    if (dpi <= 0) {
        dpi = DisplayDpi(window);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace tonalis
