// Wizard pages 312 and 313: the finish, with the before/after comparison on
// 312, and the save and registration of the profile.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "keeper/keeper_link.h"
#include "profile/registry.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/logon_choice.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"
#include "ui/profile_dialogs.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

// PSN_WIZFINISH answer that keeps the wizard open.
constexpr LONG_PTR kRefuseFinish = -1;
// The sheet's Finish button.
constexpr int kFinishButton = 0x3025;

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    AttachSession(page, session);
    SyncToWindowMonitor(session);
    SetChecked(page, IDC_AFTER, true);
    // Checked, and so left alone by a user of one monitor, who never sees it.
    SetChecked(page, IDC_DEFAULT_PROFILE, true);
    ShowControl(page, IDC_DEFAULT_PROFILE, session->monitorCount >= 2);
    ShowLogonChoice(page, session);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr || code != BN_CLICKED) {
        return;
    }
    if (id == IDC_BEFORE) {
        RestoreStartRamps(session);
    } else if (id == IDC_AFTER) {
        LoadWorkingRamp(session);
    } else if (id == IDC_DEFAULT_PROFILE) {
        EnableLogonChoice(page, session, IsChecked(page, IDC_DEFAULT_PROFILE));
    }
}

// The profile is saved and, as the monitor's default profile when 1185 is
// checked, registered; its table is left in the display, also when "before"
// was showing the start ramps. A profile that cannot be installed keeps the
// wizard open, as a save that fails does.
LONG_PTR OnFinish(HWND page, SessionContext* session) {
    const bool asDefault = IsChecked(page, IDC_DEFAULT_PROFILE);
    uint32_t monitor = static_cast<uint32_t>(session->currentMonitor);
    if (!SaveProfileDialog(page, session, asDefault) ||
        (asDefault && !RegisterSavedProfile(page, session, monitor))) {
        return kRefuseFinish;
    }
    LoadWorkingRamp(session);
    session->isClosing = TRUE;
    WriteUserPreferences(kUiModeWizard, monitor);
    // Without registering, the monitor keeps its logon choice for its older
    // profile: the box could not promise this one.
    if (asDefault) {
        KeepLogonChoice(page, monitor, session->monitorCount);
        // A running keeper would otherwise put the older calibration back.
        TellKeeperToReload(static_cast<int>(monitor));
    }
    return 0;
}

LONG_PTR OnBack(const SessionContext* session) {
    return session->workingSettings.hasGammaRamp == 1 ? IDD_ADJUSTED_WHITE : IDD_HARDWARE_WHITE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    if (header->code == PSN_WIZFINISH) {
        return SetDialogResult(page, OnFinish(page, session));
    }
    // Page 313 may hold nothing that takes the focus; Finish takes it, after
    // the button state posted on activation, so that Enter finishes.
    INT_PTR answer = AnswerSheet(page, header, {PSWIZB_BACK | PSWIZB_FINISH, 0, OnBack(session)});
    if (header->code == PSN_SETACTIVE && Control(page, IDC_AFTER) == nullptr) {
        HWND frame = SheetFrame(page);
        PostMessageA(frame, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(frame, kFinishButton)), TRUE);
    }
    return answer;
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLFinishFullDlg(HWND page, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
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
            DetachSession(page);
            return FALSE;
        default:
            return FALSE;
    }
}
