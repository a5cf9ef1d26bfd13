// The registry lookup in front of LoadMonitorProfile.
#include "profile/registered_profile.h"

#include "model/platform.h"
#include "profile/load_monitor_profile.h"
#include "profile/registry.h"
#include "resources/string_ids.h"

namespace tonalis {

int LoadRegisteredProfile(int index, MonitorSettings* record) {
    if (index < 0) {
        return strings::kInternalError;
    }
    auto* path = static_cast<char*>(platform::AllocateZeroed(kProfilePathSize));
    if (path == nullptr) {
        return strings::kNoMemory;
    }
    const int result =
        ReadMonitorProfilePath(static_cast<uint32_t>(index), path, kProfilePathSize) == kRegistryOk
            ? LoadMonitorProfile(path, record)
            : strings::kInternalError;
    platform::Release(path);
    return result;
}

}  // namespace tonalis
