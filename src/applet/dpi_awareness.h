// Per-monitor DPI awareness of the run's thread. A thread that is not aware
// has its windows stretched as bitmaps on a scaled display, which blurs the
// single-pixel lines of the gamma patterns into greys.
#pragma once

#include <windows.h>

namespace tonalis {

// DPI_AWARENESS_CONTEXT, which the headers of older systems lack.
using DpiAwarenessContext = HANDLE;
using SetThreadDpiAwarenessContextProc = DpiAwarenessContext(WINAPI*)(DpiAwarenessContext);

const DpiAwarenessContext kPerMonitorAware = reinterpret_cast<DpiAwarenessContext>(-3);
const DpiAwarenessContext kPerMonitorAwareV2 = reinterpret_cast<DpiAwarenessContext>(-4);

struct DpiSystemCalls {
    // SetThreadDpiAwarenessContext of the system, or null where it lacks it
    // (before Windows 10, which does not stretch windows per monitor).
    SetThreadDpiAwarenessContextProc (*findSetThreadDpiAwarenessContext)();
};

// The real lookup; tests swap it and put it back.
extern DpiSystemCalls g_dpiSystemCalls;

// Makes the calling thread per-monitor aware (version 2, where dialogs follow
// a change of scale by themselves, else version 1) and gives it back its
// previous awareness when it goes.
class ScopedPerMonitorDpiAwareness {
  public:
    ScopedPerMonitorDpiAwareness();
    ~ScopedPerMonitorDpiAwareness();
    ScopedPerMonitorDpiAwareness(const ScopedPerMonitorDpiAwareness&) = delete;
    ScopedPerMonitorDpiAwareness& operator=(const ScopedPerMonitorDpiAwareness&) = delete;

  private:
    SetThreadDpiAwarenessContextProc set_;
    DpiAwarenessContext previous_;
};

}  // namespace tonalis
