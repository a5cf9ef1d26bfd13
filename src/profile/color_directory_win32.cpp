// The colour directory: the colour-management library's answer, else the
// system directory followed by "\Color\".
#include <cstring>

#include "model/wide_path_win32.h"
#include "profile/color_library.h"
#include "profile/profile_locations.h"
#include "profile/profile_system_calls.h"
#include "resources/string_ids.h"

namespace tonalis {

namespace {

using ColorDirectoryFunction = BOOL(WINAPI*)(PCWSTR, PWSTR, PDWORD);

// Room kept for the backslash that follows the library's answer.
constexpr DWORD kBackslashRoom = 2;
// Room kept after the system directory for "\Color\" from the string table.
constexpr DWORD kColorFolderRoom = 21;
constexpr int kColorFolderNameSize = 20;

// The library's answer as UTF-8, with room for a backslash after it.
bool AskColorLibrary(char* buffer, DWORD size) {
    if (size <= kBackslashRoom) {
        return false;
    }
    HMODULE library = LoadColorLibrary();
    if (library == nullptr) {
        return false;
    }
    auto function = reinterpret_cast<ColorDirectoryFunction>(
        reinterpret_cast<void*>(g_profileSystemCalls.findProcedure(library, "GetColorDirectoryW")));
    wchar_t directory[kWidePathSize];
    DWORD room = sizeof directory;
    const bool found = function != nullptr && function(nullptr, directory, &room) &&
                       NarrowPath(directory, buffer, size - kBackslashRoom + 1);
    g_profileSystemCalls.freeLibrary(library);
    if (found) {
        strcat(buffer, "\\");
    }
    return found;
}

bool SystemColorDirectory(HINSTANCE instance, char* buffer, DWORD size) {
    if (size <= kColorFolderRoom) {
        return false;
    }
    wchar_t directory[kWidePathSize];
    UINT length = g_profileSystemCalls.getSystemDirectory(directory, kWidePathSize);
    // A directory that did not fit leaves the buffer undefined, as no directory does.
    if (length == 0 || length >= kWidePathSize ||
        !NarrowPath(directory, buffer, size - kColorFolderRoom)) {
        return false;
    }
    length = static_cast<UINT>(strlen(buffer));
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
