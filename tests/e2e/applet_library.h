// The built TNP.cpl, loaded as the Control Panel loads it.
#pragma once

#include <windows.h>

#include <string>

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

}  // namespace tonalis::e2e
