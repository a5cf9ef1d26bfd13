// Start ramps under the user's product key, one binary value per monitor
// number: the display device's name, then the ramp.
#include "display/start_ramp_memory.h"

#include <cstdio>
#include <cstring>

#include "session/session_context.h"
#include "display/display_system_calls.h"
#include "profile/registry_keys.h"

namespace tonalis {

namespace {

struct RememberedRamp {
    char deviceName[kDeviceNameSize];
    GammaRamp ramp;
};

constexpr char kStartRampFormat[] = "StartGammaRamp%d";

struct ValueName {
    explicit ValueName(int monitor) { snprintf(text, sizeof text, kStartRampFormat, monitor); }
    char text[24];
};

// Runs work on the open product key; false when the key cannot be reached.
template <typename Work>
bool WithProductKey(Work work) {
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return false;
    }
    KeyChain chain(HKEY_CURRENT_USER);
    if (!OpenUserProductKey(strings, &chain)) {
        return false;
    }
    work(chain.innermost());
    return true;
}

bool PutBack(const RememberedRamp& remembered) {
    HDC dc = CreateDCA(remembered.deviceName, nullptr, nullptr, nullptr);
    if (dc == nullptr) {
        return false;
    }
    GammaRamp ramp = remembered.ramp;
    g_displaySystemCalls.setDeviceGammaRamp(dc, ramp.entries);
    DeleteDC(dc);
    return true;
}

}  // namespace

void RememberStartRamps(const SessionContext* session) {
    WithProductKey([session](HKEY key) {
        for (int i = 0; i < session->monitorCount && i < kMaxMonitors; ++i) {
            const MonitorSettings& monitor = session->monitors[i];
            if (monitor.hasGammaRamp != 1) {
                continue;
            }
            RememberedRamp remembered = {};
            memcpy(remembered.deviceName, monitor.deviceName, sizeof remembered.deviceName);
            remembered.deviceName[kDeviceNameSize - 1] = '\0';
            remembered.ramp = monitor.ramp;
            RegSetValueExA(key, ValueName(i).text, 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(&remembered), sizeof remembered);
        }
    });
}

bool PutBackLeftoverRamps() {
    bool putBack = false;
    WithProductKey([&putBack](HKEY key) {
        for (int i = 0; i < kMaxMonitors; ++i) {
            RememberedRamp remembered = {};
            DWORD size = sizeof remembered;
            DWORD type = 0;
            if (RegQueryValueExA(key, ValueName(i).text, nullptr, &type,
                                 reinterpret_cast<BYTE*>(&remembered), &size) != ERROR_SUCCESS ||
                type != REG_BINARY || size != sizeof remembered) {
                continue;
            }
            remembered.deviceName[kDeviceNameSize - 1] = '\0';
            putBack = PutBack(remembered) || putBack;
        }
    });
    return putBack;
}

void ForgetStartRamps() {
    WithProductKey([](HKEY key) {
        for (int i = 0; i < kMaxMonitors; ++i) {
            RegDeleteValueA(key, ValueName(i).text);
        }
    });
}

}  // namespace tonalis
