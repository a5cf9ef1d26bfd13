// The profile a monitor starts with: the one the system associates with it,
// else the one the registry remembers (or the default settings profile).
#include "display/start_profile.h"

#include "session/messages.h"
#include "profile/load_monitor_profile.h"
#include "profile/profile_association.h"
#include "profile/registered_profile.h"

namespace tonalis {

int LoadStartProfile(HDC dc, int index, const char* deviceName, MonitorSettings* record) {
    char path[kProfilePathSize] = {};
    if (FindMonitorProfile(dc, kProfilePathSize, path, deviceName, ModuleInstance())) {
        return LoadMonitorProfile(path, record);
    }
    return LoadRegisteredProfile(index, record);
}

}  // namespace tonalis
