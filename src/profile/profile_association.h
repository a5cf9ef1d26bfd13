// The profile that the system associates with a monitor, and making a saved
// profile the monitor's only associated one.
#pragma once

#include <windows.h>

namespace tonalis {

struct SessionContext;

// The path (UTF-8) of the profile associated with the monitor's device context. Before
// NT 5 the first monitor-class profile associated with the monitor device
// replaces what the device context reports. The path is never longer than size.
bool FindMonitorProfile(HDC dc, DWORD size, char* path, const char* deviceName, HINSTANCE instance);

// Installs the profile named by workingSettings.profilePath into the colour
// directory and, only once that succeeded, makes it the one monitor-class
// profile associated with the monitor; profilePath then names the installed
// copy. Another file of its name there (the save dialog asks before that) is
// replaced only by a complete install; a profile that already is the installed
// file, under any spelling, is left in place. A failed install leaves the files
// and every association as they were, and gives false; a system that cannot
// install or associate (no colour management, no such monitor device) gives
// true with nothing done.
bool MakeDefaultMonitorProfile(SessionContext* session, unsigned number);

// The device ID of the first monitor on the display adapter with the given
// device name (compared without regard to case); false without
// EnumDisplayDevicesA or without such an adapter or monitor.
bool FindMonitorDeviceId(const char* deviceName, char* deviceId, DWORD size);

}  // namespace tonalis
