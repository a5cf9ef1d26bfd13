// The temporary file and the one-step move of a replacing write.
#include "profile/file_replacement.h"

#include <cstdio>
#include <cstring>

#include "model/platform.h"

namespace tonalis {

namespace {

// The temporary name is the destination with a suffix, so that it lies in
// the same folder (a move within one volume is what can be done in one step)
// without taking the path apart, which multi-byte code pages make unsafe.
constexpr char kTemporarySuffix[] = ".%02u.tnl~";
constexpr unsigned kTemporaryAttempts = 100;
// Longer than any path the applet keeps (360 bytes), for the tool's sake.
constexpr size_t kMaxDestinationLength = 1024;
constexpr size_t kTemporaryPathSize = kMaxDestinationLength + sizeof kTemporarySuffix;

bool Exists(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

// Creates a temporary file that did not exist before; null when none can be.
std::FILE* CreateTemporary(const char* destination, char* path) {
    const size_t length = std::strlen(destination);
    if (length > kMaxDestinationLength) {
        return nullptr;
    }
    std::memcpy(path, destination, length);
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::snprintf(path + length, kTemporaryPathSize - length, kTemporarySuffix, attempt);
        if (!Exists(path)) {
            return std::fopen(path, "wb");
        }
    }
    return nullptr;
}

}  // namespace

bool WriteFileReplacing(const char* destination, const uint8_t* bytes, size_t size) {
    if (destination == nullptr || destination[0] == '\0') {
        return false;
    }
    char temporary[kTemporaryPathSize];
    std::FILE* file = CreateTemporary(destination, temporary);
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes, 1, size, file) == size;
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && platform::MoveFileOver(temporary, destination)) {
        return true;
    }
    std::remove(temporary);
    return false;
}

}  // namespace tonalis
