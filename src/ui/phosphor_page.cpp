// Wizard page 311: the monitor's phosphors, chosen from the known sets or typed.
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
    StartWizardPage(page, session, &g_pageWindows.phosphors);
    FillPhosphorList(page, session);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session != nullptr && id == IDC_PHOSPHOR_LIST && code == CBN_SELCHANGE) {
        ApplyPhosphorEntry(page, session, Control(page, IDC_PHOSPHOR_LIST));
        // New primaries give new peaks for the same adjusted white.
        PreviewWorkingRamp(session);
    }
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    if (SessionOf(page) == nullptr) {
        return FALSE;
    }
    return AnswerSheet(page, header, {PSWIZB_BACK | PSWIZB_NEXT, IDD_GAMMA, IDD_BRIGHTNESS});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLPhosphorsDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace tonalis;
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
            EndWizardPage(page, &g_pageWindows.phosphors);
            return FALSE;
        default:
            return FALSE;
    }
}
