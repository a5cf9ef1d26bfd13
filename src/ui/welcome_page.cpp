// Wizard page 301: the welcome, where the user picks the wizard or the
// control-panel dialog.
#include <windows.h>

#include <prsht.h>

#include "display/monitors.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "ui/controls.h"
#include "ui/procedures.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    g_pageWindows.welcome = page;
    session->frameWindow = SheetFrame(page);
    session->currentMonitor = MonitorIndexOfWindow(session);
    AttachSession(page, session);
    ShowControl(page, IDC_PLACE_ON_MONITOR, session->monitorCount > 1);
    // Before any version was chosen the wizard is offered: a radio group
    // with nothing checked is out of reach of Tab and the arrow keys.
    SetChecked(page, IDC_CHOOSE_WIZARD, session->uiMode != kUiModePanel);
    SetChecked(page, IDC_CHOOSE_PANEL, session->uiMode == kUiModePanel);
}

// The frame is centred when it first appears; after that it stays where the
// user puts it, on the monitor to calibrate. A wizard that started on 303,
// after the panel, was centred there.
void OnShowWindow(HWND page, bool shown) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr || !shown || session->wizardPlaced) {
        return;
    }
    if (g_pageWindows.description == nullptr) {
        CentreOnCurrentMonitor(session);
    }
    session->wizardPlaced = TRUE;
}

// The wizard hides while the panel runs; the panel's Wizard button brings it
// back, any other ending closes it.
LONG_PTR SwitchToPanel(HWND page, SessionContext* session) {
    HWND frame = SheetFrame(page);
    int monitorBefore = session->currentMonitor;
    ShowWindow(frame, SW_HIDE);
    INT_PTR result =
        DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_PANEL), session->ownerWindow,
                        PanelDialogProc, reinterpret_cast<LPARAM>(session));
    session->frameWindow = frame;
    if (result != IDC_PANEL_WIZARD) {
        PostMessageA(frame, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        return kStayOnPage;
    }
    if (session->currentMonitor != monitorBefore) {
        CentreOnCurrentMonitor(session);
    }
    SetChecked(page, IDC_CHOOSE_WIZARD, true);
    SetChecked(page, IDC_CHOOSE_PANEL, false);
    ShowWindow(frame, SW_SHOW);
    return IDD_DESCRIPTION;
}

LONG_PTR OnNext(HWND page, SessionContext* session) {
    if (IsChecked(page, IDC_CHOOSE_WIZARD)) {
        return IDD_DESCRIPTION;
    }
    if (IsChecked(page, IDC_CHOOSE_PANEL)) {
        return SwitchToPanel(page, session);
    }
    AskUser(SheetFrame(page), session->instance, strings::kChooseVersion, strings::kProductName,
            MB_ICONHAND);
    return kStayOnPage;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    switch (header->code) {
        case PSN_SETACTIVE:
            return ShowWizardButtons(page, PSWIZB_NEXT);
        case PSN_WIZNEXT:
            return GoToPage(page, OnNext(page, session));
        case PSN_KILLACTIVE:
        case PSN_RESET:
            return AllowLeavingPage(page);
        default:
            return FALSE;
    }
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLWelcomeDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_SHOWWINDOW:
            OnShowWindow(page, wParam != FALSE);
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_DESTROY:
            EndWizardPage(page, &g_pageWindows.welcome);
            return FALSE;
        default:
            return FALSE;
    }
}
