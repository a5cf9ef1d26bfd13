// The window procedure put in front of the wizard's sheet frame: a move to
// another monitor refreshes the pages that exist.
#include <windows.h>

#include <prsht.h>

#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/wizard.h"

namespace tonalis {

PageWindows g_pageWindows;

void RefreshWizardPages(SessionContext* session) {
    const PageWindows& pages = g_pageWindows;
    if (pages.description != nullptr) {
        ShowDescription(pages.description, session);
    }
    if (pages.phosphors != nullptr) {
        FillPhosphorList(pages.phosphors, session);
    }
    if (pages.gamma != nullptr) {
        InitGammaControls(pages.gamma, session);
    }
    if (pages.hardwareWhite != nullptr) {
        FillWhiteList(pages.hardwareWhite, session, IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
    }
    if (pages.adjustedWhite != nullptr) {
        FillAdjustedWhiteList(pages.adjustedWhite, session);
    }
}

namespace {

WNDPROC g_previousFrameProcedure;

void OnFrameMoved(HWND frame) {
    HWND page = reinterpret_cast<HWND>(SendMessageA(frame, PSM_GETCURRENTPAGEHWND, 0, 0));
    SessionContext* session = page != nullptr ? SessionOf(page) : nullptr;
    if (session != nullptr && SyncToWindowMonitor(session)) {
        RefreshWizardPages(session);
    }
}

LRESULT CALLBACK FrameFilter(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOVE) {
        OnFrameMoved(frame);
    }
    return CallWindowProcA(g_previousFrameProcedure, frame, message, wParam, lParam);
}

}  // namespace

void InstallFrameFilter(HWND frame) {
    LONG_PTR previous = GetWindowLongPtrA(frame, GWLP_WNDPROC);
    if (previous == 0 || previous == reinterpret_cast<LONG_PTR>(FrameFilter)) {
        return;
    }
    g_previousFrameProcedure = reinterpret_cast<WNDPROC>(previous);
    SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameFilter));
}

}  // namespace tonalis
