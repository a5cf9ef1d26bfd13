// The page conventions shared by every wizard page.
#include "ui/wizard_notifications.h"

#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"

namespace tonalis {

HWND SheetFrame(HWND page) {
    return GetParent(page);
}

SessionContext* SessionOfPageRecord(LPARAM initParam) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(initParam);
    return record != nullptr ? reinterpret_cast<SessionContext*>(record->lParam) : nullptr;
}

void StartWizardPage(HWND page, SessionContext* session, HWND* slot) {
    *slot = page;
    session->frameWindow = SheetFrame(page);
    SyncToWindowMonitor(session);
    AttachSession(page, session);
}

void EndWizardPage(HWND page, HWND* slot) {
    if (*slot == page) {
        *slot = nullptr;
    }
    DetachSession(page);
}

INT_PTR ShowWizardButtons(HWND page, DWORD buttons) {
    PostMessageA(SheetFrame(page), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
    return SetDialogResult(page, 0);
}

INT_PTR GoToPage(HWND page, LONG_PTR pageId) {
    return SetDialogResult(page, pageId);
}

INT_PTR AllowLeavingPage(HWND page) {
    return SetDialogResult(page, FALSE);
}

INT_PTR CancelWizardPage(HWND page) {
    SessionContext* session = SessionOf(page);
    if (session != nullptr) {
        // The focus leaving a field as the sheet closes must not preview again.
        session->isClosing = TRUE;
        RestoreStartRamps(session);
    }
    return SetDialogResult(page, FALSE);
}

INT_PTR AnswerSheet(HWND page, const NMHDR* header, const PageRoute& route) {
    switch (header->code) {
        case PSN_SETACTIVE:
            return ShowWizardButtons(page, route.buttons);
        case PSN_WIZNEXT:
            return route.next != 0 ? GoToPage(page, route.next) : FALSE;
        case PSN_WIZBACK:
            return route.back != 0 ? GoToPage(page, route.back) : FALSE;
        case PSN_KILLACTIVE:
            return AllowLeavingPage(page);
        case PSN_RESET:
            return CancelWizardPage(page);
        default:
            return FALSE;
    }
}

}  // namespace tonalis
