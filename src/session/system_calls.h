// System calls that the start-up checks depend on, reached through pointers so
// that tests can give states Wine cannot produce (an old system, a
// non-administrator, a 16-colour display, a failing allocation).
#pragma once

#include <windows.h>

namespace tonalis {

struct AppletSystemCalls {
    BOOL(WINAPI* getVersionEx)(OSVERSIONINFOA* info);
    bool (*isUserAdministrator)();
    int(WINAPI* getDeviceCaps)(HDC dc, int index);
    int(WINAPI* messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
    HGLOBAL(WINAPI* globalAlloc)(UINT flags, SIZE_T bytes);
    HGLOBAL(WINAPI* globalFree)(HGLOBAL block);
};

// The real calls; tests swap entries and put them back.
extern AppletSystemCalls g_appletSystemCalls;

}  // namespace tonalis
