// The keeper on Windows: a hidden window in the user's session that takes the
// system's display, power, session and device broadcasts, polls each
// monitor's table at the interval, and leaves the decisions to the core.
#pragma once

#include <windows.h>

#include <string>

#include "keeper/device_tables.h"
#include "keeper/keeper.h"

namespace tonalis {

struct KeeperSettings {
    UserKeepChoice choice;
    double interval = 2.0;  // seconds between polls
    bool tray = true;
    // After a wake or unlock, and the other times of the core; tests shorten none.
    keeper::KeeperTiming timing;
    // Each thing the keeper does, as it happens; null for none.
    void (*report)(const keeper::Notice& notice, void* context) = nullptr;
    void* reportContext = nullptr;
};

// The keeper's window on this thread, with every monitor's kept table loaded;
// null when the window cannot be made. It ends with its window.
HWND CreateKeeperWindow(const KeeperSettings& settings);

enum class KeeperEnd { kEnded, kAlreadyRunning, kNoWindow };

// Takes the session's keeper mutex, makes the window and runs its messages
// until WM_CLOSE, 结束 or the end of the session. When another keeper runs,
// tells it to reload and returns kAlreadyRunning with its process id.
KeeperEnd RunKeeper(const KeeperSettings& settings, DWORD* runningProcess);

// What the keeper of the window keeps, as --status prints it.
std::string KeeperStatusText(HWND window);

}  // namespace tonalis
