// The crash guard around the start-up ramp reads. Some display drivers never
// return from reading the ramp; the flag "GammaCrashed" survives such a crash,
// and later runs leave the ramps alone until the user holds Ctrl+Shift.
#include "display/display_system_calls.h"
#include "display/gamma_ramp_access.h"
#include "profile/registry_keys.h"

namespace tonalis {

namespace {

constexpr char kGammaCrashed[] = "GammaCrashed";
constexpr uint32_t kReadInProgress = 1;
constexpr uint32_t kClear = 0;

}  // namespace

bool IsKeyDown(int virtualKey) {
    return (g_displaySystemCalls.getAsyncKeyState(virtualKey) & 0x8000) != 0;
}

bool BeginRampAccess() {
    bool overridden = IsKeyDown(VK_CONTROL) && IsKeyDown(VK_SHIFT);
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return false;
    }
    KeyChain chain(HKEY_CURRENT_USER);
    // A key that cannot be opened must not stop the read.
    if (!OpenUserProductKey(strings, &chain)) {
        return true;
    }
    uint32_t flag = kClear;
    QuerySmallValue(chain.innermost(), kGammaCrashed, &flag);
    if (flag == kReadInProgress && !overridden) {
        return false;
    }
    SetDwordValue(chain.innermost(), kGammaCrashed, kReadInProgress);
    return true;
}

void EndRampAccess() {
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return;
    }
    KeyChain chain(HKEY_CURRENT_USER);
    if (OpenUserProductKey(strings, &chain)) {
        SetDwordValue(chain.innermost(), kGammaCrashed, kClear);
    }
}

bool RampReadsSwitchedOff() {
    ScopedRegistryStrings strings;
    KeyChain chain(HKEY_CURRENT_USER);
    uint32_t flag = kClear;
    return strings.Load() && OpenUserProductKey(strings, &chain) &&
           QuerySmallValue(chain.innermost(), kGammaCrashed, &flag) && flag == kReadInProgress;
}

}  // namespace tonalis
