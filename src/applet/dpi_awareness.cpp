#include "applet/dpi_awareness.h"

namespace tonalis {

namespace {

SetThreadDpiAwarenessContextProc FindInUser32() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<SetThreadDpiAwarenessContextProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
}

}  // namespace

DpiSystemCalls g_dpiSystemCalls = {FindInUser32};

ScopedPerMonitorDpiAwareness::ScopedPerMonitorDpiAwareness()
    : set_(g_dpiSystemCalls.findSetThreadDpiAwarenessContext()), previous_(nullptr) {
    if (set_ == nullptr) {
        return;
    }
    previous_ = set_(kPerMonitorAwareV2);
    if (previous_ == nullptr) {
        previous_ = set_(kPerMonitorAware);
    }
}

ScopedPerMonitorDpiAwareness::~ScopedPerMonitorDpiAwareness() {
    if (set_ != nullptr && previous_ != nullptr) {
        set_(previous_);
    }
}

}  // namespace tonalis
