// The file name and the folder of a profile path, for the file dialogs. Paths
// are UTF-8: no byte of a longer character is a separator, and a cut is made
// only at the start of a character.
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
        if (IsSeparator(path[i])) {
            start = i + 1;
        }
    }
    return start;
}

// Whether the byte continues a character begun before it.
bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Copies at most length bytes of text, and fewer when the last would split a
// character, into output of size bytes, terminated.
void CopyCut(const char* text, size_t length, char* output, size_t size) {
    if (size == 0) {
        return;
    }
    size_t copied = length < size - 1 ? length : size - 1;
    while (copied > 0 && copied < length && IsContinuation(text[copied])) {
        --copied;
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
