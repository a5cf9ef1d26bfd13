// System calls of the profile side that tests replace: the libraries resolved at
// run time ("mscms.dll" and "EnumDisplayDevicesA" of "user32.dll"), the version
// and system directory queries and the zero-filled allocations, so that tests
// can give states Wine cannot produce (a missing library or function, an older
// system, no system directory, no memory).
#pragma once

#include <windows.h>

namespace tonalis {

struct ProfileSystemCalls {
    HMODULE(WINAPI* loadLibrary)(LPCSTR name);
    FARPROC(WINAPI* findProcedure)(HMODULE module, LPCSTR name);
    BOOL(WINAPI* freeLibrary)(HMODULE module);
    BOOL(WINAPI* getVersionEx)(OSVERSIONINFOA* info);
    UINT(WINAPI* getSystemDirectory)(LPWSTR buffer, UINT size);
    HGLOBAL(WINAPI* globalAlloc)(UINT flags, SIZE_T bytes);
    HGLOBAL(WINAPI* globalFree)(HGLOBAL block);
};

// The real calls; tests swap entries and put them back.
extern ProfileSystemCalls g_profileSystemCalls;

// Zero-filled memory from GlobalAlloc, and its release (null is ignored).
void* AllocateZeroedBlock(SIZE_T bytes);
void ReleaseBlock(void* block);

}  // namespace tonalis
