// An instructions page for the white point measurement: Next runs the
// measurement. Exported, but not part of the wizard's sheet.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "model/adjusted_white.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/page_helpers.h"
#include "ui/procedures.h"
#include "ui/white_point_measurement.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

void OnInitDialog(HWND page, SessionContext* session) {
    if (session != nullptr) {
        AttachSession(page, session);
    }
}

LONG_PTR OnNext(HWND page, SessionContext* session) {
    const MonitorSettings before = session->workingSettings;
    MeasureWhitePoint(SheetFrame(page), session);
    KeepAdjustedWhite(before, &session->workingSettings);
    PreviewWorkingRamp(session);
    return session->workingSettings.hasGammaRamp == 1 ? IDD_ADJUSTED_WHITE : IDD_FINISH_PLAIN;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    if (header->code == PSN_WIZNEXT) {
        return GoToPage(page, OnNext(page, session));
    }
    return AnswerSheet(page, header, {PSWIZB_BACK | PSWIZB_NEXT, 0, IDD_HARDWARE_WHITE});
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLWhiteAdjDlg(HWND page, UINT message, WPARAM, LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_DESTROY:
            DetachSession(page);
            return FALSE;
        default:
            return FALSE;
    }
}
