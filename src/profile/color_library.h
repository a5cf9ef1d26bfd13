// The colour-management library, loaded for each call and released right after
// it, so that the applet still runs on systems without it. Every wrapper gives
// false when the library or its function is missing.
#pragma once

#include <windows.h>
#include <icm.h>

#include "profile/profile_locations.h"

namespace tonalis {

HMODULE LoadColorLibrary();

// EnumColorProfilesA; an exception raised inside it gives false, and a size
// query (null buffer) counts as success whatever the function returns.
bool ColorEnumProfiles(const char* machine, ENUMTYPEA* record, BYTE* buffer, DWORD* size,
                       DWORD* count);
// Paths are UTF-8; the machine is always null (the local one).
bool ColorAssociateProfile(const char* machine, const char* profile, const char* device);
bool ColorDisassociateProfile(const char* machine, const char* profile, const char* device);
bool ColorInstallProfile(const char* machine, const char* profile);
// Whether the library is there with its install function.
bool ColorLibraryInstalls();

// An ENUMTYPEA that selects the monitor-class profiles of one monitor device.
ENUMTYPEA MonitorProfileQuery(const char* deviceId);

}  // namespace tonalis
