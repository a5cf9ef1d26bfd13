// TNP.cpl's keeper, run by rundll32.exe with no console: each monitor's kept
// calibration stays in the display until the session ends. The command line
// takes --interval SECONDS, --monitor N, --no-tray and --logon (only the
// monitors whose logon choice asks for it); a keeper that already runs is
// told to load its profiles again.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "display/gamma_ramp_access.h"
#include "keeper/keeper_window.h"
#include "profile/logon_monitors.h"
#include "resources/string_ids.h"
#include "session/messages.h"

namespace tonalis {

namespace {

// Words of the command line that rundll32 passes, separated by blanks.
void ReadKeeperWords(const char* line, KeeperSettings* settings) {
    const char* word = line;
    while (word != nullptr && *word != '\0') {
        while (*word == ' ' || *word == '\t') {
            ++word;
        }
        const char* end = word + std::strcspn(word, " \t");
        const char* value = end + std::strspn(end, " \t");
        if (std::strncmp(word, "--no-tray", 9) == 0 && end - word == 9) {
            settings->tray = false;
        } else if (std::strncmp(word, "--logon", 7) == 0 && end - word == 7) {
            settings->choice.logonChoice = true;
        } else if (std::strncmp(word, "--interval", 10) == 0 && end - word == 10) {
            const double seconds = std::atof(value);
            // Out of range, the default stands, as a logon entry cannot say why.
            if (seconds >= 0.5 && seconds <= 60.0) {
                settings->interval = seconds;
            }
        } else if (std::strncmp(word, "--monitor", 9) == 0 && end - word == 9) {
            settings->choice.monitor = std::atoi(value);
        }
        word = end;
    }
}

}  // namespace

}  // namespace tonalis

extern "C" void CALLBACK TNLKeepCalibration(HWND, HINSTANCE, LPSTR commandLine, int) {
    using namespace tonalis;
    KeeperSettings settings;
    ReadKeeperWords(commandLine, &settings);
    // The installed logon entry starts it for every user: one who made no
    // calibration, or cleared the box, wants nothing kept.
    if (settings.choice.logonChoice && !AnyMonitorWantsLogonLoad()) {
        return;
    }
    // A table read that never returned switched the tables off for every run.
    if (RampReadsSwitchedOff()) {
        ShowErrorMessage(ModuleInstance(), strings::kTableFeaturesSwitchedOff,
                         strings::kProductName);
        return;
    }
    DWORD running = 0;
    RunKeeper(settings, &running);
}
