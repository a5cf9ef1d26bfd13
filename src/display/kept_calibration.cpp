// Each monitor's kept calibration, found and loaded through a device context
// per display device, as the applet reaches the display.
#include "display/kept_calibration.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "display/display_system_calls.h"
#include "display/monitors.h"
#include "model/ramp_read_back.h"
#include "profile/file_identity.h"
#include "profile/load_monitor_profile.h"
#include "profile/profile_association.h"
#include "profile/registry.h"
#include "resources/string_ids.h"
#include "session/messages.h"

namespace tonalis {

namespace {

constexpr char kWholeScreen[] = "DISPLAY";
// The X server behind Wine keeps fewer bits of a table than it is given.
constexpr int kKeptReadBackTolerance = 512;

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

}  // namespace

int FindDisplayDevices(DisplayDeviceName* devices, int most) {
    const int limit = most < kMostKeptMonitors ? most : kMostKeptMonitors;
    const int counted = MonGetSystemMetrics(SM_CMONITORS);
    const int wanted = counted < limit ? counted : limit;
    MONITORINFOEXA found[kMostKeptMonitors];
    const int filled = wanted > 0 ? FindMonitorsInOrder(found, wanted) : 0;
    if (filled == 0 || filled != wanted) {
        CopyName(kWholeScreen, &devices[0]);
        return 1;
    }
    for (int i = 0; i < filled; ++i) {
        CopyName(found[i].szDevice, &devices[i]);
    }
    return filled;
}

bool ReadDeviceTable(const char* device, GammaRamp* ramp) {
    DeviceContext dc(device);
    return dc.get() != nullptr &&
           g_displaySystemCalls.getDeviceGammaRamp(dc.get(), ramp->entries) != FALSE;
}

bool LoadDeviceTable(const char* device, const GammaRamp& ramp) {
    // The call takes a non-const pointer but only reads from it.
    GammaRamp copy = ramp;
    GammaRamp held = {};
    DeviceContext dc(device);
    return dc.get() != nullptr &&
           g_displaySystemCalls.setDeviceGammaRamp(dc.get(), copy.entries) != FALSE &&
           g_displaySystemCalls.getDeviceGammaRamp(dc.get(), held.entries) != FALSE &&
           LargestEntryDifference(held, ramp) <= kKeptReadBackTolerance;
}

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

void PlanKeptLoad(uint32_t number, const char* device, KeptLoad* load) {
    *load = {};
    CopyName(device, &load->device);
    bool registered = false;
    if (!FindKeptProfile(number, device, load->profile, sizeof load->profile, &registered)) {
        load->table = KeptTable::kNoProfile;
        return;
    }
    // Every form of table other tools write, as tonalis.exe apply reads them.
    VcgtCurves curves;
    VcgtProblem problem = VcgtProblem::kMissing;
    load->readResult = ReadProfileCurves(load->profile, &curves, &problem);
    if (load->readResult == 0 && problem == VcgtProblem::kNone) {
        for (int c = 0; c < 3; ++c) {
            const std::vector<uint16_t> entries = SampleVcgtCurve(curves, c, kRampSize);
            std::copy(entries.begin(), entries.end(), load->ramp.Channel(c));
        }
        load->table = KeptTable::kUsable;
    } else {
        load->table =
            registered ? KeptTable::kRegisteredUnusable : KeptTable::kAssociatedWithoutTable;
    }
}

int LoadKeptCalibrations() {
    DisplayDeviceName devices[kMostKeptMonitors];
    const int count = FindDisplayDevices(devices, kMostKeptMonitors);
    KeptLoad loads[kMostKeptMonitors];
    for (int i = 0; i < count; ++i) {
        PlanKeptLoad(static_cast<uint32_t>(i), devices[i].text, &loads[i]);
        if (loads[i].table == KeptTable::kRegisteredUnusable) {
            return strings::kKeptTableUnusable;
        }
    }
    int result = 0;
    for (int i = 0; i < count; ++i) {
        if (loads[i].table == KeptTable::kUsable &&
            !LoadDeviceTable(loads[i].device.text, loads[i].ramp)) {
            result = strings::kKeptTableRefused;
        }
    }
    return result;
}

}  // namespace tonalis
