// The file name and the folder of a profile path, for the file dialogs. Paths
// are ANSI text: a separator is looked for, and a cut is made, only at the
// start of a character, never inside a double-byte one.
#include <windows.h>

#include <cstring>

#include "ui/profile_dialogs.h"

namespace tonalis {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Offset just after the last separator, 0 when there is none.
size_t FileNameStart(const char* path) {
    size_t start = 0;
    for (size_t i = 0; path[i] != '\0'; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1] != '\0') {
            ++i;
        } else if (IsSeparator(path[i])) {
            start = i + 1;
        }
    }
    return start;
}

// Copies at most length bytes of text, and fewer when the last would split a
// double-byte character, into output of size bytes, terminated.
void CopyCut(const char* text, size_t length, char* output, size_t size) {
    if (size == 0) {
        return;
    }
    size_t copied = 0;
    while (copied < length) {
        size_t step =
            IsDBCSLeadByte(static_cast<BYTE>(text[copied])) && copied + 1 < length ? 2 : 1;
        if (copied + step > size - 1) {
            break;
        }
        copied += step;
    }
    std::memcpy(output, text, copied);
    output[copied] = '\0';
}

}  // namespace

void PathFileName(const char* path, char* output, size_t size) {
    size_t start = FileNameStart(path);
    CopyCut(path + start, std::strlen(path + start), output, size);
}

void PathDirectory(const char* path, char* output, size_t size) {
    size_t length = FileNameStart(path);
    // A root keeps its backslash: "D:" alone would name the drive's current
    // folder, and an empty folder the process's.
    bool root = length == 1 || (length == 3 && path[1] == ':');
    if (length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/') && !root) {
        --length;
    }
    CopyCut(path, length, output, size);
}

}  // namespace tonalis
