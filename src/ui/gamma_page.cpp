// Wizard page 309: the monitor's gamma, matched by eye with the sliders and
// patches, and the target gamma chosen from the list or typed.
#include <windows.h>

#include <prsht.h>

#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/page_helpers.h"
#include "ui/patterns.h"
#include "ui/procedures.h"
#include "ui/window_dpi.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    StartWizardPage(page, session, &g_pageWindows.gamma);
    InitGammaControls(page, session);
}

bool IsGammaPatch(UINT id) {
    return id == IDC_GAMMA_PATCH_CENTRE || id == IDC_GAMMA_PATCH_LEFT ||
           id == IDC_GAMMA_PATCH_RIGHT;
}

BOOL OnDrawItem(HWND page, const DRAWITEMSTRUCT* item) {
    const SessionContext* session = SessionOf(page);
    if (session == nullptr || !IsGammaPatch(item->CtlID)) {
        return FALSE;
    }
    DrawGammaPatch(item->hDC, item->rcItem, session->patternPalette,
                   GammaPatchCentreEntry(page, static_cast<int>(item->CtlID)),
                   session->isPaletteDevice != FALSE);
    return TRUE;
}

BOOL OnHScroll(HWND page, HWND slider, int code, int position) {
    SessionContext* session = SessionOf(page);
    return session != nullptr && OnGammaSlider(page, session, slider, code, position);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return;
    }
    switch (id) {
        case IDC_SINGLE_GAMMA:
            RefreshGammaPatches(page, session);
            break;
        case IDC_GAMMA_LIST:
            if (code == CBN_SELCHANGE) {
                ApplyGammaPreset(page, session, Control(page, IDC_GAMMA_LIST));
            }
            break;
        case IDC_GAMMA_EDIT:
            OnGammaEditNotification(page, session, code);
            break;
        case IDC_FINE_TUNE:
            OpenFineTuning(page, session);
            break;
        default:
            break;
    }
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    // Next and Back: a typed gamma that is refused keeps the user here.
    if (header->code == PSN_KILLACTIVE) {
        return SetDialogResult(page, LeaveGammaField(page, session) ? FALSE : TRUE);
    }
    return AnswerSheet(page, header,
                       {PSWIZB_BACK | PSWIZB_NEXT, IDD_HARDWARE_WHITE, IDD_PHOSPHORS});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLGammaDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_DRAWITEM:
            return OnDrawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_HSCROLL:
            return OnHScroll(page, reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        case WM_COMMAND:
            OnCommand(page, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
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
        case kGammaFieldLeft:
            OnGammaFieldLeft(page, SessionOf(page));
            return TRUE;
        case WM_DESTROY:
            EndWizardPage(page, &g_pageWindows.gamma);
            return FALSE;
        default:
            return FALSE;
    }
}
