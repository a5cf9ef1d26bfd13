// The logon choice: one value per monitor says which monitors TNP.cpl's
// loader gives back their registered profile's table, and the Run value that
// starts it stays while any of them wants it.
#include "ui/logon_choice.h"

#include "keeper/logon_rules.h"
#include "profile/logon_monitors.h"
#include "profile/registry.h"
#include "resources/resource.h"
#include "resources/string_ids.h"
#include "session/messages.h"
#include "session/session_context.h"
#include "ui/controls.h"

namespace tonalis {

namespace {

// The box as it stands for the monitor: a user who has chosen nothing yet
// finds it ticked, so that a first calibration comes back at logon.
bool LoadedAtLogon(uint32_t monitor) {
    if (!HasLogonChoice(monitor)) {
        return true;
    }
    switch (FindInstalledLoader()) {
        case InstalledLoader::kApplet:
            return WantsLogonLoad(monitor);
        case InstalledLoader::kTool:
            return true;
        default:
            return false;
    }
}

bool HasRegisteredProfile(uint32_t monitor) {
    char path[kProfilePathSize] = {};
    return ReadRegisteredProfilePath(monitor, path, sizeof path) == kRegistryOk && path[0] != '\0';
}

// tonalis.exe apply gives every monitor its table; the applet's loader goes
// by each monitor's choice, so the others that have a profile keep theirs.
void TakeOverFromTool(uint32_t monitor, int monitorCount) {
    for (int other = 0; other < monitorCount; ++other) {
        const uint32_t number = static_cast<uint32_t>(other);
        if (number != monitor && HasRegisteredProfile(number)) {
            SetLogonLoad(number, true);
        }
    }
}

}  // namespace

void ShowLogonChoice(HWND window, const SessionContext* session) {
    SetChecked(window, IDC_LOAD_AT_LOGON,
               LoadedAtLogon(static_cast<uint32_t>(session->currentMonitor)));
    ShowControl(window, IDC_LOAD_AT_LOGON, session->workingSettings.hasGammaRamp == 1);
}

void EnableLogonChoice(HWND window, const SessionContext* session, bool registering) {
    EnableWindow(GetDlgItem(window, IDC_LOAD_AT_LOGON), registering);
    SetChecked(window, IDC_LOAD_AT_LOGON,
               registering && LoadedAtLogon(static_cast<uint32_t>(session->currentMonitor)));
}

void KeepLogonChoice(HWND window, uint32_t monitor, int monitorCount) {
    if (!IsControlShown(window, IDC_LOAD_AT_LOGON)) {
        return;
    }
    const bool wanted = IsChecked(window, IDC_LOAD_AT_LOGON);
    const InstalledLoader installed = FindInstalledLoader();
    if (installed == InstalledLoader::kTool && !wanted) {
        TakeOverFromTool(monitor, monitorCount);
    }
    bool kept = SetLogonLoad(monitor, wanted);
    if (AnyMonitorWantsLogonLoad()) {
        // tonalis.exe apply already gives this monitor its table.
        if (installed != InstalledLoader::kTool || !wanted) {
            kept = InstallLogonLoader() && kept;
        }
    } else {
        kept = RemoveLogonLoader() && kept;
    }
    if (!kept) {
        ShowErrorMessage(ModuleInstance(), strings::kLogonChoiceFailed, strings::kProductName);
    }
}

}  // namespace tonalis
