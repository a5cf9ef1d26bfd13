// Win32 host services for the portable code.
#include "model/platform.h"

#include <windows.h>

namespace tonalis::platform {

void* AllocateZeroed(size_t size) {
    return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
}

void Release(void* block) {
    if (block != nullptr) {
        GlobalFree(block);
    }
}

void OemToAnsiInPlace(char* text, size_t length) {
    if (text != nullptr && length > 0) {
        OemToCharBuffA(text, text, static_cast<DWORD>(length));
    }
}

namespace {

// Windows 9x has MoveFileExA only as a stub that fails. There the old file
// steps aside under a second name, and comes back when the new one cannot
// take its place, so that it is never lost.
bool MoveFileOverWithoutMoveFileEx(const char* source, const char* destination) {
    char aside[MAX_PATH + 8];
    if (lstrlenA(destination) >= MAX_PATH) {
        return false;
    }
    wsprintfA(aside, "%s.old~", destination);
    const bool existed = GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        DeleteFileA(aside);  // left by an earlier attempt; the destination is whole
    }
    if (existed && !MoveFileA(destination, aside)) {
        return false;
    }
    if (!MoveFileA(source, destination)) {
        if (existed) {
            MoveFileA(aside, destination);
        }
        return false;
    }
    if (existed) {
        DeleteFileA(aside);
    }
    return true;
}

}  // namespace

bool MoveFileOver(const char* source, const char* destination) {
    if (MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED &&
           MoveFileOverWithoutMoveFileEx(source, destination);
}

}  // namespace tonalis::platform
