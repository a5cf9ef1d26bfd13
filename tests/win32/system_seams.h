// Fakes and helpers for the tests of the system side: the display set-up the
// suite runs on, the product's registry keys, the colour directory, and
// replacements for the calls that Wine cannot make fail or vary.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "display/display_system_calls.h"
#include "e2e/system_registry.h"
#include "display/monitor_api.h"
#include "model/monitor_settings.h"
#include "profile/profile_system_calls.h"

namespace tonalis::testing {

// TONALIS_DISPLAY_SETUP: "xvfb", "dummy", "dummy-right", "dummy-left" or empty.
std::string DisplaySetup();
bool IsTwoMonitorSetup();

// Deletes SOFTWARE\Orvane below both roots before and after a test.
class CleanProductKeys {
  public:
    CleanProductKeys() { Delete(); }
    ~CleanProductKeys() { Delete(); }

  private:
    static void Delete();
};

void SetValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
              DWORD size);

// A monitor-class RGB profile that Wine's colour management can open.
std::string SampleProfilePath();
// The monitor-class profile names that EnumColorProfilesA lists.
std::vector<std::string> EnumeratedMonitorProfiles();
// Whether Wine's association list for monitor profiles holds the file name.
bool IsAssociated(const std::string& fileName);
// Drops the association that a test's save left, once its file is gone.
void RemoveAssociation(const std::string& fileName);

struct FakeProfileSystem {
    bool colorLibraryMissing = false;
    std::set<std::string> missingProcedures;
    std::string replacedProcedure;
    FARPROC replacement = nullptr;
    bool versionQueryFails = false;
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD majorVersion = 5;
    bool systemDirectoryFails = false;
    int allocationToFail = 0;  // 1-based count of the allocation that fails; 0 for none
    bool everyAllocationFails = false;
    int allocations = 0;
    int liveAllocations = 0;
};

class ScopedFakeProfileSystem {
  public:
    ScopedFakeProfileSystem();
    ~ScopedFakeProfileSystem();
    FakeProfileSystem& state() { return state_; }

  private:
    ProfileSystemCalls saved_;
    FakeProfileSystem state_;
};

struct RampWrite {
    HWND window;  // the window whose own device context was used, else null
    GammaRamp ramp;
};

// How the fake display treats the tables it is given.
enum class FakeTables { Accepts, IgnoresAll, RefusesFarFromIdentity };

// Keys held, ramp reads that fail (by 0-based call number), and ramp writes
// that are recorded instead of made. Reads give the last table the display
// took, else the real ramp.
struct FakeDisplaySystem {
    std::set<int> keysDown;
    std::set<int> keysPressedEarlier;  // only the low bit of the key state
    std::set<int> failingReads;
    std::map<int, GammaRamp> scriptedReads;  // reads that give this ramp instead
    int reads = 0;
    std::vector<RampWrite> writes;
    FakeTables tables = FakeTables::Accepts;
    bool holdsTable = false;
    GammaRamp held = {};
};

class ScopedFakeDisplaySystem {
  public:
    ScopedFakeDisplaySystem();
    ~ScopedFakeDisplaySystem();
    FakeDisplaySystem& state() { return state_; }

  private:
    DisplaySystemCalls saved_;
    FakeDisplaySystem state_;
};

struct FakeMonitor {
    RECT rect;
    std::string device;
    bool primary;
};

// A desktop of the given monitors behind the multi-monitor functions that the
// applet calls (the two it never calls stay null);
// SM_CMONITORS reports reportedCount.
class ScopedFakeDesktop {
  public:
    ScopedFakeDesktop(std::vector<FakeMonitor> monitors, int reportedCount);
    ~ScopedFakeDesktop();
    int monitorFromWindowCalls() const;
    void SetReportedCount(int count);

  private:
    MonitorApiState saved_;
};

// A system without the multi-monitor functions: the fallbacks answer.
class ScopedMissingMonitorFunctions {
  public:
    ScopedMissingMonitorFunctions();
    ~ScopedMissingMonitorFunctions();

  private:
    MonitorApiState saved_;
};

}  // namespace tonalis::testing
