// The common file dialogs that open a monitor profile as the starting point
// and save the calibration as a profile, and the path helpers they use.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "session/session_context.h"

namespace tonalis {

// True when a profile was loaded into workingSettings; failures are shown.
bool OpenProfileDialog(HWND owner, SessionContext* session);
// True when a profile was written; failures are shown. The written file is
// to be installed in the colour directory unless installsCopy is false; a
// different file of its name there is replaced only when the user agrees.
bool SaveProfileDialog(HWND owner, SessionContext* session);
bool SaveProfileDialog(HWND owner, SessionContext* session, bool installsCopy);
// After a save: makes the saved profile the monitor's default and remembers
// it and the primary monitor; false, said over owner, when the profile could
// not be installed in the colour directory (then nothing was remembered).
bool RegisterSavedProfile(HWND owner, SessionContext* session, uint32_t monitor);

// File name and extension of the path, cut to size - 1 characters.
void PathFileName(const char* path, char* output, size_t size);
// Drive and folder of the path without a final backslash, cut to size - 1.
void PathDirectory(const char* path, char* output, size_t size);

}  // namespace tonalis
