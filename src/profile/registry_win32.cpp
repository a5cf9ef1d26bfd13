// The registry values the applet keeps between runs. Every key is closed and the
// strings released on every path (KeyChain, ScopedRegistryStrings).
#include <cstring>
#include <cwchar>

#include "model/wide_path_win32.h"

#include "session/messages.h"
#include "session/session_context.h"
#include "profile/profile_association.h"
#include "profile/profile_locations.h"
#include "profile/registry.h"
#include "profile/registry_keys.h"

namespace tonalis {

namespace {

constexpr char kLastCalibratedMonitor[] = "LastCalibratedMonitor";
constexpr int kStoredPathSize = 260;
constexpr int kMonitorKeyNameSize = 32;
// "\" + the colour folder's five-letter name + "\", cut from the colour directory.
constexpr size_t kColorFolderLength = 7;

void FormatMonitorKeyName(const ScopedRegistryStrings& strings, uint32_t number,
                          char name[kMonitorKeyNameSize]) {
    // At most "Monitor%u" with three digits: well inside the buffer.
    wsprintfA(name, strings[kRegMonitorKeyFormat], number);
}

// HKEY_LOCAL_MACHINE\SOFTWARE\Orvane\Color\Monitor, created where missing.
bool OpenMachineMonitorKeyForWriting(const ScopedRegistryStrings& strings, KeyChain* chain) {
    return chain->Open(strings[kRegSoftware], kReadWriteAccess) &&
           chain->Create(strings[kRegMaker], kReadWriteAccess) &&
           chain->Create(strings[kRegMachineColor], kReadWriteAccess) &&
           chain->Create(strings[kRegMachineMonitor], kReadWriteAccess);
}

// 0, -1 when a key or the value is missing or not REG_SZ, -4 when the stored
// path does not fit the caller's buffer (which is then left alone).
int ReadStoredProfilePath(const ScopedRegistryStrings& strings, uint32_t number, char* buffer,
                          uint32_t size) {
    char keyName[kMonitorKeyNameSize];
    FormatMonitorKeyName(strings, number, keyName);
    KeyChain chain(HKEY_LOCAL_MACHINE);
    if (!chain.Open(strings[kRegSoftware], kReadAccess) ||
        !chain.Open(strings[kRegMaker], kReadAccess) ||
        !chain.Open(strings[kRegMachineColor], kReadAccess) ||
        !chain.Open(strings[kRegMachineMonitor], kReadAccess) ||
        !chain.Open(keyName, kReadAccess)) {
        return kRegistryCallFailed;
    }
    // Read wide, so that a path outside the code page comes back whole.
    wchar_t stored[kStoredPathSize + 1] = {};
    DWORD type = 0;
    DWORD storedSize = kStoredPathSize * sizeof(wchar_t);
    if (RegQueryValueExW(chain.innermost(), WidePath(strings[kRegMonitorProfile]).get(), nullptr,
                         &type, reinterpret_cast<BYTE*>(stored), &storedSize) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return kRegistryCallFailed;
    }
    // The stored length need not hold a terminator; the text is what counts.
    if (wcsnlen(stored, kStoredPathSize) == kStoredPathSize) {
        return kRegistryCallFailed;
    }
    char path[kProfilePathSize];
    if (!NarrowPath(stored, path, sizeof path) || strlen(path) + 1 > size) {
        return kRegistryBadArgument;
    }
    memcpy(buffer, path, strlen(path) + 1);
    return kRegistryOk;
}

}  // namespace

int GetDefaultProfilePath(char* buffer, uint32_t size) {
    if (buffer == nullptr) {
        return kRegistryBadArgument;
    }
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return kRegistryNoMemory;
    }
    const char* tail = strings[kRegDefaultProfileTail];
    size_t tailLength = strlen(tail);
    if (size <= tailLength + 1) {
        return kRegistryBadArgument;
    }
    char directory[kProfilePathSize];
    if (GetColorDirectory(ModuleInstance(), directory, sizeof directory) != 0) {
        return kRegistryCallFailed;
    }
    size_t directoryLength = strlen(directory);
    if (directoryLength < kColorFolderLength) {
        return kRegistryCallFailed;
    }
    size_t parentLength = directoryLength - kColorFolderLength;
    if (parentLength + tailLength + 1 > size) {
        return kRegistryBadArgument;
    }
    memcpy(buffer, directory, parentLength);
    memcpy(buffer + parentLength, tail, tailLength + 1);
    return kRegistryOk;
}

int ReadRegisteredProfilePath(uint32_t number, char* buffer, uint32_t size) {
    if (buffer == nullptr || size <= 1 || number > kMaxRegistryMonitorNumber) {
        return kRegistryBadArgument;
    }
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return kRegistryNoMemory;
    }
    return ReadStoredProfilePath(strings, number, buffer, size);
}

int ReadMonitorProfilePath(uint32_t number, char* buffer, uint32_t size) {
    const int result = ReadRegisteredProfilePath(number, buffer, size);
    if (result == kRegistryCallFailed) {
        return GetDefaultProfilePath(buffer, size);
    }
    return result;
}

int WriteMonitorProfilePath(SessionContext* session, uint32_t number) {
    if (session == nullptr) {
        return kRegistryBadArgument;
    }
    if (!MakeDefaultMonitorProfile(session, number)) {
        return kProfileNotInstalled;
    }
    const char* path = session->workingSettings.profilePath;
    size_t length = strnlen(path, kProfilePathSize);
    if (number > kMaxRegistryMonitorNumber || length == kProfilePathSize) {
        return kRegistryBadArgument;
    }
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return kRegistryNoMemory;
    }
    char keyName[kMonitorKeyNameSize];
    FormatMonitorKeyName(strings, number, keyName);
    KeyChain chain(HKEY_LOCAL_MACHINE);
    if (!OpenMachineMonitorKeyForWriting(strings, &chain) ||
        !chain.Create(keyName, kReadWriteAccess)) {
        return kRegistryCallFailed;
    }
    const WidePath wide(path);
    if (RegSetValueExW(chain.innermost(), WidePath(strings[kRegMonitorProfile]).get(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(wide.get()),
                       static_cast<DWORD>((wcslen(wide.get()) + 1) * sizeof(wchar_t))) !=
        ERROR_SUCCESS) {
        return kRegistryCallFailed;
    }
    return kRegistryOk;
}

int WritePrimaryMonitor(const SessionContext* session) {
    if (session == nullptr) {
        return kRegistryBadArgument;
    }
    int count = session->monitorCount < kMaxMonitors ? session->monitorCount : kMaxMonitors;
    int primary = -1;
    for (int i = 0; i < count; ++i) {
        if (session->monitors[i].isPrimary == 1) {
            primary = i;
            break;
        }
    }
    // Without a primary record there is no number to remember.
    if (primary < 0) {
        return kRegistryBadArgument;
    }
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return kRegistryNoMemory;
    }
    KeyChain chain(HKEY_LOCAL_MACHINE);
    if (!OpenMachineMonitorKeyForWriting(strings, &chain) ||
        !SetDwordValue(chain.innermost(), strings[kRegPrimaryMonitor],
                       static_cast<uint32_t>(primary))) {
        return kRegistryCallFailed;
    }
    return kRegistryOk;
}

int WriteUserPreferences(uint32_t mode, uint32_t lastMonitor) {
    ScopedRegistryStrings strings;
    if (!strings.Load()) {
        return kRegistryNoMemory;
    }
    KeyChain chain(HKEY_CURRENT_USER);
    if (!OpenUserProductKey(strings, &chain)) {
        return kRegistryCallFailed;
    }
    // Only the monitor decides the result: it is what the next run starts on.
    SetDwordValue(chain.innermost(), strings[kRegWizardOrPanel], mode);
    if (!SetDwordValue(chain.innermost(), kLastCalibratedMonitor, lastMonitor)) {
        return kRegistryCallFailed;
    }
    return kRegistryOk;
}

void ReadUserPreferences(uint32_t* mode, uint32_t* lastMonitor) {
    uint32_t readMode = 0;
    uint32_t readMonitor = 0;
    ScopedRegistryStrings strings;
    if (strings.Load()) {
        KeyChain chain(HKEY_CURRENT_USER);
        if (chain.Open(strings[kRegSoftware], kReadAccess) &&
            chain.Open(strings[kRegMaker], kReadAccess) &&
            chain.Open(strings[kRegProduct], kReadAccess)) {
            QuerySmallValue(chain.innermost(), strings[kRegWizardOrPanel], &readMode);
            QuerySmallValue(chain.innermost(), kLastCalibratedMonitor, &readMonitor);
        }
    }
    if (mode != nullptr) {
        *mode = readMode;
    }
    if (lastMonitor != nullptr) {
        *lastMonitor = readMonitor;
    }
}

}  // namespace tonalis
