// The loader's displays on Windows: the monitors in the applet's numbering,
// reached through a device context per display device, as the applet does.
#include <windows.h>

#include <algorithm>
#include <string>

#include "display/display_system_calls.h"
#include "display/monitors.h"
#include "profile/profile_association.h"
#include "profile/registry.h"
#include "session/messages.h"
#include "tool/display_access.h"

namespace tonalis::tool {

namespace {

// The registry's monitor numbers go this far; the applet itself keeps four.
constexpr int kMostMonitors = 16;
constexpr char kSingleDisplay[] = "DISPLAY";

// A device context for one display device, deleted when it goes.
class DeviceContext {
  public:
    explicit DeviceContext(const std::string& device)
        : dc_(CreateDCA(device.c_str(), nullptr, nullptr, nullptr)) {}
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

class GdiAccess : public DisplayAccess {
  public:
    GdiAccess() {
        // The registry's key and value names are in this program's string table.
        if (ModuleInstance() == nullptr) {
            SetModuleInstance(GetModuleHandleA(nullptr));
        }
        const int counted = MonGetSystemMetrics(SM_CMONITORS);
        const int wanted = counted < kMostMonitors ? counted : kMostMonitors;
        MONITORINFOEXA found[kMostMonitors];
        const int filled = wanted > 0 ? FindMonitorsInOrder(found, wanted) : 0;
        if (filled > 0 && filled == wanted) {
            for (int i = 0; i < filled; ++i) {
                Add(found[i].szDevice);
            }
        } else {
            Add(kSingleDisplay);
        }
    }

    const char* Noun() const override { return "monitor"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs_; }
    bool KeepsProfiles() const override { return true; }

    bool ReadTable(int index, GammaRamp* ramp) override {
        DeviceContext dc(outputs_[index].name);
        return dc.get() != nullptr &&
               g_displaySystemCalls.getDeviceGammaRamp(dc.get(), ramp->entries) != FALSE;
    }

    bool WriteTable(int index, const VcgtCurves& curves) override {
        DeviceContext dc(outputs_[index].name);
        GammaRamp ramp;
        for (int c = 0; c < 3; ++c) {
            const std::vector<uint16_t> entries = SampleVcgtCurve(curves, c, kRampSize);
            std::copy(entries.begin(), entries.end(), ramp.Channel(c));
        }
        return dc.get() != nullptr &&
               g_displaySystemCalls.setDeviceGammaRamp(dc.get(), ramp.entries) != FALSE;
    }

    bool StoredProfile(int index, std::string* path, bool* registered) override {
        char buffer[kProfilePathSize] = {};
        if (ReadRegisteredProfilePath(static_cast<uint32_t>(index), buffer, sizeof buffer) ==
                kRegistryOk &&
            buffer[0] != '\0') {
            *path = buffer;
            *registered = true;
            return true;
        }
        DeviceContext dc(outputs_[index].name);
        if (dc.get() == nullptr ||
            !FindMonitorProfile(dc.get(), sizeof buffer, buffer, outputs_[index].name.c_str(),
                                ModuleInstance()) ||
            GetFileAttributesA(buffer) == INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        *path = buffer;
        *registered = false;
        return true;
    }

  private:
    void Add(const char* device) {
        DisplayOutput output;
        output.name = device;
        output.gammaSize = kRampSize;
        output.inUse = true;
        outputs_.push_back(output);
    }

    std::vector<DisplayOutput> outputs_;
};

}  // namespace

std::unique_ptr<DisplayAccess> OpenDisplayAccess() {
    return std::make_unique<GdiAccess>();
}

}  // namespace tonalis::tool
