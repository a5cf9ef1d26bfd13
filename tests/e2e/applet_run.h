// One run of the applet on the calling thread, as the Control Panel runs it,
// while a script works its windows from a second thread. Message boxes are
// recorded and answered, and a watchdog closes whatever is left open, so
// that no run can hang the suite.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "applet_library.h"

namespace tonalis::e2e {

struct ShownMessage {
    std::string caption;
    std::string text;
};

struct RunRecord {
    LONG result = 0;
    std::vector<ShownMessage> messages;  // every message box, in order
    std::string failure;                 // why the script stopped early; empty when it ran through
    bool closedByWatchdog = false;       // windows were still open after the script
};

// run is called on this thread; script on a second one.
RunRecord RunWhileDriving(const std::function<LONG()>& run, const std::function<void()>& script);
// CPL_DBLCLK with the script driving.
RunRecord RunDoubleClick(const AppletLibrary& applet, const std::function<void()>& script);

// Runs work on the thread that runs the applet (inside its modal loop) and
// waits for it, or at once when no run is going on; only for work that opens
// no window. Gamma ramps are read and loaded there: Wine's X driver deadlocks
// when two threads of a process reach the ramp at the same time.
void OnAppletThread(const std::function<void()>& work);

// The message boxes shown so far in the current run.
std::vector<ShownMessage> MessagesSoFar();

}  // namespace tonalis::e2e
