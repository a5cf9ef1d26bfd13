// Page 300, for testing only: overrides whether the system can set the
// monitor's lookup table. Exported, but not part of the wizard's sheet.
#include <windows.h>

#include <prsht.h>

#include "display/gamma_ramp_access.h"
#include "resources/resource.h"
#include "ui/controls.h"
#include "ui/procedures.h"
#include "ui/wizard_notifications.h"

namespace tonalis {

namespace {

// The start values that Cancel puts back.
constexpr char kStartRampFlagProperty[] = "TNLObj1WinProp";
constexpr char kStartTestValueProperty[] = "TNLObj2WinProp";

void OnInitDialog(HWND page, SessionContext* session) {
    if (session == nullptr) {
        return;
    }
    AttachSession(page, session);
    SetPropA(
        page, kStartRampFlagProperty,
        reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(session->workingSettings.hasGammaRamp)));
    SetPropA(page, kStartTestValueProperty,
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(session->testPageValue)));
}

INT_PTR OnActivate(HWND page, const SessionContext* session) {
    bool canControl = session->workingSettings.hasGammaRamp == 1;
    SetChecked(page, IDC_TEST_CAN_CONTROL, canControl);
    SetChecked(page, IDC_TEST_CANNOT_CONTROL, !canControl);
    return ShowWizardButtons(page, PSWIZB_NEXT);
}

LONG_PTR OnNext(HWND page, SessionContext* session) {
    if (IsChecked(page, IDC_TEST_CAN_CONTROL)) {
        session->workingSettings.hasGammaRamp = 1;
    } else if (IsChecked(page, IDC_TEST_CANNOT_CONTROL)) {
        session->workingSettings.hasGammaRamp = 0;
    }
    return IDD_WELCOME;
}

INT_PTR OnCancel(HWND page, SessionContext* session) {
    UINT_PTR rampFlag = reinterpret_cast<UINT_PTR>(GetPropA(page, kStartRampFlagProperty));
    UINT_PTR testValue = reinterpret_cast<UINT_PTR>(GetPropA(page, kStartTestValueProperty));
    session->workingSettings.hasGammaRamp = static_cast<uint8_t>(rampFlag);
    session->testPageValue = static_cast<uint32_t>(testValue);
    return CancelWizardPage(page);
}

void OnDestroy(HWND page) {
    RemovePropA(page, kStartRampFlagProperty);
    RemovePropA(page, kStartTestValueProperty);
    DetachSession(page);
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    SessionContext* session = SessionOf(page);
    if (session == nullptr) {
        return FALSE;
    }
    switch (header->code) {
        case PSN_SETACTIVE:
            return OnActivate(page, session);
        case PSN_WIZNEXT:
            return GoToPage(page, OnNext(page, session));
        case PSN_KILLACTIVE:
            return AllowLeavingPage(page);
        case PSN_RESET:
            return OnCancel(page, session);
        default:
            return FALSE;
    }
}

}  // namespace

}  // namespace tonalis

extern "C" INT_PTR CALLBACK TNLTestDlg(HWND page, UINT message, WPARAM, LPARAM lParam) {
    using namespace tonalis;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(page, SessionOfPageRecord(lParam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_DESTROY:
            OnDestroy(page);
            return FALSE;
        default:
            return FALSE;
    }
}
