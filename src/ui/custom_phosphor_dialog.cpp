// Dialog 318: the chromaticities of the three primaries typed by the user,
// stored in the working settings only when all three pass.
#include "model/plausible_ranges.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/session_context.h"
#include "ui/controls.h"
#include "ui/custom_values.h"
#include "ui/procedures.h"

namespace tonalis {

namespace {

struct PrimaryFields {
    int x;
    int y;
};

// Red, green, blue: the order of the checks and of primaries[].
constexpr PrimaryFields kFields[3] = {
    {IDC_RED_X, IDC_RED_Y}, {IDC_GREEN_X, IDC_GREEN_Y}, {IDC_BLUE_X, IDC_BLUE_Y}};

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    SessionContext* session = reinterpret_cast<SessionContext*>(lParam);
    if (session == nullptr) {
        EndDialog(dialog, -1);
        return TRUE;
    }
    AttachSession(dialog, session);
    for (int c = kRed; c <= kBlue; ++c) {
        const Chromaticity& primary = session->workingSettings.primaries[c];
        ShowNumberField(dialog, kFields[c].x, primary.x);
        ShowNumberField(dialog, kFields[c].y, primary.y);
    }
    return TRUE;
}

// Reads one primary's fields; a refusal has been shown when it returns false.
bool ReadPrimary(HWND dialog, HINSTANCE instance, Channel channel, Chromaticity* primary) {
    const PrimaryFields& fields = kFields[channel];
    if (!ReadCoordinateField(dialog, instance, fields.x, &primary->x) ||
        !ReadCoordinateField(dialog, instance, fields.y, &primary->y)) {
        return false;
    }
    if (!ChromaticitySumInRange(*primary)) {
        RefuseField(dialog, instance, fields.y, strings::kChromaticitySumTooLarge, false);
        return false;
    }
    // A primary with y = 0 has no XYZ, so no profile could be written from it,
    // although blue's range starts at 0.
    if (primary->y == 0.0) {
        RefuseField(dialog, instance, fields.y, strings::kPhosphorsOutOfRange, false);
        return false;
    }
    if (!PhosphorInRange(channel, *primary)) {
        RefuseField(dialog, instance, fields.x, strings::kPhosphorsOutOfRange, false);
        return false;
    }
    return true;
}

void OnOk(HWND dialog) {
    SessionContext* session = SessionOf(dialog);
    if (session == nullptr) {
        EndDialog(dialog, -1);
        return;
    }
    Chromaticity primaries[3] = {};
    for (int c = kRed; c <= kBlue; ++c) {
        if (!ReadPrimary(dialog, session->instance, static_cast<Channel>(c), &primaries[c])) {
            return;
        }
    }
    for (int c = kRed; c <= kBlue; ++c) {
        session->workingSettings.primaries[c] = primaries[c];
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

INT_PTR CALLBACK TNLCustomPhosDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
