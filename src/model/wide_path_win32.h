// Paths are kept as UTF-8 text in the records, the registry readers and the
// portable code; the Win32 calls get them as UTF-16, so that every name the
// file system can store, outside the ANSI code page too, can be used.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tonalis {

// Longer than any path the applet or the tool keeps.
constexpr int kWidePathSize = 1024;

// A UTF-8 path converted for one wide call. Text that is not UTF-8, or too
// long, gives an empty path, which names no file.
class WidePath {
  public:
    explicit WidePath(const char* utf8) {
        if (utf8 == nullptr || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, text_,
                                                   kWidePathSize) == 0) {
            text_[0] = L'\0';
        }
    }
    const wchar_t* get() const { return text_; }

  private:
    wchar_t text_[kWidePathSize];
};

// The wide text as UTF-8 in out (size bytes); false, with out empty, when it
// does not fit.
inline bool NarrowPath(const wchar_t* wide, char* out, size_t size) {
    if (size == 0) {
        return false;
    }
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, static_cast<int>(size), nullptr, nullptr) ==
        0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace tonalis
