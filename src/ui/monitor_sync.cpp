// Following the frame window to another monitor: the settings of the monitor
// left behind are dropped unless the user changed them.
#include "display/gamma_ramp_access.h"
#include "display/monitors.h"
#include "model/matching.h"
#include "ui/page_helpers.h"

namespace tonalis {

bool SyncToWindowMonitor(SessionContext* session) {
    int monitor = MonitorIndexOfWindow(session);
    int current = session->currentMonitor;
    if (monitor == current) {
        return false;
    }
    RestoreStartRamps(session);
    bool currentKnown = current >= 0 && current < kMaxMonitors;
    if (!currentKnown || SettingsEqual(session->workingSettings, session->monitors[current])) {
        session->workingSettings = session->monitors[monitor];
        session->savedSettings = session->workingSettings;
    }
    session->currentMonitor = monitor;
    return true;
}

}  // namespace tonalis
