// The keeper's monitors through the loader's device search and profile plan.
#include "keeper/device_tables.h"

#include <algorithm>

#include "display/kept_calibration.h"
#include "model/ramp_read_back.h"
#include "profile/logon_monitors.h"

namespace tonalis {

namespace {

// The table with the last entry of each channel one 8-bit step off.
GammaRamp Nudged(const GammaRamp& table) {
    GammaRamp nudged = table;
    for (int c = 0; c < 3; ++c) {
        uint16_t& last = nudged.Channel(c)[kRampSize - 1];
        last = last >= kEightBitStep ? static_cast<uint16_t>(last - kEightBitStep)
                                     : static_cast<uint16_t>(last + kEightBitStep);
    }
    return nudged;
}

}  // namespace

bool WriteKeptTable(const char* device, const GammaRamp& table) {
    GammaRamp before;
    const bool hadBefore = ReadDeviceTable(device, &before);
    if (!WriteDeviceTable(device, table)) {
        return false;
    }
    GammaRamp after;
    if (hadBefore && ReadDeviceTable(device, &after) &&
        LargestEntryDifference(after, table) > kReadBackTolerance &&
        LargestEntryDifference(after, before) <= kReadBackTolerance) {
        return WriteDeviceTable(device, Nudged(table)) && WriteDeviceTable(device, table);
    }
    return true;
}

std::vector<std::string> DeviceTables::Present() {
    DisplayDeviceName devices[kMostKeptMonitors];
    int count = 0;
    const bool found = SearchDisplayDevices(devices, kMostKeptMonitors, &count);
    // A count that disagrees for a moment leaves the monitors known as they
    // are; at start the whole screen stands for them, as for the loader.
    if (found || present_.empty()) {
        if (!found) {
            count = FindDisplayDevices(devices, kMostKeptMonitors);
        }
        present_.clear();
        for (int i = 0; i < count; ++i) {
            present_.push_back(devices[i].text);
        }
    }
    // A monitor that went away has its profile read again when it comes back.
    for (auto entry = kept_.begin(); entry != kept_.end();) {
        const bool there =
            std::find(present_.begin(), present_.end(), entry->first) != present_.end();
        entry = there ? std::next(entry) : kept_.erase(entry);
    }
    if (choice_.monitor < 0) {
        return present_;
    }
    if (static_cast<size_t>(choice_.monitor) < present_.size()) {
        return {present_[static_cast<size_t>(choice_.monitor)]};
    }
    return {};
}

int DeviceTables::NumberOf(const std::string& monitor) const {
    const auto found = std::find(present_.begin(), present_.end(), monitor);
    return found == present_.end() ? -1 : static_cast<int>(found - present_.begin());
}

DeviceTables::Entry& DeviceTables::Read(const std::string& monitor) {
    Entry& entry = kept_[monitor];
    if (entry.read) {
        return entry;
    }
    entry = Entry();
    entry.read = true;
    if (choice_.hasProfile) {
        entry.profile = choice_.profileName;
        entry.file.Changed(entry.profile);
        entry.file.Read();
        // While the given file holds no usable table, the last one read stands.
        GammaRamp table;
        int readResult = 0;
        VcgtProblem problem = VcgtProblem::kNone;
        if (entry.file.Found() &&
            ReadProfileTable(entry.profile.c_str(), &table, &readResult, &problem)) {
            choice_.profileTable = table;
        }
        entry.usable = true;
        entry.table = choice_.profileTable;
        return entry;
    }
    const int number = NumberOf(monitor);
    if (number < 0 || (choice_.logonChoice && !WantsLogonLoad(static_cast<uint32_t>(number)))) {
        return entry;
    }
    // The same rule as the loader at logon: the registered profile, else the associated one.
    MonitorLoadPlan load;
    PlanMonitorLoad(static_cast<uint32_t>(number), monitor.c_str(), &load);
    entry.usable = load.table == TableVerdict::kUsable;
    entry.table = load.ramp;
    entry.profile = load.profile;
    entry.file.Changed(entry.profile);
    entry.file.Read();
    return entry;
}

bool DeviceTables::Kept(const std::string& monitor, GammaRamp* ramp) {
    const Entry& entry = Read(monitor);
    if (entry.usable) {
        *ramp = entry.table;
    }
    return entry.usable;
}

bool DeviceTables::Held(const std::string& monitor, GammaRamp* ramp) {
    return ReadDeviceTable(monitor.c_str(), ramp);
}

bool DeviceTables::Load(const std::string& monitor) {
    const Entry& entry = Read(monitor);
    return entry.usable && WriteKeptTable(monitor.c_str(), entry.table);
}

void DeviceTables::Forget(int number) {
    for (auto& [name, entry] : kept_) {
        if (number < 0 || NumberOf(name) == number) {
            entry.read = false;
        }
    }
}

void DeviceTables::ForgetChanged() {
    for (auto& [name, entry] : kept_) {
        if (entry.read && entry.file.Changed(entry.profile) && entry.file.Found()) {
            entry.read = false;
        }
    }
}

void DeviceTables::KeepHeld(const std::string& monitor) {
    kept_[monitor].read = false;
    Entry& entry = Read(monitor);
    GammaRamp held;
    if (entry.usable && ReadDeviceTable(monitor.c_str(), &held)) {
        entry.table = held;
    }
}

std::string DeviceTables::ProfileOf(const std::string& monitor) {
    const Entry& entry = Read(monitor);
    return entry.usable ? entry.profile : std::string();
}

void DeviceTables::LoadIdentity() {
    GammaRamp identity;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            identity.Channel(c)[i] = static_cast<uint16_t>(i * kEightBitStep);
        }
    }
    for (const std::string& monitor : Present()) {
        WriteDeviceTable(monitor.c_str(), identity);
    }
}

}  // namespace tonalis
