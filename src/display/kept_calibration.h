// Giving each monitor back the calibration it keeps: the table of the profile
// the applet registered for its number, else of the one the system associates
// with it. tonalis.exe apply and the loader TNP.cpl runs at logon share it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/monitor_settings.h"
#include "profile/logon_monitors.h"
#include "profile/table_verdict.h"
#include "profile/vcgt_curves.h"

namespace tonalis {

// The registry's monitor numbers go this far; the applet itself keeps four.
constexpr int kMostKeptMonitors = static_cast<int>(kMostLogonMonitors);

struct DisplayDeviceName {
    char text[CCHDEVICENAME];
};

// The display devices in the registry's numbering; when the search falls
// short, the whole screen as one device, "DISPLAY". Returns how many.
int FindDisplayDevices(DisplayDeviceName* devices, int most);
// The same search without the whole screen: false when it fell short of the
// count the system gives, as it may for a moment while monitors change.
bool SearchDisplayDevices(DisplayDeviceName* devices, int most, int* count);

// False when the device's table cannot be read.
bool ReadDeviceTable(const char* device, GammaRamp* ramp);
// Only sets the table: false when the system refused it.
bool WriteDeviceTable(const char* device, const GammaRamp& ramp);

enum class TableTaken { kHeld, kRefused, kNotHeld };

// Sets the table and reads it back once, within the read-back tolerance the
// applet uses: kRefused when the system said no, kNotHeld when the display
// kept another table. A table that cannot be read back counts as held.
TableTaken LoadDeviceTable(const char* device, const GammaRamp& ramp);

struct MonitorLoadPlan {
    DisplayDeviceName device;
    char profile[kProfilePathSize];
    TableVerdict table;
    // kRegisteredUnreadable: the string id that says why.
    int readResult;
    // kRegisteredWithoutTable and kAssociatedWithoutTable: why.
    VcgtProblem problem;
    // kUsable: the table, at 256 entries a channel.
    GammaRamp ramp;
};

// The profile's table at 256 entries a channel, in every form other tools
// write: false, with readResult (a string id) or problem saying why, when it
// has none that can be used.
bool ReadProfileTable(const char* profile, GammaRamp* ramp, int* readResult, VcgtProblem* problem);

// What the monitor would get back, found and read without changing anything.
void PlanMonitorLoad(uint32_t number, const char* device, MonitorLoadPlan* load);

enum class KeptOutcome { kLoaded, kNothingToLoad, kUnusable, kRefused, kNotHeld };

// Plans the monitor's kept table and, when it is usable, loads it with one
// read-back. kNothingToLoad for a monitor without a profile or whose
// associated profile holds no table; kUnusable when the registered one
// cannot be used (load->table says why).
KeptOutcome LoadKeptCalibration(uint32_t number, const char* device, MonitorLoadPlan* load);

struct KeptResult {
    bool wanted;
    MonitorLoadPlan load;
    KeptOutcome outcome;
};

// Each monitor that wants its calibration at logon gets it, whatever happens
// to the others. Fills one result per monitor found; returns how many.
int LoadKeptCalibrations(KeptResult* results, int most);

}  // namespace tonalis
