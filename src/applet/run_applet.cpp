#include "applet/run_applet.h"

#include "applet/init_session.h"
#include "session/system_calls.h"

namespace tonalis {

namespace {

SessionContext* AllocateSession() {
    return static_cast<SessionContext*>(
        g_appletSystemCalls.globalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(SessionContext)));
}

void ReleaseSession(SessionContext* session) {
    g_appletSystemCalls.globalFree(static_cast<HGLOBAL>(session));
}

}  // namespace

void FillWizardPage(PROPSHEETPAGEA* page, WORD dialogId, DLGPROC procedure,
                    SessionContext* session) {
    ZeroMemory(page, kWizardPageRecordSize);
    page->dwSize = kWizardPageRecordSize;
    page->dwFlags = 0;
    page->hInstance = session->instance;
    page->pszTemplate = MAKEINTRESOURCEA(dialogId);
    page->pfnDlgProc = procedure;
    page->lParam = reinterpret_cast<LPARAM>(session);
}

int RunApplet(HWND owner, HINSTANCE instance) {
    SessionContext* session = AllocateSession();
    if (session == nullptr) {
        return -1;
    }
    if (!InitSession(session, owner, instance)) {
        ReleaseSession(session);
        return -1;
    }
    // The wizard pages and the panel dialog come next; until they exist the
    // run ends here, with nothing shown.
    ReleaseSession(session);
    return 0;
}

}  // namespace tonalis
