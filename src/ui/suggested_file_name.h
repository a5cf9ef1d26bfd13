// The file name the save dialog offers first.
#pragma once

#include "session/session_context.h"

namespace tonalis {

// The profile's own name when Tonalis wrote it; else a new one made from the
// description, that names no file in the folder yet, so that Enter never
// replaces a profile of the system or of another program. The folder and the
// name (size bytes) are UTF-8.
void SuggestFileName(const SessionContext& session, const char* folder, char* name, int size);

}  // namespace tonalis
