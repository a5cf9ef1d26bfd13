// Win32 host services for the portable code.
#include "model/platform.h"

#include <windows.h>

#include "model/file_system_calls.h"

namespace tonalis {

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

MoveFileExFunction LookUpMoveFileEx() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<MoveFileExFunction>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")));
}

}  // namespace

FileSystemCalls g_fileSystemCalls = {LookUpMoveFileEx(), MoveFileA};

namespace platform {

void* AllocateZeroed(size_t size) {
    return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
}

void Release(void* block) {
    if (block != nullptr) {
        GlobalFree(block);
    }
}

bool FindReplaceableFile(const char* destination, char* target, size_t targetSize,
                         unsigned* permissions) {
    *permissions = kNewFilePermissions;
    if (size_t(lstrlenA(destination)) >= targetSize) {
        return false;
    }
    lstrcpyA(target, destination);
    const DWORD attributes = GetFileAttributesA(destination);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;  // nothing there yet; a path that cannot be written fails later
    }
    // The system's own replace refuses a read-only file, even to an administrator.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    // Device names such as NUL or COM1 have attributes too.
    HANDLE file = CreateFileA(destination, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;  // held open by another program: the move decides
    }
    const bool onDisk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return onDisk;
}

// Walked character by character: in a double-byte code page the second byte
// of a character can be a backslash.
size_t FolderPartLength(const char* path) {
    size_t length = 0;
    for (const char* at = path; *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\' || *at == '/' || *at == ':') {
            length = size_t(at - path) + 1;
        }
    }
    return length;
}

NewFileResult WriteNewFile(const char* path, const uint8_t* bytes, size_t size, unsigned) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder of that name gives access denied; so does a folder that
        // cannot be written, which then runs out of names.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                       error == ERROR_ACCESS_DENIED
                   ? NewFileResult::kNameTaken
                   : NewFileResult::kFailed;
    }
    DWORD written = 0;
    bool complete = size <= MAXDWORD &&
                    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                    written == size;
    complete = FlushFileBuffers(file) && complete;
    complete = CloseHandle(file) && complete;
    if (!complete) {
        DeleteFileA(path);
        return NewFileResult::kFailed;
    }
    return NewFileResult::kWritten;
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
    if (existed && !g_fileSystemCalls.moveFile(destination, aside)) {
        return false;
    }
    if (!g_fileSystemCalls.moveFile(source, destination)) {
        if (existed) {
            g_fileSystemCalls.moveFile(aside, destination);
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
    const MoveFileExFunction moveFileEx = g_fileSystemCalls.moveFileEx;
    if (moveFileEx != nullptr &&
        moveFileEx(source, destination, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (moveFileEx != nullptr && GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return false;
    }
    return MoveFileOverWithoutMoveFileEx(source, destination);
}

void RemoveFile(const char* path) {
    DeleteFileA(path);
}

}  // namespace platform
}  // namespace tonalis
