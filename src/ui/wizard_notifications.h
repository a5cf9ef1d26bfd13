// What every wizard page does when it starts and how it answers the sheet:
// button state on activation, the page that Next or Back leads to, leaving
// allowed, and the start ramps put back on Cancel.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

// Answer to Next or Back that keeps the sheet on the page.
constexpr LONG_PTR kStayOnPage = -1;

HWND SheetFrame(HWND page);
// The session that the run put into the record the page was created from.
SessionContext* SessionOfPageRecord(LPARAM initParam);

// Records the page in its slot of PageWindows, makes the sheet the frame
// window, follows the sheet to its monitor and keeps the session on the page.
void StartWizardPage(HWND page, SessionContext* session, HWND* slot);
// WM_DESTROY: forgets the page's window and drops the session property.
void EndWizardPage(HWND page, HWND* slot);

// PSN_SETACTIVE: posts the wizard buttons and accepts the activation.
INT_PTR ShowWizardButtons(HWND page, DWORD buttons);
// PSN_WIZNEXT and PSN_WIZBACK: the resource id of the next page, or kStayOnPage.
INT_PTR GoToPage(HWND page, LONG_PTR pageId);
// PSN_KILLACTIVE: the page may be left.
INT_PTR AllowLeavingPage(HWND page);
// PSN_RESET: every monitor gets its start ramp back.
INT_PTR CancelWizardPage(HWND page);

// The buttons a page shows and the pages its Next and Back lead to (0 where
// the sheet's own handling is enough).
struct PageRoute {
    DWORD buttons;
    LONG_PTR next;
    LONG_PTR back;
};

// What every page answers alike: activation, Next and Back by the route,
// leaving allowed, and Cancel putting the start ramps back. FALSE for any
// other notification.
INT_PTR AnswerSheet(HWND page, const NMHDR* header, const PageRoute& route);

}  // namespace tonalis
