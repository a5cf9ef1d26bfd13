#include "profile/profile_file_name.h"

#include <cstdio>
#include <cstring>

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

bool FormatCurrentMonitorPath(char* path, size_t size, const char* colorDirectory,
                              unsigned number) {
    char formed[1024];
    int length =
        snprintf(formed, sizeof formed, "%sOrvane Current Monitor%u.icc", colorDirectory, number);
    if (length < 0 || static_cast<size_t>(length) >= sizeof formed ||
        static_cast<size_t>(length) >= size) {
        return false;
    }
    memcpy(path, formed, static_cast<size_t>(length) + 1);
    return true;
}

bool HasCharacterBeyondLatin1(const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned>(text[i]) > 0xFF) {
            return true;
        }
    }
    return false;
}

}  // namespace tonalis
