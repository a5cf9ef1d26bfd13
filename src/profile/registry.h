// What the applet remembers between runs: per machine, the profile path of each
// monitor number and the primary monitor; per user, the interface last used to
// save, the monitor calibrated last and the crash flag of the ramp guard.
#pragma once

#include <cstdint>

namespace tonalis {

struct SessionContext;

// Result codes of the registry operations; only kProfileNotInstalled is shown.
constexpr int kRegistryOk = 0;
constexpr int kRegistryCallFailed = -1;
constexpr int kRegistryNoMemory = -3;
constexpr int kRegistryBadArgument = -4;
// The profile could not be installed in the colour directory: nothing was
// remembered, and the caller tells the user.
constexpr int kProfileNotInstalled = -5;

// Monitor numbers that have a key of their own ("Monitor0" to "Monitor999").
constexpr uint32_t kMaxRegistryMonitorNumber = 999;

enum RegistryString {
    kRegDefaultProfileTail,  // "\Color\Orvane Monitor Settings.icm"
    kRegSoftware,            // "SOFTWARE"
    kRegMaker,               // "Orvane"
    kRegMachineColor,        // "Color"
    kRegMachineMonitor,      // "Monitor"
    kRegMonitorKeyFormat,    // "Monitor%u"
    kRegPrimaryMonitor,      // "Primary Monitor"
    kRegMonitorProfile,      // "Monitor Profile"
    kRegProduct,             // "Tonalis"
    kRegWizardOrPanel,       // "WizardOrPanel"
    kRegistryStringCount
};

// Key paths and value names, loaded from the string table. Each buffer is
// allocated zero-filled; the first holds 260 bytes, the others 32.
struct RegistryStrings {
    char* text[kRegistryStringCount];
};

bool LoadRegistryStrings(RegistryStrings* strings);
void FreeRegistryStrings(RegistryStrings* strings);

// The colour folder's parent followed by "\Color\Orvane Monitor Settings.icm".
int GetDefaultProfilePath(char* buffer, uint32_t size);

// The path (UTF-8; the value is read wide) remembered for the monitor number,
// else the default path.
int ReadMonitorProfilePath(uint32_t number, char* buffer, uint32_t size);

// The path remembered for the monitor number only: -1 when none is (no key,
// no value or not REG_SZ), with no fall back to the default path.
int ReadRegisteredProfilePath(uint32_t number, char* buffer, uint32_t size);

// Installs and associates the working profile, then remembers its path;
// kProfileNotInstalled, with the registry as it was, when the install failed.
int WriteMonitorProfilePath(SessionContext* session, uint32_t number);
int WritePrimaryMonitor(const SessionContext* session);
int WriteUserPreferences(uint32_t mode, uint32_t lastMonitor);

// Both values are 0 when nothing is remembered.
void ReadUserPreferences(uint32_t* mode, uint32_t* lastMonitor);

}  // namespace tonalis
