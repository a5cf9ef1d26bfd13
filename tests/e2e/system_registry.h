// Registry values and the colour directory as the system holds them, read the
// same way by the Win32 suite and the end-to-end scenarios.
#pragma once

#include <windows.h>

#include <string>

namespace tonalis::testing {

// Where Wine's colour management lists the profiles associated with monitors.
constexpr char kAssociationKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ICM\\mntr";

void DeleteKeyTree(HKEY root, const char* path);
// The stored type and bytes; false when the value is missing.
bool QueryValue(HKEY root, const char* path, const char* name, DWORD* type, std::string* data);
bool QueryDword(HKEY root, const char* path, const char* name, DWORD* value);
// A REG_SZ value without its terminator.
bool QueryString(HKEY root, const char* path, const char* name, std::string* value);

// The colour directory as the colour-management library reports it, with a
// trailing backslash.
std::string LibraryColorDirectory();

}  // namespace tonalis::testing
