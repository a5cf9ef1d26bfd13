// The start-up checks of a run and the filling of its session record.
#pragma once

#include <windows.h>

#include "session/session_context.h"

namespace tonalis {

// False when the system cannot run the applet; the reason has been shown.
bool InitSession(SessionContext* session, HWND owner, HINSTANCE instance);

}  // namespace tonalis
