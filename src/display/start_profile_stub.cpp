// Until profiles can be read, no monitor's profile loads: the record keeps its
// defaults, as for an unreadable profile.
#include "display/start_profile.h"

#include "resources/string_ids.h"

namespace tonalis {

int LoadStartProfile(HDC, int, const char*, MonitorSettings*) {
    return strings::kProfileUnreadable;
}

}  // namespace tonalis
