// Start-up checks and the filling of a new session record.
#include "applet/init_session.h"

#include "session/administrator.h"
#include "session/messages.h"
#include "session/system_calls.h"
#include "display/gamma_ramp_access.h"
#include "display/monitors.h"
#include "display/start_ramp_memory.h"
#include "profile/registry.h"
#include "resources/string_ids.h"
#include "ui/pattern_palette.h"

namespace tonalis {

namespace {

constexpr DWORD kVersionInfoExSize = 156;
constexpr DWORD kVersionInfoSize = 148;

// Administrator rights matter only on NT 5 and later; an unknown version skips the check.
bool IsNt5OrLater() {
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = kVersionInfoExSize;
    auto* plain = reinterpret_cast<OSVERSIONINFOA*>(&info);
    if (!g_appletSystemCalls.getVersionEx(plain)) {
        info = {};
        info.dwOSVersionInfoSize = kVersionInfoSize;
        if (!g_appletSystemCalls.getVersionEx(plain)) {
            return false;
        }
    }
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

// Returns the string to show when the display cannot show the patterns, else 0.
int CheckDisplayDepth(SessionContext* session, HWND owner) {
    HDC dc = GetDC(owner);
    int depth = g_appletSystemCalls.getDeviceCaps(dc, BITSPIXEL) *
                g_appletSystemCalls.getDeviceCaps(dc, PLANES);
    bool hasPalette = (g_appletSystemCalls.getDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(owner, dc);
    session->isPaletteDevice = hasPalette ? TRUE : FALSE;
    if (depth < 8) {
        return strings::kDisplayNeeds256Colours;
    }
    if (depth == 8 && !hasPalette) {
        return strings::kChangeTo256Colours;
    }
    return 0;
}

void TellUser(const SessionContext* session, int messageId) {
    AskUser(session->ownerWindow, session->instance, messageId, strings::kProductName,
            MB_OK | MB_ICONINFORMATION);
}

}  // namespace

bool InitSession(SessionContext* session, HWND owner, HINSTANCE instance) {
    session->isNt5OrLater = IsNt5OrLater() ? TRUE : FALSE;
    if (session->isNt5OrLater && !g_appletSystemCalls.isUserAdministrator()) {
        ShowErrorMessage(instance, strings::kAdministratorRequired, strings::kProductName);
        return false;
    }
    session->currentMonitor = 0;
    int displayProblem = CheckDisplayDepth(session, owner);
    if (displayProblem != 0) {
        ShowErrorMessage(instance, displayProblem, strings::kProductName);
        return false;
    }
    InitPatternPalette(&session->patternPalette);
    session->ownerWindow = owner;
    session->instance = instance;
    session->testPageValue = 0;
    session->whitePointStep = 5;

    uint32_t mode = 0;
    uint32_t lastMonitor = 0;
    ReadUserPreferences(&mode, &lastMonitor);
    session->uiMode = static_cast<BYTE>(mode & 0xFF);

    // Tables a dead run left behind go back before the displays are read, so
    // that this run starts from what the display held before that run.
    bool leftoverPutBack = PutBackLeftoverRamps();
    if (!SetUpMonitors(session)) {
        ForgetStartRamps();
        return false;
    }
    RememberStartRamps(session);
    if (leftoverPutBack) {
        TellUser(session, strings::kLeftoverTablePutBack);
    }
    if (RampReadsSwitchedOff()) {
        TellUser(session, strings::kTableFeaturesSwitchedOff);
    }
    if (lastMonitor < static_cast<uint32_t>(session->monitorCount)) {
        session->currentMonitor = static_cast<int32_t>(lastMonitor);
    }
    session->savedSettings = session->monitors[0];
    session->workingSettings = session->monitors[0];
    session->panelShown = FALSE;
    return true;
}

}  // namespace tonalis
