// The scale a window is shown at, and the messages that tell a window its
// scale changed.
#pragma once

#include <windows.h>

namespace tonalis {

// WM_DPICHANGED, sent to a top-level window, and WM_DPICHANGED_AFTERPARENT,
// sent to the pages once the sheet has its new size; older headers lack both.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The scale the dialog templates are laid out for.
constexpr int kBaseDpi = 96;

using GetDpiForWindowProc = UINT(WINAPI*)(HWND window);

struct WindowDpiCalls {
    // GetDpiForWindow of the system, or null where it lacks it (before
    // Windows 10 version 1607).
    GetDpiForWindowProc (*findGetDpiForWindow)();
};

// The real lookup; tests swap it and put it back.
extern WindowDpiCalls g_windowDpiCalls;

// The window's own DPI, which differs between monitors of a desktop with
// mixed scales; where the system cannot tell it, the display's, else 96.
int WindowDpi(HWND window);

}  // namespace tonalis
