// Portable host services for the native build (POSIX).
#include "model/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tonalis::platform {

void* AllocateZeroed(size_t size) {
    return std::calloc(1, size == 0 ? 1 : size);
}

void Release(void* block) {
    std::free(block);
}

namespace {

bool CopyPath(const char* path, char* target, size_t targetSize) {
    const size_t length = std::strlen(path);
    if (length >= targetSize) {
        return false;
    }
    std::memcpy(target, path, length + 1);
    return true;
}

// Whether the file may be replaced: a regular file with a write permission
// bit that this user may write. Root passes access() for any file, so the
// bits are looked at too.
bool IsWritableRegularFile(const char* path, const struct stat& status) {
    return S_ISREG(status.st_mode) && (status.st_mode & 0222) != 0 && access(path, W_OK) == 0;
}

}  // namespace

bool FindReplaceableFile(const char* destination, char* target, size_t targetSize,
                         unsigned* permissions) {
    struct stat status;
    if (lstat(destination, &status) != 0) {
        *permissions = kNewFilePermissions;
        return errno == ENOENT && CopyPath(destination, target, targetSize);
    }
    if (!S_ISLNK(status.st_mode)) {
        *permissions = status.st_mode & 07777;
        return IsWritableRegularFile(destination, status) &&
               CopyPath(destination, target, targetSize);
    }
    char* resolved = realpath(destination, nullptr);
    const bool replaceable = resolved != nullptr && stat(resolved, &status) == 0 &&
                             IsWritableRegularFile(resolved, status) &&
                             CopyPath(resolved, target, targetSize);
    std::free(resolved);
    *permissions = status.st_mode & 07777;
    return replaceable;
}

size_t FolderPartLength(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash == nullptr ? 0 : size_t(slash - path) + 1;
}

NewFileResult WriteNewFile(const char* path, const uint8_t* bytes, size_t size,
                           unsigned permissions) {
    // O_EXCL also refuses a link planted under the name, dangling or not.
    const int file = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0) {
        return errno == EEXIST ? NewFileResult::kNameTaken : NewFileResult::kFailed;
    }
    bool written = true;
    for (size_t done = 0; written && done < size;) {
        const ssize_t n = write(file, bytes + done, size - done);
        if (n > 0) {
            done += size_t(n);
        } else if (n == 0 || errno != EINTR) {
            written = false;
        }
    }
    // Until here only this user could read the file; now it gets the bits of
    // the file it replaces, or what the umask leaves of a new file's.
    if (permissions == kNewFilePermissions) {
        const mode_t mask = umask(0);
        umask(mask);
        permissions = 0666 & ~mask;
    }
    written = written && fchmod(file, mode_t(permissions)) == 0 && fsync(file) == 0;
    written = close(file) == 0 && written;
    if (!written) {
        unlink(path);
        return NewFileResult::kFailed;
    }
    return NewFileResult::kWritten;
}

// rename replaces the destination atomically on POSIX systems.
bool MoveFileOver(const char* source, const char* destination) {
    return std::rename(source, destination) == 0;
}

void RemoveFile(const char* path) {
    unlink(path);
}

std::FILE* OpenFileForReading(const char* path) {
    return std::fopen(path, "rb");
}

FileStamp StampOfFile(const char* path) {
    FileStamp stamp;
    struct stat status;
    if (stat(path, &status) == 0) {
        stamp.found = true;
        stamp.volume = status.st_dev;
        stamp.index = status.st_ino;
        stamp.size = uint64_t(status.st_size);
        stamp.written = int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    }
    return stamp;
}

}  // namespace tonalis::platform
