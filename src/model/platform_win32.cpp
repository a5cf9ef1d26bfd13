// Win32 host services for the portable code.
#include "model/platform.h"

#include <windows.h>

#include "model/file_system_calls.h"
#include "model/wide_path_win32.h"

namespace tonalis {

namespace {

using MoveFileExFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);

MoveFileExFunction LookUpMoveFileEx() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<MoveFileExFunction>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExW")));
}

}  // namespace

FileSystemCalls g_fileSystemCalls = {LookUpMoveFileEx(), MoveFileW};

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
    const WidePath wide(destination);
    const DWORD attributes = GetFileAttributesW(wide.get());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;  // nothing there yet; a path that cannot be written fails later
    }
    // The system's own replace refuses a read-only file, even to an administrator.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    // Device names such as NUL or COM1 have attributes too.
    HANDLE file = CreateFileW(wide.get(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;  // held open by another program: the move decides
    }
    const bool onDisk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return onDisk;
}

// In UTF-8 no byte of a longer character is a separator.
size_t FolderPartLength(const char* path) {
    size_t length = 0;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') {
            length = size_t(at - path) + 1;
        }
    }
    return length;
}

NewFileResult WriteNewFile(const char* path, const uint8_t* bytes, size_t size, unsigned) {
    const WidePath wide(path);
    HANDLE file = CreateFileW(wide.get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
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
        DeleteFileW(wide.get());
        return NewFileResult::kFailed;
    }
    return NewFileResult::kWritten;
}

namespace {

// Windows 9x has MoveFileEx only as a stub that fails. There the old file
// steps aside under a second name, and comes back when the new one cannot
// take its place, so that it is never lost.
bool MoveFileOverWithoutMoveFileEx(const wchar_t* source, const wchar_t* destination) {
    wchar_t aside[kWidePathSize + 8];
    wsprintfW(aside, L"%s.old~", destination);
    const bool existed = GetFileAttributesW(destination) != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        DeleteFileW(aside);  // left by an earlier attempt; the destination is whole
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
        DeleteFileW(aside);
    }
    return true;
}

}  // namespace

bool MoveFileOver(const char* source, const char* destination) {
    const WidePath from(source);
    const WidePath to(destination);
    const MoveFileExFunction moveFileEx = g_fileSystemCalls.moveFileEx;
    if (moveFileEx != nullptr &&
        moveFileEx(from.get(), to.get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (moveFileEx != nullptr && GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return false;
    }
    return MoveFileOverWithoutMoveFileEx(from.get(), to.get());
}

void RemoveFile(const char* path) {
    DeleteFileW(WidePath(path).get());
}

std::FILE* OpenFileForReading(const char* path) {
    const WidePath wide(path);
    return wide.get()[0] == L'\0' ? nullptr : _wfopen(wide.get(), L"rb");
}

// Opened for no access, so that neither a file held open by another program
// nor a folder (backup semantics) keeps it from being identified.
FileStamp StampOfFile(const char* path) {
    FileStamp stamp;
    HANDLE file =
        CreateFileW(WidePath(path).get(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info)) {
        stamp.found = true;
        stamp.volume = info.dwVolumeSerialNumber;
        stamp.index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        stamp.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        stamp.written = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return stamp;
}

}  // namespace platform
}  // namespace tonalis
