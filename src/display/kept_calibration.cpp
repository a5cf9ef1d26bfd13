// Each monitor's kept calibration, found and loaded through a device context
// per display device, as the applet reaches the display.
#include "display/kept_calibration.h"

#include <cstring>

#include "display/display_system_calls.h"
#include "display/monitors.h"
#include "model/ramp_read_back.h"
#include "profile/file_identity.h"
#include "profile/load_monitor_profile.h"
#include "profile/logon_monitors.h"
#include "profile/profile_association.h"
#include "profile/registry.h"
#include "session/messages.h"

namespace tonalis {

namespace {

constexpr char kWholeScreen[] = "DISPLAY";

// A device context for one display device, deleted when it goes.
class DeviceContext {
  public:
    explicit DeviceContext(const char* device)
        : dc_(CreateDCA(device, nullptr, nullptr, nullptr)) {}
    ~DeviceContext() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

void CopyName(const char* from, DisplayDeviceName* to) {
    lstrcpynA(to->text, from, sizeof to->text);
}

// The monitor's own profile; *registered tells whether the applet registered
// it (else the system associates it). False when there is none.
bool FindKeptProfile(uint32_t number, const char* device, char* path, uint32_t size,
                     bool* registered) {
    if (ReadRegisteredProfilePath(number, path, size) == kRegistryOk && path[0] != '\0') {
        *registered = true;
        return true;
    }
    DeviceContext dc(device);
    if (dc.get() == nullptr ||
        !FindMonitorProfile(dc.get(), size, path, device, ModuleInstance()) || !FileExists(path)) {
        return false;
    }
    *registered = false;
    return true;
}

}  // namespace

bool SearchDisplayDevices(DisplayDeviceName* devices, int most, int* count) {
    const int limit = most < kMostKeptMonitors ? most : kMostKeptMonitors;
    const int counted = MonGetSystemMetrics(SM_CMONITORS);
    const int wanted = counted < limit ? counted : limit;
    MONITORINFOEXA found[kMostKeptMonitors];
    const int filled = wanted > 0 ? FindMonitorsInOrder(found, wanted) : 0;
    for (int i = 0; i < filled; ++i) {
        CopyName(found[i].szDevice, &devices[i]);
    }
    *count = filled;
    return filled > 0 && filled == wanted;
}

int FindDisplayDevices(DisplayDeviceName* devices, int most) {
    int count = 0;
    if (!SearchDisplayDevices(devices, most, &count)) {
        CopyName(kWholeScreen, &devices[0]);
        return 1;
    }
    return count;
}

bool ReadDeviceTable(const char* device, GammaRamp* ramp) {
    DeviceContext dc(device);
    return dc.get() != nullptr &&
           g_displaySystemCalls.getDeviceGammaRamp(dc.get(), ramp->entries) != FALSE;
}

bool WriteDeviceTable(const char* device, const GammaRamp& ramp) {
    // The call takes a non-const pointer but only reads from it.
    GammaRamp copy = ramp;
    DeviceContext dc(device);
    return dc.get() != nullptr &&
           g_displaySystemCalls.setDeviceGammaRamp(dc.get(), copy.entries) != FALSE;
}

TableTaken LoadDeviceTable(const char* device, const GammaRamp& ramp) {
    if (!WriteDeviceTable(device, ramp)) {
        return TableTaken::kRefused;
    }
    GammaRamp held = {};
    if (!ReadDeviceTable(device, &held)) {
        return TableTaken::kHeld;
    }
    return LargestEntryDifference(held, ramp) <= kReadBackTolerance ? TableTaken::kHeld
                                                                    : TableTaken::kNotHeld;
}

bool ReadProfileTable(const char* profile, GammaRamp* ramp, int* readResult, VcgtProblem* problem) {
    // Every form of table other tools write, as tonalis.exe apply reads them.
    VcgtCurves curves;
    *problem = VcgtProblem::kMissing;
    *readResult = ReadProfileCurves(profile, &curves, problem);
    if (*readResult != 0 || *problem != VcgtProblem::kNone) {
        return false;
    }
    *ramp = VcgtRamp(curves);
    return true;
}

void PlanMonitorLoad(uint32_t number, const char* device, MonitorLoadPlan* load) {
    *load = {};
    CopyName(device, &load->device);
    bool registered = false;
    if (!FindKeptProfile(number, device, load->profile, sizeof load->profile, &registered)) {
        load->table = TableVerdict::kNoProfile;
        return;
    }
    if (registered && !FileExists(load->profile)) {
        load->table = TableVerdict::kRegisteredMissing;
        return;
    }
    if (ReadProfileTable(load->profile, &load->ramp, &load->readResult, &load->problem)) {
        load->table = TableVerdict::kUsable;
    } else if (!registered) {
        load->table = TableVerdict::kAssociatedWithoutTable;
    } else {
        load->table = load->readResult != 0 ? TableVerdict::kRegisteredUnreadable
                                            : TableVerdict::kRegisteredWithoutTable;
    }
}

KeptOutcome LoadKeptCalibration(uint32_t number, const char* device, MonitorLoadPlan* load) {
    PlanMonitorLoad(number, device, load);
    if (IsRegisteredFailure(load->table)) {
        return KeptOutcome::kUnusable;
    }
    if (load->table != TableVerdict::kUsable) {
        return KeptOutcome::kNothingToLoad;
    }
    switch (LoadDeviceTable(load->device.text, load->ramp)) {
        case TableTaken::kHeld:
            return KeptOutcome::kLoaded;
        case TableTaken::kRefused:
            return KeptOutcome::kRefused;
        default:
            return KeptOutcome::kNotHeld;
    }
}

int LoadKeptCalibrations(KeptResult* results, int most) {
    DisplayDeviceName devices[kMostKeptMonitors];
    const int count = FindDisplayDevices(devices, most);
    for (int i = 0; i < count; ++i) {
        KeptResult& result = results[i];
        const uint32_t number = static_cast<uint32_t>(i);
        result.wanted = WantsLogonLoad(number);
        result.load = {};
        result.outcome = result.wanted ? LoadKeptCalibration(number, devices[i].text, &result.load)
                                       : KeptOutcome::kNothingToLoad;
    }
    return count;
}

}  // namespace tonalis
