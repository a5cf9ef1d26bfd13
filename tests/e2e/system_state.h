// What a run leaves in the system, read the way a user or an administrator
// would find it (registry values, files in the colour directory, associated
// profiles, the display's gamma ramp), and the clean state the scenarios
// start and end in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "system_registry.h"

namespace tonalis::e2e {

// Scenario files live here and are named with this prefix.
constexpr char kScratchFolder[] = "C:\\tnl-e2e";
constexpr char kTestProfilePrefix[] = "tnl-e2e";
constexpr char kMachineKey[] = "SOFTWARE\\Orvane\\Color\\Monitor";
constexpr char kUserKey[] = "SOFTWARE\\Orvane\\Tonalis";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Ramp {
    WORD entries[768];
};
// Largest difference between two ramps, entry by entry.
int RampDistance(const Ramp& a, const Ramp& b);
Ramp ScreenRamp();
void LoadScreenRamp(const Ramp& ramp);

// UTF-8 text in the tests' ANSI code page, as the applet shows it.
std::string Ansi(const char* utf8);

using testing::DeleteKeyTree;
using testing::kAssociationKey;
using testing::LibraryColorDirectory;
using testing::QueryDword;
using testing::QueryString;
void SetDword(HKEY root, const char* path, const char* name, DWORD value);

// The profiles the colour management lists as associated with monitors;
// with installedOnly, those whose file is in the colour directory (an
// association can outlive its file).
std::vector<std::string> AssociatedMonitorProfiles(bool installedOnly = false);
// What the system answers as the screen's profile.
std::string ScreenProfile();

std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

RECT MonitorRectOf(HWND window);
std::vector<RECT> MonitorRects();

// Before and after a scenario: no product registry keys, only the prefix's
// own profile in the colour directory and associated, an empty scratch
// folder, and the display's ramp as it was.
class CleanSystem {
  public:
    CleanSystem();
    ~CleanSystem();
    CleanSystem(const CleanSystem&) = delete;
    CleanSystem& operator=(const CleanSystem&) = delete;

  private:
    static void Clean();
    Ramp ramp_;
};

}  // namespace tonalis::e2e
