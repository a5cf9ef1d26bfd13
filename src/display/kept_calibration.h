// Giving each monitor back the calibration it keeps: the table of the profile
// the applet registered for its number, else of the one the system associates
// with it. tonalis.exe apply and the loader TNP.cpl runs at logon share it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/monitor_settings.h"

namespace tonalis {

// The registry's monitor numbers go this far; the applet itself keeps four.
constexpr int kMostKeptMonitors = 16;

struct DisplayDeviceName {
    char text[CCHDEVICENAME];
};

// The display devices in the registry's numbering; when the search falls
// short, the whole screen as one device, "DISPLAY". Returns how many.
int FindDisplayDevices(DisplayDeviceName* devices, int most);

// False when the device's table cannot be read.
bool ReadDeviceTable(const char* device, GammaRamp* ramp);
// Loads the table and reads it back: false when the system refused it or the
// display does not hold it afterwards.
bool LoadDeviceTable(const char* device, const GammaRamp& ramp);

// The monitor's own profile; *registered tells whether the applet registered
// it (else the system associates it). False when there is none.
bool FindKeptProfile(uint32_t number, const char* device, char* path, uint32_t size,
                     bool* registered);

enum class KeptTable {
    kUsable,
    kNoProfile,
    // A profile the system associates may be any profile (sRGB has no table).
    kAssociatedWithoutTable,
    // A profile the applet registered must hold one.
    kRegisteredUnusable,
};

struct KeptLoad {
    DisplayDeviceName device;
    char profile[kProfilePathSize];
    KeptTable table;
    // The profile's read result: 0 or a string id.
    int readResult;
    GammaRamp ramp;
};

// What the monitor would get back, found and read without changing anything.
void PlanKeptLoad(uint32_t number, const char* device, KeptLoad* load);

// Every monitor's kept table, planned first so that an unusable registered
// profile changes nothing, then loaded and read back. Returns 0, the string id
// of a profile that cannot be read, kKeptTableUnusable or kKeptTableRefused.
int LoadKeptCalibrations();

}  // namespace tonalis
