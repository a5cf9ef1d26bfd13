// Dialog 322: what the white point measurement asks of the user, before the
// screen turns black.
#include <windows.h>

#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/white_point_measurement.h"

namespace tonalis {

namespace {

constexpr INT_PTR kCancelled = 0;
constexpr INT_PTR kChosen = 1;
constexpr INT_PTR kMeasurementCancelled = 2;

INT_PTR OnInitDialog(HWND dialog, LPARAM parameter) {
    AttachSession(dialog, reinterpret_cast<SessionContext*>(parameter));
    return TRUE;
}

void OnMeasure(HWND dialog) {
    SessionContext* session = SessionOf(dialog);
    if (session == nullptr) {
        EndDialog(dialog, kCancelled);
        return;
    }
    const INT_PTR result = MeasureWhitePoint(dialog, session);
    EndDialog(dialog, result == kChosen ? kChosen : kMeasurementCancelled);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDOK:
            OnMeasure(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kCancelled);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK InstructionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, lParam);
        case WM_COMMAND:
            return OnCommand(dialog, wParam);
        case WM_DESTROY:
            DetachSession(dialog);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR RunWhitePointInstructions(HWND owner, SessionContext* session) {
    const INT_PTR result =
        DialogBoxParamA(session->instance, MAKEINTRESOURCEA(IDD_WHITE_INSTRUCTIONS), owner,
                        InstructionsDialogProc, reinterpret_cast<LPARAM>(session));
    // A dialog that could not be made chose nothing.
    return result < 0 ? kCancelled : result;
}

}  // namespace tonalis
