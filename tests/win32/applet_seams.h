// Fakes for the applet's system calls: a scripted system version, user and
// display, and a message box that records instead of showing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "session/system_calls.h"

namespace tonalis::testing {

struct ShownMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

struct FakeSystem {
    bool versionQueryWorks = true;
    bool onlyPlainVersionInfoWorks = false;
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD majorVersion = 5;
    bool isAdministrator = true;
    int bitsPerPixel = 32;
    int planes = 1;
    int rasterCaps = 0;
    int messageBoxAnswer = IDOK;
    int allocationsToFail = 0;

    std::vector<ShownMessage> messages;
    std::vector<DWORD> versionSizesAsked;
    int liveAllocations = 0;
    int releases = 0;
};

// Installs the fakes for the lifetime of the object and puts the real calls back.
class ScopedFakeSystem {
  public:
    ScopedFakeSystem();
    ~ScopedFakeSystem();
    FakeSystem& state() { return state_; }

  private:
    AppletSystemCalls saved_;
    FakeSystem state_;
};

// The string as LoadStringA gives it from the test program's own table.
std::string LoadTestString(int id);

}  // namespace tonalis::testing
