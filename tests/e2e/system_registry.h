// Registry values and the colour directory as the system holds them, read the
// same way by the Win32 suite and the end-to-end scenarios.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// Removes every file of the colour directory but the prefix's own profile,
// and every monitor association but that profile's; returns the names removed.
std::vector<std::string> CleanColorFolder();

// A suite's colour directory holds only what the prefix came with, from its
// start to its end: cleaned before and after, and the prefix's profile put
// back if the suite changed it. What the suite left is named on stderr.
class PrefixColorFolder {
  public:
    PrefixColorFolder();
    ~PrefixColorFolder();
    PrefixColorFolder(const PrefixColorFolder&) = delete;
    PrefixColorFolder& operator=(const PrefixColorFolder&) = delete;

  private:
    std::string ownBytes_;
};

}  // namespace tonalis::testing
