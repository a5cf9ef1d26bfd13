#include "profile/profile_system_calls.h"

namespace tonalis {

namespace {

BOOL WINAPI QueryVersion(OSVERSIONINFOA* info) {
    return GetVersionExA(info);
}

}  // namespace

ProfileSystemCalls g_profileSystemCalls = {
    LoadLibraryA,        GetProcAddress, FreeLibrary, QueryVersion,
    GetSystemDirectoryW, GlobalAlloc,    GlobalFree,
};

void* AllocateZeroedBlock(SIZE_T bytes) {
    return reinterpret_cast<void*>(g_profileSystemCalls.globalAlloc(GPTR, bytes));
}

void ReleaseBlock(void* block) {
    if (block != nullptr) {
        g_profileSystemCalls.globalFree(reinterpret_cast<HGLOBAL>(block));
    }
}

}  // namespace tonalis
