// Wizard page 321: the adjusted white point, the white the calibrated monitor
// is to show, previewed at once.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    StartWizardPage(page, session, &g_pageWindows.adjustedWhite);
    FillWhiteList(page, session, IDC_ADJUSTED_WHITE_LIST, kAdjustedWhite);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr || id != IDC_ADJUSTED_WHITE_LIST || code != CBN_SELCHANGE) {
        return;
    }
    ApplyWhiteEntry(page, session, Control(page, IDC_ADJUSTED_WHITE_LIST), kAdjustedWhite);
    PreviewWorkingRamp(session);
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    // A hardware white chosen since may now name the same white differently.
    if (header->code == PSN_SETACTIVE) {
        SelectWhiteEntry(session, Control(page, IDC_ADJUSTED_WHITE_LIST), kAdjustedWhite);
    }
    return AnswerSheet(page, header,
                       {PSWIZB_BACK | PSWIZB_NEXT, IDD_FINISH_COMPARE, IDD_HARDWARE_WHITE});
}

}  // namespace

INT_PTR CALLBACK AdjustedWhitePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_COMMAND:
            OnCommand(page, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_DESTROY:
            EndWizardPage(page, &g_pageWindows.adjustedWhite);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tonalis
