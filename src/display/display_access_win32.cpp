// The loader's displays on Windows: the monitors in the applet's numbering,
// reached by the same code as the loader TNP.cpl runs at logon.
#include <windows.h>

#include <string>

#include "display/display_access.h"
#include "display/gamma_ramp_access.h"
#include "display/kept_calibration.h"
#include "session/messages.h"

namespace tonalis {

namespace {

class GdiAccess : public DisplayAccess {
  public:
    GdiAccess() {
        // The registry's key and value names are in this program's string table.
        if (ModuleInstance() == nullptr) {
            SetModuleInstance(GetModuleHandleA(nullptr));
        }
        DisplayDeviceName devices[kMostKeptMonitors];
        const int count = FindDisplayDevices(devices, kMostKeptMonitors);
        for (int i = 0; i < count; ++i) {
            Add(devices[i].text);
        }
    }

    const char* Noun() const override { return "monitor"; }
    const std::vector<DisplayOutput>& Outputs() const override { return outputs_; }
    bool KeepsProfiles() const override { return true; }

    bool ReadTable(int index, GammaRamp* ramp) override {
        return ReadDeviceTable(outputs_[index].name.c_str(), ramp);
    }

    bool WriteTable(int index, const VcgtCurves& curves) override {
        // The caller reads the table back.
        return WriteDeviceTable(outputs_[index].name.c_str(), VcgtRamp(curves));
    }

    StoredTable PlanStoredTable(int index) override {
        MonitorLoadPlan load;
        PlanMonitorLoad(static_cast<uint32_t>(index), outputs_[index].name.c_str(), &load);
        StoredTable stored;
        stored.table = load.table;
        stored.profile = load.profile;
        stored.readResult = load.readResult;
        stored.problem = load.problem;
        for (int c = 0; c < 3; ++c) {
            stored.curves.table[c].assign(load.ramp.Channel(c), load.ramp.Channel(c) + kRampSize);
        }
        return stored;
    }

    bool TablesSwitchedOff() const override { return RampReadsSwitchedOff(); }

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

}  // namespace tonalis
