// Wizard page 305: the monitor's hardware white point, chosen from the list,
// typed, or measured by eye.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "model/adjusted_white.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"
#include "ui/white_point_measurement.h"
#include "ui/wizard.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    StartWizardPage(page, session, &g_pageWindows.hardwareWhite);
    FillWhiteList(page, session, IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
}

// A new hardware white keeps the adjusted white: the display follows at once.
void OnMeasure(HWND page, SessionContext* session) {
    const MonitorSettings before = session->workingSettings;
    RunWhitePointInstructions(page, session);
    KeepAdjustedWhite(before, &session->workingSettings);
    FillWhiteList(page, session, IDC_HARDWARE_WHITE_LIST, kHardwareWhite);
    PreviewWorkingRamp(session);
}

void OnCommand(HWND page, int id, int code) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return;
    }
    if (id == IDC_MEASURE && code == BN_CLICKED) {
        OnMeasure(page, session);
    } else if (id == IDC_HARDWARE_WHITE_LIST && code == CBN_SELCHANGE) {
        ApplyWhiteEntry(page, session, Control(page, IDC_HARDWARE_WHITE_LIST), kHardwareWhite);
        PreviewWorkingRamp(session);
    }
}

// Without a settable lookup table there is no adjusted white point to choose.
LONG_PTR OnNext(const SessionContext* session) {
    return session->workingSettings.hasGammaRamp == 1 ? IDD_ADJUSTED_WHITE : IDD_FINISH_PLAIN;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    const SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    return AnswerSheet(page, header, {PSWIZB_BACK | PSWIZB_NEXT, OnNext(session), IDD_GAMMA});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLWhiteBalDlg(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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
            EndWizardPage(page, &g_pageWindows.hardwareWhite);
            return FALSE;
        default:
            return FALSE;
    }
}
