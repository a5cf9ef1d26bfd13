// The system calls of the display side that tests replace: the key state that
// overrides the crash guard, and the gamma ramp reads and writes, so that a
// ramp can fail on one monitor only.
#pragma once

#include <windows.h>

namespace tonalis {

struct DisplaySystemCalls {
    SHORT(WINAPI* getAsyncKeyState)(int key);
    BOOL(WINAPI* getDeviceGammaRamp)(HDC dc, LPVOID ramp);
    BOOL(WINAPI* setDeviceGammaRamp)(HDC dc, LPVOID ramp);
};

// The real calls; tests swap entries and put them back.
extern DisplaySystemCalls g_displaySystemCalls;

}  // namespace tonalis
