// The logon choice of each monitor as "LoadAtLogon0", "LoadAtLogon1", ... under
// the user's product key, beside "GammaCrashed".
#include "profile/logon_monitors.h"

#include <windows.h>

#include "profile/registry_keys.h"

namespace tonalis {

namespace {

constexpr uint32_t kWanted = 1;

bool ValueName(uint32_t monitor, char (&name)[32]) {
    if (monitor >= kMostLogonMonitors) {
        return false;
    }
    wsprintfA(name, "LoadAtLogon%u", monitor);
    return true;
}

// False when the monitor has no choice recorded.
bool QueryLogonChoice(uint32_t monitor, uint32_t* value) {
    char name[32];
    ScopedRegistryStrings strings;
    KeyChain chain(HKEY_CURRENT_USER);
    return ValueName(monitor, name) && strings.Load() && OpenUserProductKey(strings, &chain) &&
           QuerySmallValue(chain.innermost(), name, value);
}

}  // namespace

bool WantsLogonLoad(uint32_t monitor) {
    uint32_t value = 0;
    return QueryLogonChoice(monitor, &value) && value == kWanted;
}

bool HasLogonChoice(uint32_t monitor) {
    uint32_t value = 0;
    return QueryLogonChoice(monitor, &value);
}

bool SetLogonLoad(uint32_t monitor, bool wanted) {
    char name[32];
    ScopedRegistryStrings strings;
    KeyChain chain(HKEY_CURRENT_USER);
    return ValueName(monitor, name) && strings.Load() && OpenUserProductKey(strings, &chain) &&
           SetDwordValue(chain.innermost(), name, wanted ? kWanted : 0);
}

bool AnyMonitorWantsLogonLoad() {
    for (uint32_t monitor = 0; monitor < kMostLogonMonitors; ++monitor) {
        if (WantsLogonLoad(monitor)) {
            return true;
        }
    }
    return false;
}

}  // namespace tonalis
