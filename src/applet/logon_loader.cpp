// TNP.cpl's loader for the logon, run by rundll32.exe from the user's Run key:
// every monitor that wants it gets the table of its kept profile back, as
// tonalis.exe apply gives it. Silent unless something fails, and then one
// message names each monitor that could not be loaded and why.
#include <windows.h>

#include <string>
#include <vector>

#include "display/gamma_ramp_access.h"
#include "display/kept_calibration.h"
#include "resources/string_ids.h"
#include "session/messages.h"

namespace tonalis {

namespace {

std::string LoadText(int id) {
    char text[256] = {};
    LoadStringA(ModuleInstance(), static_cast<UINT>(id), text, sizeof text);
    return text;
}

// Why the monitor kept its table, or empty when it needs no word.
std::string Failure(const KeptResult& result) {
    const MonitorLoadPlan& load = result.load;
    switch (result.outcome) {
        case KeptOutcome::kRefused:
            return LoadText(strings::kKeptTableRefused);
        case KeptOutcome::kNotHeld:
            return LoadText(strings::kKeptTableNotHeld);
        case KeptOutcome::kUnusable:
            break;
        default:
            // A monitor that wants its calibration back has had one saved.
            return result.wanted && load.table == TableVerdict::kNoProfile
                       ? LoadText(strings::kKeptNoProfile)
                       : std::string();
    }
    switch (load.table) {
        case TableVerdict::kRegisteredMissing:
            return LoadText(strings::kKeptProfileMissing) + load.profile;
        case TableVerdict::kRegisteredUnreadable:
            return LoadText(load.readResult) + " " + load.profile;
        default:
            return LoadText(strings::kKeptProfileWithoutTable) + load.profile;
    }
}

}  // namespace

}  // namespace tonalis

extern "C" void CALLBACK TNLLoadCalibration(HWND, HINSTANCE, LPSTR, int) {
    using namespace tonalis;
    // A table read that never returned switched the tables off for every run.
    if (RampReadsSwitchedOff()) {
        ShowErrorMessage(ModuleInstance(), strings::kTableFeaturesSwitchedOff,
                         strings::kProductName);
        return;
    }
    std::vector<KeptResult> results(kMostKeptMonitors);
    const int count = LoadKeptCalibrations(results.data(), kMostKeptMonitors);
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string failure = Failure(results[i]);
        if (!failure.empty()) {
            text += std::string("\r\n") + results[i].load.device.text + ": " + failure;
        }
    }
    if (!text.empty()) {
        ShowErrorText(nullptr, (LoadText(strings::kKeptTablesNotLoaded) + text).c_str(),
                      strings::kProductName);
    }
}
