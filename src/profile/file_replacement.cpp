// The temporary file and the one-step move of a replacing write.
#include "profile/file_replacement.h"

#include <cstdio>
#include <cstring>

#include "model/platform.h"

namespace tonalis {

namespace {

// The temporary file lies in the destination's folder, since only a move
// within one volume can be done in one step. Its name has a fixed length, so
// that a destination name near the system's limit still leaves room for it.
constexpr char kTemporaryName[] = "~tnl%02u.tmp";
constexpr unsigned kTemporaryAttempts = 100;
// Longer than any path the applet keeps (360 bytes), for the tool's sake.
constexpr size_t kMaxPathLength = 1024;

// Writes the bytes under the first free temporary name beside target; false
// when no name is free or the write fails, with nothing left behind.
bool WriteTemporary(const char* target, const uint8_t* bytes, size_t size, unsigned permissions,
                    char (&temporary)[kMaxPathLength + sizeof kTemporaryName]) {
    const size_t folder = platform::FolderPartLength(target);
    std::memcpy(temporary, target, folder);
    for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::snprintf(temporary + folder, sizeof temporary - folder, kTemporaryName, attempt);
        // Another save may own a name; exclusive creation makes sure that
        // this one never writes into its file, or through a planted link.
        switch (platform::WriteNewFile(temporary, bytes, size, permissions)) {
            case platform::NewFileResult::kWritten:
                return true;
            case platform::NewFileResult::kNameTaken:
                continue;
            case platform::NewFileResult::kFailed:
                return false;
        }
    }
    return false;
}

}  // namespace

bool WriteFileReplacing(const char* destination, const uint8_t* bytes, size_t size) {
    if (destination == nullptr || destination[0] == '\0') {
        return false;
    }
    char target[kMaxPathLength];
    unsigned permissions = 0;
    if (!platform::FindReplaceableFile(destination, target, sizeof target, &permissions)) {
        return false;
    }
    char temporary[kMaxPathLength + sizeof kTemporaryName];
    if (!WriteTemporary(target, bytes, size, permissions, temporary)) {
        return false;
    }
    if (platform::MoveFileOver(temporary, target)) {
        return true;
    }
    platform::RemoveFile(temporary);
    return false;
}

}  // namespace tonalis
