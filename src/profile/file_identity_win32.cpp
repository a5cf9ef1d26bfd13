// File identity from GetFileInformationByHandle.
#include "profile/file_identity.h"

#include <windows.h>

#include "model/wide_path_win32.h"

namespace tonalis {

namespace {

// Opened for no access, so that neither a file held open by another program
// nor a folder (backup semantics) keeps it from being identified.
bool IdentifyFile(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file =
        CreateFileW(WidePath(path).get(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = GetFileInformationByHandle(file, info) != FALSE;
    CloseHandle(file);
    return known;
}

}  // namespace

bool IsSameFile(const char* first, const char* second) {
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    if (first == nullptr || second == nullptr || !IdentifyFile(first, &a) ||
        !IdentifyFile(second, &b)) {
        return false;
    }
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool ReadFileStamp(const char* path, FileStamp* stamp) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (path == nullptr || path[0] == '\0' || !IdentifyFile(path, &info)) {
        return false;
    }
    stamp->volume = info.dwVolumeSerialNumber;
    stamp->index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    stamp->size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    stamp->written =
        (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool FileExists(const char* path) {
    return path != nullptr && GetFileAttributesW(WidePath(path).get()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tonalis
