// Wizard page 303: the profile's description and loading another profile as
// the starting point.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "display/monitors.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

// A multi-line edit takes every key, so Enter and Esc would never reach the
// sheet's Next and Cancel; the description is one paragraph and needs neither.
// The field is the Unicode edit made for it, so the procedure this one stands
// in front of is the edit class's own: no state is kept.
LRESULT CALLBACK DescriptionKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto classProcedure = reinterpret_cast<WNDPROC>(GetClassLongPtrW(edit, GCLP_WNDPROC));
    LRESULT result = CallWindowProcW(classProcedure, edit, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~DLGC_WANTALLKEYS : result;
}

void PassEnterAndEscToTheSheet(HWND page) {
    HWND edit = Control(page, IDC_DESCRIPTION);
    if (!IsWindowUnicode(edit) ||
        GetWindowLongPtrW(edit, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(DescriptionKeys)) {
        return;
    }
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DescriptionKeys));
}

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    g_pageWindows.description = page;
    session->frameWindow = SheetFrame(page);
    // The welcome page has centred the frame, and the user may have moved it
    // since to the monitor to calibrate; a wizard that starts here, after the
    // panel, is centred now.
    if (g_pageWindows.welcome == nullptr && session->uiMode != kUiModeWizard) {
        CentreOnCurrentMonitor(session);
    } else {
        SyncToWindowMonitor(session);
    }
    // After the panel its working settings hold the user's changes.
    if (!session->panelShown) {
        session->workingSettings = session->monitors[session->currentMonitor];
        session->savedSettings = session->workingSettings;
    }
    AttachSession(page, session);
    MakeDescriptionFieldWide(page);
    ShowDescription(page, session);
    session->uiMode = kUiModeWizard;
    InstallFrameFilter(SheetFrame(page));
    PassEnterAndEscToTheSheet(page);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return;
    }
    if (id == IDC_DESCRIPTION && code == EN_UPDATE) {
        FilterDescriptionText(page);
    } else if (id == IDC_LOAD && code == BN_CLICKED && LoadProfileWithPrompt(page, session)) {
        // Pages already shown show what was loaded, and the display its table.
        RefreshWizardPages(session);
        PreviewWorkingRamp(session);
    }
}

LONG_PTR OnNext(HWND page, SessionContext* session) {
    CopyDescription(page, session);
    return IDD_BRIGHTNESS;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    if (header->code == PSN_WIZNEXT) {
        return GoToPage(page, OnNext(page, session));
    }
    return AnswerSheet(page, header, {PSWIZB_NEXT, 0, 0});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLCurrentDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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
            EndWizardPage(page, &g_pageWindows.description);
            return FALSE;
        default:
            return FALSE;
    }
}
