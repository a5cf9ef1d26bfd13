// The colour directory: the colour-management library's answer, else the
// system directory followed by "\Color\".
#include <cstring>

#include "profile/color_library.h"
#include "profile/profile_locations.h"
#include "profile/profile_system_calls.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

using ColorDirectoryFunction = BOOL(WINAPI*)(PCSTR, PSTR, PDWORD);

// Room kept for the backslash that follows the library's answer.
constexpr DWORD kBackslashRoom = 2;
// Room kept after the system directory for "\Color\" from the string table.
constexpr DWORD kColorFolderRoom = 21;
constexpr int kColorFolderNameSize = 20;

bool AskColorLibrary(char* buffer, DWORD size) {
    if (size <= kBackslashRoom) {
        return false;
    }
    HMODULE library = LoadColorLibrary();
    if (library == nullptr) {
        return false;
    }
    bool found = false;
    auto function = reinterpret_cast<ColorDirectoryFunction>(
        reinterpret_cast<void*>(g_profileSystemCalls.findProcedure(library, "GetColorDirectoryA")));
    DWORD room = size - kBackslashRoom;
    if (function != nullptr && function(nullptr, buffer, &room)) {
        size_t length = strnlen(buffer, size - kBackslashRoom);
        if (length < size - kBackslashRoom) {
            buffer[length] = '\\';
            buffer[length + 1] = '\0';
            found = true;
        }
    }
    g_profileSystemCalls.freeLibrary(library);
    return found;
}

bool SystemColorDirectory(HINSTANCE instance, char* buffer, DWORD size) {
    if (size <= kColorFolderRoom) {
        return false;
    }
    UINT room = size - kColorFolderRoom;
    UINT length = g_profileSystemCalls.getSystemDirectory(buffer, room);
    // A directory that did not fit leaves the buffer undefined, as no directory does.
    if (length == 0 || length >= room) {
        return false;
    }
    if (buffer[length - 1] == '\\') {
        buffer[--length] = '\0';
    }
    char folder[kColorFolderNameSize] = {};
    LoadStringA(instance, strings::kColorFolderName, folder, kColorFolderNameSize);
    strcat(buffer, folder);
    strcat(buffer, "\\");
    return true;
}

}  // namespace

int GetColorDirectory(HINSTANCE instance, char* buffer, DWORD size) {
    if (buffer == nullptr) {
        return strings::kNoSystemDirectory;
    }
    if (AskColorLibrary(buffer, size) || SystemColorDirectory(instance, buffer, size)) {
        return 0;
    }
    return strings::kNoSystemDirectory;
}

}  // namespace tonalis
