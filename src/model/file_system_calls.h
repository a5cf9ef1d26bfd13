// The file moves of a replacing write, which tests replace: Windows 9x has no
// working MoveFileExW, and Wine cannot be made to fail a single move.
#pragma once

#include <windows.h>

namespace tonalis {

struct FileSystemCalls {
    // Looked up at run time; null where the system lacks it.
    BOOL(WINAPI* moveFileEx)(LPCWSTR source, LPCWSTR destination, DWORD flags);
    BOOL(WINAPI* moveFile)(LPCWSTR source, LPCWSTR destination);
};

// The real calls; tests swap entries and put them back.
extern FileSystemCalls g_fileSystemCalls;

}  // namespace tonalis
