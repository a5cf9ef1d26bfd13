// Dialog 324, the control panel: every calibration setting in one dialog,
// saved with OK, or handed over to the wizard with its Wizard button.
#include "display/gamma_ramp_access.h"
#include "display/monitors.h"
#include "keeper/keeper_link.h"
#include "model/adjusted_white.h"
#include "model/matching.h"
#include "profile/registry.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/gamma_sliders.h"
#include "ui/logon_choice.h"
#include "ui/page_helpers.h"
#include "ui/patterns.h"
#include "ui/procedures.h"
#include "ui/profile_dialogs.h"
#include "ui/white_point_measurement.h"
#include "ui/window_dpi.h"

namespace tonalis {

namespace {

// Every control from the working settings.
void ShowAllSettings(HWND dialog, SessionContext* session) {
    ShowDescription(dialog, session);
    FillPhosphorList(dialog, session);
    InitGammaControls(dialog, session);
    FillWhiteList(dialog, session, IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
    FillAdjustedWhiteList(dialog, session);
}

void OnInitDialog(HWND dialog, SessionContext* session) {
    if (session == nullptr) {
        EndDialog(dialog, -1);
        return;
    }
    // Follows the window that showed the run before, if there was one; at the
    // start of a run the remembered monitor stands.
    if (session->frameWindow != nullptr) {
        SyncToWindowMonitor(session);
    }
    session->frameWindow = dialog;
    CentreOnCurrentMonitor(session);
    session->workingSettings = session->monitors[session->currentMonitor];
    session->savedSettings = session->workingSettings;
    AttachSession(dialog, session);
    session->uiMode = kUiModePanel;
    MakeDescriptionFieldWide(dialog);
    ShowAllSettings(dialog, session);
    ShowLogonChoice(dialog, session);
    session->panelShown = TRUE;
}

void OnMove(HWND dialog) {
    SessionContext* session = SessionOf(dialog);
    if (session != nullptr && SyncToWindowMonitor(session)) {
        ShowAllSettings(dialog, session);
        ShowLogonChoice(dialog, session);
    }
}

// OK and Wizard take what is typed: a gamma that is refused keeps the dialog
// open.
bool TakeTypedSettings(HWND dialog, SessionContext* session) {
    if (!LeaveGammaField(dialog, session)) {
        return false;
    }
    CopyDescription(dialog, session);
    return true;
}

// List 1202 after a load, a new hardware white or new primaries: the kept
// white may no longer be the same as the hardware's.
void ShowAdjustedWhite(HWND dialog, SessionContext* session) {
    if (session->workingSettings.hasGammaRamp == 1) {
        SelectWhiteEntry(session, Control(dialog, IDC_ADJUSTED_WHITE_LIST), kAdjustedWhite);
    }
}

// A load shows what it changed, keeping the loaded channels as they are: 1200
// is checked only when they count as one gamma. The gamma list keeps what it
// shows.
void OnLoad(HWND dialog, SessionContext* session) {
    if (!LoadProfileWithPrompt(dialog, session)) {
        return;
    }
    SelectPhosphorEntry(session, Control(dialog, IDC_PHOSPHOR_LIST));
    SetChecked(dialog, IDC_SINGLE_GAMMA, ChannelsMatch(session->workingSettings));
    ShowGammaSettings(dialog, session);
    SelectWhiteEntry(session, Control(dialog, IDC_HARDWARE_WHITE_LIST), kHardwareWhite);
    ShowAdjustedWhite(dialog, session);
    if (session->workingSettings.hasGammaRamp == 1) {
        ShowTargetGamma(dialog, session, Control(dialog, IDC_GAMMA_LIST), false);
    }
    PreviewWorkingRamp(session);
}

void OnMeasure(HWND dialog, SessionContext* session) {
    const MonitorSettings before = session->workingSettings;
    RunWhitePointInstructions(dialog, session);
    KeepAdjustedWhite(before, &session->workingSettings);
    FillWhiteList(dialog, session, IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
    ShowAdjustedWhite(dialog, session);
    PreviewWorkingRamp(session);
}

// The profile is saved and registered, and its table is left in the display;
// a profile that cannot be installed keeps the dialog open.
void OnOk(HWND dialog, SessionContext* session) {
    uint32_t monitor = static_cast<uint32_t>(session->currentMonitor);
    if (!TakeTypedSettings(dialog, session) || !SaveProfileDialog(dialog, session) ||
        !RegisterSavedProfile(dialog, session, monitor)) {
        return;
    }
    // A display that refuses the saved table is told, as on Finish.
    LoadWorkingRamp(session);
    session->isClosing = TRUE;
    WriteUserPreferences(kUiModePanel, monitor);
    KeepLogonChoice(dialog, monitor, session->monitorCount);
    // A running keeper would otherwise put the older calibration back.
    TellKeeperToReload(static_cast<int>(monitor));
    EndDialog(dialog, 0);
}

void OnCancel(HWND dialog, SessionContext* session) {
    // The focus leaving the gamma field as the dialog closes must not preview again.
    session->isClosing = TRUE;
    RestoreStartRamps(session);
    EndDialog(dialog, 0);
}

void OnWizard(HWND dialog, SessionContext* session) {
    if (TakeTypedSettings(dialog, session)) {
        EndDialog(dialog, IDC_PANEL_WIZARD);
    }
}

void OnListChange(HWND dialog, SessionContext* session, int id) {
    HWND list = Control(dialog, id);
    switch (id) {
        case IDC_PHOSPHOR_LIST:
            ApplyPhosphorEntry(dialog, session, list);
            ShowAdjustedWhite(dialog, session);
            break;
        case IDC_GAMMA_LIST:
            ApplyGammaPreset(dialog, session, list);
            break;
        case IDC_HARDWARE_WHITE_LIST:
            ApplyWhiteEntry(dialog, session, list, kHardwareWhite);
            ShowAdjustedWhite(dialog, session);
            break;
        case IDC_ADJUSTED_WHITE_LIST:
            ApplyWhiteEntry(dialog, session, list, kAdjustedWhite);
            break;
        default:
            return;
    }
    PreviewWorkingRamp(session);
}

void OnButton(HWND dialog, SessionContext* session, int id) {
    switch (id) {
        case IDC_LOAD:
            OnLoad(dialog, session);
            break;
        case IDC_MEASURE:
            OnMeasure(dialog, session);
            break;
        case IDC_FINE_TUNE:
            OpenFineTuning(dialog, session);
            break;
        case IDOK:
            OnOk(dialog, session);
            break;
        case IDCANCEL:
            OnCancel(dialog, session);
            break;
        case IDC_PANEL_WIZARD:
            OnWizard(dialog, session);
            break;
        default:
            break;
    }
}

void OnCommand(HWND dialog, int id, int code) {
    SessionContext* session = SessionOf(dialog);
    if (session == nullptr) {
        return;
    }
    if (id == IDC_DESCRIPTION && code == EN_UPDATE) {
        FilterDescriptionText(dialog);
    } else if (id == IDC_SINGLE_GAMMA) {
        RefreshGammaPatches(dialog, session);
    } else if (id == IDC_GAMMA_EDIT) {
        OnGammaEditNotification(dialog, session, code);
    } else if (code == CBN_SELCHANGE) {
        OnListChange(dialog, session, id);
    } else if (code == BN_CLICKED) {
        OnButton(dialog, session, id);
    }
}

BOOL OnDrawItem(HWND dialog, const DRAWITEMSTRUCT* item) {
    const SessionContext* session = SessionOf(dialog);
    if (session == nullptr) {
        return FALSE;
    }
    bool paletteDevice = session->isPaletteDevice != FALSE;
    switch (item->CtlID) {
        case IDC_BRIGHTNESS_PATTERN:
            DrawBrightnessStrip(item->hDC, item->rcItem, session->patternPalette, paletteDevice);
            return TRUE;
        case IDC_GAMMA_PATCH_CENTRE:
        case IDC_GAMMA_PATCH_LEFT:
        case IDC_GAMMA_PATCH_RIGHT:
            DrawGammaPatch(item->hDC, item->rcItem, session->patternPalette,
                           GammaPatchCentreEntry(dialog, static_cast<int>(item->CtlID)),
                           paletteDevice);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL OnHScroll(HWND dialog, HWND slider, int code, int position) {
    SessionContext* session = SessionOf(dialog);
    return session != nullptr && OnGammaSlider(dialog, session, slider, code, position);
}

void OnDestroy(HWND dialog) {
    DetachSession(dialog);
}

}  // namespace

INT_PTR CALLBACK PanelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog, reinterpret_cast<SessionContext*>(lParam));
            return TRUE;
        case WM_MOVE:
            OnMove(dialog);
            return FALSE;
        case kGammaFieldLeft:
            OnGammaFieldLeft(dialog, SessionOf(dialog));
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_DRAWITEM:
            return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_HSCROLL:
            return OnHScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam),
                             HIWORD(wParam));
        case WM_QUERYNEWPALETTE:
            InvalidatePatternControls(dialog);
            return TRUE;
        case WM_PALETTECHANGED:
            OnPaletteChanged(dialog, SessionOf(dialog), reinterpret_cast<HWND>(wParam));
            return FALSE;
        case kDpiChanged:
        case kDpiChangedAfterParent:
            OnDpiChanged(dialog, message, lParam);
            return FALSE;
        case WM_DESTROY:
            OnDestroy(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tonalis
