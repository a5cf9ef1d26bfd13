// The profile a monitor starts with: the one Tonalis saved for it last, else
// the one the system associates with it, else the default settings profile.
#include "display/start_profile.h"

#include "session/messages.h"
#include "profile/file_identity.h"
#include "profile/load_monitor_profile.h"
#include "profile/profile_association.h"
#include "profile/registered_profile.h"
#include "profile/registry.h"

namespace tonalis {

int LoadStartProfile(HDC dc, int index, const char* deviceName, MonitorSettings* record) {
    char path[kProfilePathSize] = {};
    // The profile the user saved last for the monitor, while it is there,
    // comes before whichever of its associations the system reports.
    if (index >= 0 &&
        ReadRegisteredProfilePath(static_cast<uint32_t>(index), path, sizeof path) == kRegistryOk &&
        FileExists(path) && LoadMonitorProfile(path, record) == 0) {
        return 0;
    }
    if (FindMonitorProfile(dc, kProfilePathSize, path, deviceName, ModuleInstance())) {
        return LoadMonitorProfile(path, record);
    }
    return LoadRegisteredProfile(index, record);
}

}  // namespace tonalis
