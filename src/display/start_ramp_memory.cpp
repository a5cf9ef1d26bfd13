// Start ramps under the user's product key, one binary value per monitor and
// run: the display device's name, the ramp, then the owner.
#include "display/start_ramp_memory.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "session/session_context.h"
#include "display/kept_calibration.h"
#include "model/ramp_plausibility.h"
#include "profile/registry_keys.h"

namespace tonalis {

namespace {

constexpr char kRecordPrefix[] = "StartGammaRamp";
constexpr DWORD kLongestName = 64;

// The process id alone may come again in a later process.
struct ValueName {
    ValueName(int monitor, const RunOwner& owner) {
        snprintf(text, sizeof text, "%s%d-%lu-%08lX%08lX", kRecordPrefix, monitor,
                 static_cast<unsigned long>(owner.processId),
                 static_cast<unsigned long>(owner.processStart.dwHighDateTime),
                 static_cast<unsigned long>(owner.processStart.dwLowDateTime));
    }
    char text[kLongestName];
};

struct FoundRecord {
    std::string name;
    RememberedRamp remembered;
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

// Every record of any run, all read before any is deleted: deleting values
// while enumerating them skips some.
std::vector<FoundRecord> ReadRecords(HKEY key) {
    std::vector<FoundRecord> found;
    for (DWORD index = 0;; ++index) {
        char name[kLongestName];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        RememberedRamp remembered = {};
        DWORD size = sizeof remembered;
        LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&remembered), &size);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_BINARY || size != sizeof remembered ||
            strncmp(name, kRecordPrefix, sizeof kRecordPrefix - 1) != 0) {
            continue;  // another value, or one too large for a record
        }
        remembered.deviceName[kDeviceNameSize - 1] = '\0';
        found.push_back({name, remembered});
    }
    return found;
}

}  // namespace

void RememberRamp(int monitor, const RememberedRamp& remembered) {
    WithProductKey([monitor, &remembered](HKEY key) {
        RegSetValueExA(key, ValueName(monitor, remembered.owner).text, 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(&remembered), sizeof remembered);
    });
}

void RememberStartRamps(const SessionContext* session) {
    const RunOwner owner = CurrentRunOwner();
    for (int i = 0; i < session->monitorCount && i < kMaxMonitors; ++i) {
        const MonitorSettings& monitor = session->monitors[i];
        if (monitor.hasGammaRamp != 1) {
            continue;
        }
        RememberedRamp remembered = {};
        memcpy(remembered.deviceName, monitor.deviceName, sizeof remembered.deviceName);
        remembered.deviceName[kDeviceNameSize - 1] = '\0';
        remembered.ramp = monitor.ramp;
        remembered.owner = owner;
        RememberRamp(i, remembered);
    }
}

bool PutBackLeftoverRamps() {
    bool putBack = false;
    WithProductKey([&putBack](HKEY key) {
        for (const FoundRecord& found : ReadRecords(key)) {
            const RememberedRamp& remembered = found.remembered;
            if (StandingOf(remembered.owner) != OwnerStanding::kDead) {
                continue;
            }
            // A table no display starts with (all zero, say) would black the
            // screen and become this run's start table: it is dropped.
            if (IsPlausibleDisplayTable(remembered.ramp) &&
                LoadDeviceTable(remembered.deviceName, remembered.ramp) == TableTaken::kHeld) {
                putBack = true;
            }
            // Taken or not, the dead run's record has had its one chance.
            RegDeleteValueA(key, found.name.c_str());
        }
    });
    return putBack;
}

void ForgetStartRamps() {
    WithProductKey([](HKEY key) {
        const RunOwner self = CurrentRunOwner();
        for (const FoundRecord& found : ReadRecords(key)) {
            if (IsSameOwner(found.remembered.owner, self)) {
                RegDeleteValueA(key, found.name.c_str());
            }
        }
    });
}

}  // namespace tonalis
