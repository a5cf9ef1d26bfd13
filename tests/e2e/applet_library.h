// The built TNP.cpl, loaded as the Control Panel loads it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tonalis::e2e {

using ControlPanelEntry = LONG(CALLBACK*)(HWND, UINT, LPARAM, LPARAM);

class AppletLibrary {
  public:
    AppletLibrary();
    ~AppletLibrary();
    AppletLibrary(const AppletLibrary&) = delete;
    AppletLibrary& operator=(const AppletLibrary&) = delete;

    HMODULE module() const { return module_; }
    LONG Send(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0) const;
    FARPROC Export(const char* name) const { return GetProcAddress(module_, name); }

  private:
    HMODULE module_;
    ControlPanelEntry entry_;
};

// Path of TNP.cpl beside the test program.
std::string AppletPath();

// Windows of this process that appear while the watcher runs; each is closed
// as soon as it is seen, so that a message box cannot hang a test.
class WindowWatcher {
  public:
    WindowWatcher();
    ~WindowWatcher();
    std::vector<std::string> Stop();

  private:
    static DWORD WINAPI Watch(LPVOID self);
    HANDLE thread_;
    volatile LONG stop_;
    std::vector<std::string> seen_;
    CRITICAL_SECTION lock_;
};

}  // namespace tonalis::e2e
