// One run of the applet: the session, then the control-panel dialog or the
// wizard, and the session released once the last window of the run is gone.
#include "applet/run_applet.h"

#include <commctrl.h>

#include "applet/dpi_awareness.h"
#include "applet/init_session.h"
#include "applet/single_run.h"
#include "display/start_ramp_memory.h"
#include "keeper/keeper_link.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/system_calls.h"
#include "ui/procedures.h"
#include "ui/wizard.h"

namespace tonalis {

namespace {

// The sheet header size of the first common-controls version.
constexpr DWORD kSheetHeaderSize = 52;
// Page index of the description page, where the panel's Wizard button leads.
constexpr UINT kDescriptionPageIndex = 1;
// Run result when the control-panel dialog ended the run.
constexpr int kPanelClosed = 1;
// Run result when the run of this logon session was shown instead.
constexpr int kAnotherRunShown = 0;

// The sheet steps through the page array by each record's size field, so the
// records lie 48 bytes apart; FillWizardPage writes only within those bytes.
static_assert(sizeof(PROPSHEETPAGEA_V2) == kWizardPageRecordSize, "page records lie apart");

SessionContext* AllocateSession() {
    return static_cast<SessionContext*>(
        g_appletSystemCalls.globalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(SessionContext)));
}

void ReleaseSession(SessionContext* session) {
    g_appletSystemCalls.globalFree(static_cast<HGLOBAL>(session));
}

// The trackbars of the gamma pages are a common control.
void RegisterCommonControls() {
    static bool registered = false;
    if (registered) {
        return;
    }
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    registered = InitCommonControlsEx(&controls) != FALSE;
}

void FillWizardPages(PROPSHEETPAGEA_V2* pages, SessionContext* session) {
    for (int i = 0; i < kWizardPageCount; ++i) {
        FillWizardPage(reinterpret_cast<PROPSHEETPAGEA*>(&pages[i]), kWizardPages[i].dialogId,
                       kWizardPages[i].procedure, session);
    }
}

void FillSheetHeader(PROPSHEETHEADERA* header, HWND owner, HINSTANCE instance,
                     const PROPSHEETPAGEA_V2* pages) {
    ZeroMemory(header, sizeof *header);
    header->dwSize = kSheetHeaderSize;
    header->dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header->hwndParent = owner;
    header->hInstance = instance;
    header->pszCaption = MAKEINTRESOURCEA(strings::kAppletInformation);
    header->nPages = kWizardPageCount;
    header->nStartPage = 0;
    header->ppsp = reinterpret_cast<const PROPSHEETPAGEA*>(pages);
}

// The panel first, when it was the version last used; true when its Wizard
// button asks for the wizard.
bool PanelLeadsToWizard(HWND owner, SessionContext* session) {
    INT_PTR result = DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_PANEL), owner,
                                     PanelDialogProc, reinterpret_cast<LPARAM>(session));
    return result == IDC_PANEL_WIZARD;
}

int ShowWindowsOfRun(HWND owner, HINSTANCE instance, SessionContext* session) {
    PROPSHEETPAGEA_V2 pages[kWizardPageCount];
    FillWizardPages(pages, session);
    PROPSHEETHEADERA header;
    FillSheetHeader(&header, owner, instance, pages);
    if (session->uiMode == kUiModePanel) {
        if (!PanelLeadsToWizard(owner, session)) {
            return kPanelClosed;
        }
        header.nStartPage = kDescriptionPageIndex;
    }
    return static_cast<int>(PropertySheetA(&header));
}

// The session, from its start-up checks to its release once the last window
// of the run is gone.
int RunSession(HWND owner, HINSTANCE instance) {
    // The patterns are drawn in device pixels: no window of the run is stretched.
    ScopedPerMonitorDpiAwareness awareness;
    SessionContext* session = AllocateSession();
    if (session == nullptr) {
        return -1;
    }
    if (!InitSession(session, owner, instance)) {
        ReleaseSession(session);
        return -1;
    }
    RegisterCommonControls();
    int result = ShowWindowsOfRun(owner, instance, session);
    // No window that holds the session exists any more.
    ForgetStartRamps();
    ReleaseSession(session);
    return result;
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
    int result = kAnotherRunShown;
    {
        SingleRun run;
        if (!run.IsFirst()) {
            return kAnotherRunShown;
        }
        result = RunSession(owner, instance);
    }
    // From here on the keeper keeps whatever the run left in the display.
    TellKeeperAppletEnded();
    return result;
}

}  // namespace tonalis
