// Dialogs 316 and 325: a white point typed by the user, stored as the hardware
// or the adjusted white point of the working settings.
#include "model/plausible_ranges.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/session_context.h"
#include "ui/controls.h"
#include "ui/custom_values.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

constexpr int kHardwareTarget = 1;
constexpr int kAdjustedTarget = 2;

// Null when the caller named neither point.
Chromaticity* TargetWhite(SessionContext* session) {
    switch (session->customWhiteTarget) {
        case kHardwareTarget:
            return &session->workingSettings.hardwareWhite;
        case kAdjustedTarget:
            return &session->workingSettings.adjustedWhite;
        default:
            return nullptr;
    }
}

// An adjusted white point of exactly (0, 0) was never computed; the hardware
// white point is the better starting value then.
Chromaticity StartingWhite(const SessionContext& session) {
    const MonitorSettings& settings = session.workingSettings;
    if (session.customWhiteTarget == kAdjustedTarget &&
        !(settings.adjustedWhite.x == 0.0 && settings.adjustedWhite.y == 0.0)) {
        return settings.adjustedWhite;
    }
    return settings.hardwareWhite;
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    SessionContext* session = reinterpret_cast<SessionContext*>(lParam);
    if (session == nullptr) {
        EndDialog(dialog, -1);
        return TRUE;
    }
    AttachSession(dialog, session);
    Chromaticity white = StartingWhite(*session);
    ShowNumberField(dialog, IDC_WHITE_X, white.x);
    ShowNumberField(dialog, IDC_WHITE_Y, white.y);
    return TRUE;
}

void OnOk(HWND dialog) {
    SessionContext* session = SessionOf(dialog);
    if (session == nullptr) {
        EndDialog(dialog, -1);
        return;
    }
    HINSTANCE instance = session->instance;
    Chromaticity white = {};
    if (!ReadCoordinateField(dialog, instance, IDC_WHITE_X, &white.x) ||
        !ReadCoordinateField(dialog, instance, IDC_WHITE_Y, &white.y)) {
        return;
    }
    if (!ChromaticitySumInRange(white)) {
        RefuseField(dialog, instance, IDC_WHITE_X, strings::kChromaticitySumTooLarge, false);
        return;
    }
    if (!WhitePointInRange(white)) {
        RefuseField(dialog, instance, IDC_WHITE_X, strings::kWhitePointOutOfRange, false);
        return;
    }
    if (Chromaticity* target = TargetWhite(session)) {
        *target = white;
    }
    EndDialog(dialog, 0);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, -1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

}  // namespace tonalis

using namespace tonalis;

INT_PTR CALLBACK TNLCustomWhiteDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
