#include "profile/profile_file_name.h"

#include <cstring>
#include <cwchar>

namespace tonalis {

bool CollapseDoubledExtension(char* path) {
    char* found = strstr(path, ".icm.icc");
    if (found == nullptr) {
        found = strstr(path, ".ICM.icc");
    }
    if (found == nullptr) {
        return false;
    }
    // ".icc" is shorter than what it replaces, so it always fits.
    memcpy(found, ".icc", sizeof ".icc");
    return true;
}

namespace {

bool IsForbiddenCharacter(wchar_t c) {
    return c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr;
}

}  // namespace

bool IsStorableFileName(const wchar_t* name, size_t length) {
    if (length == 0 || name[length - 1] == L'.' || name[length - 1] == L' ') {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (IsForbiddenCharacter(name[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tonalis
