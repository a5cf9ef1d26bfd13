// Wizard page 304: brightness and contrast, set against the drawn test box.
#include <windows.h>

#include <prsht.h>

#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/patterns.h"
#include "ui/procedures.h"
#include "ui/window_dpi.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session != nullptr) {
        StartWizardPage(page, session, &g_pageWindows.brightness);
    }
}

BOOL OnDrawItem(HWND page, const DRAWITEMSTRUCT* item) {
    const SessionContext* session = SessionOf(page);
    if (session == nullptr || item->CtlID != IDC_BRIGHTNESS_PATTERN) {
        return FALSE;
    }
    DrawBrightnessBox(item->hDC, item->rcItem, session->patternPalette,
                      session->isPaletteDevice != FALSE);
    return TRUE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    if (SessionOf(page) == nullptr) {
        return FALSE;
    }
    return AnswerSheet(page, header, {PSWIZB_BACK | PSWIZB_NEXT, IDD_PHOSPHORS, IDD_DESCRIPTION});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLMonitorDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_DRAWITEM:
            return OnDrawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_QUERYNEWPALETTE:
            InvalidatePatternControls(page);
            return TRUE;
        case WM_PALETTECHANGED:
            OnPaletteChanged(page, SessionOf(page), reinterpret_cast<HWND>(wParam));
            return FALSE;
        case kDpiChanged:
        case kDpiChangedAfterParent:
            OnDpiChanged(page, message, lParam);
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_DESTROY:
            EndWizardPage(page, &g_pageWindows.brightness);
            return FALSE;
        default:
            return FALSE;
    }
}
