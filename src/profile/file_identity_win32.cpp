// File identity from the stamp the platform reads (GetFileInformationByHandle).
#include "profile/file_identity.h"

#include <windows.h>

#include "model/wide_path_win32.h"

namespace tonalis {

bool IsSameFile(const char* first, const char* second) {
    if (first == nullptr || second == nullptr) {
        return false;
    }
    const platform::FileStamp a = platform::StampOfFile(first);
    const platform::FileStamp b = platform::StampOfFile(second);
    return a.found && b.found && a.volume == b.volume && a.index == b.index;
}

bool FileExists(const char* path) {
    return path != nullptr && GetFileAttributesW(WidePath(path).get()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tonalis
