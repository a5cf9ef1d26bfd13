// The file moves of a replacing write, which tests replace: Windows 9x has no
// working MoveFileExA, and Wine cannot be made to fail a single move.
#pragma once

#include <windows.h>

namespace tonalis {

struct FileSystemCalls {
    // Looked up at run time; null where the system lacks it.
    BOOL(WINAPI* moveFileEx)(LPCSTR source, LPCSTR destination, DWORD flags);
    BOOL(WINAPI* moveFile)(LPCSTR source, LPCSTR destination);
};

// The real calls; tests swap entries and put them back.
extern FileSystemCalls g_fileSystemCalls;

}  // namespace tonalis
