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

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The part before the first full stop, compared without regard to case.
bool IsDeviceName(const wchar_t* name, size_t length) {
    size_t base = 0;
    while (base < length && name[base] != L'.') {
        ++base;
    }
    // CON, PRN, AUX and NUL alone; COM and LPT with a digit 1 to 9.
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"COM", L"LPT"};
    constexpr int kFirstNumbered = 4;
    for (int d = 0; d < 6; ++d) {
        const bool numbered = d >= kFirstNumbered;
        if (base != 3 + (numbered ? 1u : 0u)) {
            continue;
        }
        size_t i = 0;
        while (i < 3 && Upper(name[i]) == kDevices[d][i]) {
            ++i;
        }
        if (i == 3 && (!numbered || (name[3] >= L'1' && name[3] <= L'9'))) {
            return true;
        }
    }
    return false;
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
    return !IsDeviceName(name, length);
}

}  // namespace tonalis
