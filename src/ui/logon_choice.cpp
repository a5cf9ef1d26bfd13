// The logon choice after a save: the saved profile is registered for the
// monitor, so the loader finds it at the next logon.
#include "ui/logon_choice.h"

#include "profile/logon_entry.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "session/session_context.h"
#include "ui/controls.h"

namespace tonalis {

void ShowLogonChoice(HWND window, const SessionContext* session) {
    SetChecked(window, IDC_LOAD_AT_LOGON, true);
    ShowControl(window, IDC_LOAD_AT_LOGON, session->workingSettings.hasGammaRamp == 1);
}

void KeepLogonChoice(HWND window) {
    if (!IsControlShown(window, IDC_LOAD_AT_LOGON)) {
        return;
    }
    const bool kept =
        IsChecked(window, IDC_LOAD_AT_LOGON) ? InstallLogonLoader() : RemoveLogonLoader();
    if (!kept) {
        ShowErrorMessage(ModuleInstance(), strings::kLogonChoiceFailed, strings::kProductName);
    }
}

}  // namespace tonalis
