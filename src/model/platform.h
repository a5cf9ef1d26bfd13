// The few host services that the portable code needs. The DLL supplies Win32
// bodies; the native build supplies portable ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace tonalis::platform {

// Zero-filled memory; nullptr when none is available.
void* AllocateZeroed(size_t size);
void Release(void* block);

// The permission bits a new file gets when it replaces nothing.
constexpr unsigned kNewFilePermissions = ~0u;

// The file that a write to destination replaces: the destination itself, or
// the file its symbolic links lead to, so that the links stay. False when
// that is a read-only file (even for an administrator), no regular file
// (a folder, a device, a pipe, a link that leads nowhere), or a path longer
// than targetSize. *permissions receives the bits that the replacement
// keeps, kNewFilePermissions when nothing is there yet.
bool FindReplaceableFile(const char* destination, char* target, size_t targetSize,
                         unsigned* permissions);

// The length of the folder part of path, up to and including its last
// separator; 0 for a bare file name.
size_t FolderPartLength(const char* path);

enum class NewFileResult { kWritten, kNameTaken, kFailed };

// Creates the file only where no file or link of that name exists, writes the
// bytes and gives it the permissions. On failure nothing is left at path.
NewFileResult WriteNewFile(const char* path, const uint8_t* bytes, size_t size,
                           unsigned permissions);

// Moves the file at source over destination in one step, replacing any file
// there and, on Windows, reaching the disk before it returns. False, with
// both files as they were, when that cannot be done.
bool MoveFileOver(const char* source, const char* destination);

// Deletes a file that this process made.
void RemoveFile(const char* path);

// What the file system says of a file, enough to tell that it was replaced
// or written again: which file the path leads to, its size and its last write.
struct FileStamp {
    bool found = false;
    uint64_t volume = 0;  // the device, or on Windows the volume serial number
    uint64_t index = 0;   // the inode, or on Windows the file index
    uint64_t size = 0;
    int64_t written = 0;  // in the system's own units

    bool operator==(const FileStamp& other) const {
        return found == other.found && volume == other.volume && index == other.index &&
               size == other.size && written == other.written;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The stamp of the file the path leads to; found is false when there is none.
FileStamp StampOfFile(const char* path);

// Opens the file for binary reading; null, with errno set, when it cannot.
// Paths are UTF-8 on every system: on Windows the wide file functions take
// them, so a name outside the ANSI code page can be used.
std::FILE* OpenFileForReading(const char* path);

}  // namespace tonalis::platform
