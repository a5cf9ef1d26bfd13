// Finding the profile associated with a monitor, and associating a saved one.
#include "profile/profile_association.h"

#include <cstring>

#include "model/platform.h"
#include "model/wide_path_win32.h"
#include "session/session_context.h"
#include "profile/color_library.h"
#include "profile/file_identity.h"
#include "profile/profile_locations.h"
#include "profile/profile_system_calls.h"

namespace tonalis {

namespace {

using EnumDisplayDevicesFunction = BOOL(WINAPI*)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);

constexpr DWORD kVersionInfoSize = 148;
constexpr DWORD kDisplayDeviceSize = 424;
constexpr DWORD kProfileListSize = 1044;
// "~tnl00.icm" and its terminator.
constexpr int kStagedNameSize = 11;
constexpr unsigned kStagingAttempts = 100;
// Associations dropped one by one after the enumerated ones, at most.
constexpr unsigned kMostReportedProfiles = 64;

bool IsNt5OrLater(bool* known) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = kVersionInfoSize;
    *known = g_profileSystemCalls.getVersionEx(&info) != FALSE;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}

// A zero-filled block released on every path.
class ScopedBlock {
  public:
    explicit ScopedBlock(SIZE_T size) : block_(static_cast<BYTE*>(AllocateZeroedBlock(size))) {}
    ~ScopedBlock() { ReleaseBlock(block_); }
    ScopedBlock(const ScopedBlock&) = delete;
    ScopedBlock& operator=(const ScopedBlock&) = delete;
    BYTE* get() const { return block_; }

  private:
    BYTE* block_;
};

// Joins directory and name into out (size bytes); false when it does not fit.
bool JoinPath(char* out, size_t size, const char* directory, const char* name) {
    size_t directoryLength = strlen(directory);
    size_t nameLength = strlen(name);
    if (directoryLength + nameLength + 1 > size) {
        return false;
    }
    memcpy(out, directory, directoryLength);
    memcpy(out + directoryLength, name, nameLength + 1);
    return true;
}

// The file name with its extension, without drive and folder. In UTF-8 no
// byte of a longer character is a separator.
const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            name = p + 1;
        }
    }
    return name;
}

// The names in an enumeration buffer, each checked to end inside the buffer.
class ProfileNames {
  public:
    ProfileNames(const BYTE* buffer, DWORD size, DWORD count)
        : next_(reinterpret_cast<const char*>(buffer)),
          end_(reinterpret_cast<const char*>(buffer) + size),
          left_(buffer == nullptr ? 0 : count) {}

    const char* Next() {
        if (left_ == 0 || next_ >= end_) {
            return nullptr;
        }
        size_t length = strnlen(next_, static_cast<size_t>(end_ - next_));
        if (next_ + length == end_) {
            return nullptr;
        }
        const char* name = next_;
        next_ += length + 1;
        --left_;
        return name;
    }

  private:
    const char* next_;
    const char* end_;
    DWORD left_;
};

// Installs the profile into the colour directory under its own file name
// (installed). A file already there is the profile itself under another
// spelling, which stays, or another file, which is replaced only after the
// system's install succeeded: the profile goes in under a temporary name
// first and is then moved over it in one step.
bool Install(const char* profile, const char* directory, const char* installed) {
    if (IsSameFile(profile, installed)) {
        return true;
    }
    if (!FileExists(installed)) {
        if (ColorInstallProfile(nullptr, profile)) {
            return true;
        }
        // A copy cut short (a full disk) would pass for a profile.
        platform::RemoveFile(installed);
        return false;
    }
    wchar_t temporaryFolder[MAX_PATH];
    char folder[kProfilePathSize];
    DWORD folderLength = GetTempPathW(MAX_PATH, temporaryFolder);
    if (folderLength == 0 || folderLength >= MAX_PATH ||
        !NarrowPath(temporaryFolder, folder, sizeof folder)) {
        return false;
    }
    for (unsigned attempt = 0; attempt < kStagingAttempts; ++attempt) {
        char name[kStagedNameSize];
        wsprintfA(name, "~tnl%02u.icm", attempt);
        char source[kProfilePathSize];
        char staged[kProfilePathSize];
        if (!JoinPath(source, sizeof source, folder, name) ||
            !JoinPath(staged, sizeof staged, directory, name)) {
            return false;
        }
        if (FileExists(staged)) {
            continue;  // a name another save is using
        }
        if (!CopyFileW(WidePath(profile).get(), WidePath(source).get(), TRUE)) {
            if (GetLastError() == ERROR_FILE_EXISTS) {
                continue;
            }
            return false;
        }
        const bool done = ColorInstallProfile(nullptr, source);
        platform::RemoveFile(source);
        if (!done) {
            platform::RemoveFile(staged);
            return false;
        }
        if (platform::MoveFileOver(staged, installed)) {
            return true;
        }
        platform::RemoveFile(staged);
        return false;
    }
    return false;
}

// The profile the system reports for the display device (UTF-8).
bool ReportedProfile(const char* deviceName, char (&path)[kProfilePathSize]) {
    HDC dc = CreateDCA(deviceName, nullptr, nullptr, nullptr);
    wchar_t reported[kWidePathSize];
    DWORD size = kWidePathSize;
    const bool found = dc != nullptr && GetICMProfileW(dc, &size, reported) &&
                       NarrowPath(reported, path, kProfilePathSize);
    if (dc != nullptr) {
        DeleteDC(dc);
    }
    return found;
}

// The enumeration may miss associated profiles (Wine's lists only *.icm
// files): each one the system still reports for the monitor is dropped too,
// until its answer stays the same (a default that is no association).
void DisassociateReportedProfiles(const char* deviceName, const char* deviceId) {
    char last[kProfilePathSize] = "";
    for (unsigned dropped = 0; dropped < kMostReportedProfiles; ++dropped) {
        char reported[kProfilePathSize];
        if (!ReportedProfile(deviceName, reported) || strcmp(reported, last) == 0 ||
            !ColorDisassociateProfile(nullptr, reported, deviceId)) {
            return;
        }
        strcpy(last, reported);
    }
}

// An enumerated name (ANSI) as UTF-8, as every path is kept; false for none.
bool Utf8Name(const char* name, char (&utf8)[kProfilePathSize]) {
    wchar_t wide[kProfilePathSize];
    return name != nullptr &&
           MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kProfilePathSize) != 0 &&
           NarrowPath(wide, utf8, kProfilePathSize);
}

}  // namespace

bool FindMonitorDeviceId(const char* deviceName, char* deviceId, DWORD size) {
    HMODULE user = g_profileSystemCalls.loadLibrary("user32.dll");
    if (user == nullptr) {
        return false;
    }
    auto enumDevices = reinterpret_cast<EnumDisplayDevicesFunction>(
        reinterpret_cast<void*>(g_profileSystemCalls.findProcedure(user, "EnumDisplayDevicesA")));
    bool found = false;
    if (enumDevices != nullptr) {
        DISPLAY_DEVICEA adapter = {};
        adapter.cb = kDisplayDeviceSize;
        DWORD index = 0;
        bool matched = false;
        while (enumDevices(nullptr, index++, &adapter, 0)) {
            if (lstrcmpiA(adapter.DeviceName, deviceName) == 0) {
                matched = true;
                break;
            }
            adapter.cb = kDisplayDeviceSize;
        }
        DISPLAY_DEVICEA monitor = {};
        monitor.cb = kDisplayDeviceSize;
        if (matched && enumDevices(adapter.DeviceName, 0, &monitor, 0)) {
            size_t length = strnlen(monitor.DeviceID, sizeof monitor.DeviceID);
            if (length < sizeof monitor.DeviceID && length < size) {
                memcpy(deviceId, monitor.DeviceID, length + 1);
                found = true;
            }
        }
    }
    g_profileSystemCalls.freeLibrary(user);
    return found;
}

bool FindMonitorProfile(HDC dc, DWORD size, char* path, const char* deviceName,
                        HINSTANCE instance) {
    bool versionKnown = false;
    bool nt5OrLater = IsNt5OrLater(&versionKnown);
    if (!versionKnown || path == nullptr) {
        return false;
    }
    wchar_t reported[kWidePathSize];
    DWORD reportedSize = kWidePathSize;
    if (!GetICMProfileW(dc, &reportedSize, reported) || !NarrowPath(reported, path, size)) {
        return false;
    }
    if (nt5OrLater) {
        return true;
    }
    // Older systems report one profile for every monitor; the monitor's own
    // association, when it has one, is the better answer.
    char deviceId[sizeof DISPLAY_DEVICEA::DeviceID];
    if (!FindMonitorDeviceId(deviceName, deviceId, sizeof deviceId)) {
        return true;
    }
    ENUMTYPEA query = MonitorProfileQuery(deviceId);
    ScopedBlock list(kProfileListSize);
    DWORD listSize = kProfileListSize;
    DWORD count = 0;
    if (list.get() == nullptr ||
        !ColorEnumProfiles(nullptr, &query, list.get(), &listSize, &count)) {
        return true;
    }
    char first[kProfilePathSize];
    char directory[kProfilePathSize];
    char better[kProfilePathSize];
    if (Utf8Name(ProfileNames(list.get(), kProfileListSize, count).Next(), first) &&
        GetColorDirectory(instance, directory, kProfilePathSize) == 0 &&
        JoinPath(better, size < kProfilePathSize ? size : kProfilePathSize, directory, first)) {
        strcpy(path, better);
    }
    return true;
}

bool MakeDefaultMonitorProfile(SessionContext* session, unsigned number) {
    if (session == nullptr || number >= static_cast<unsigned>(session->monitorCount) ||
        number >= static_cast<unsigned>(kMaxMonitors)) {
        return true;
    }
    char deviceId[sizeof DISPLAY_DEVICEA::DeviceID];
    if (!FindMonitorDeviceId(session->monitors[number].deviceName, deviceId, sizeof deviceId) ||
        !ColorLibraryInstalls()) {
        return true;  // a system that cannot associate: the file stays where it was saved
    }
    // The profiles the monitor has now. The enumeration fails when the system
    // lists none, as before a first save: then there is nothing to disassociate.
    ENUMTYPEA query = MonitorProfileQuery(deviceId);
    DWORD listSize = 0;
    DWORD count = 0;
    bool listed = ColorEnumProfiles(nullptr, &query, nullptr, &listSize, &count) && listSize != 0;
    ScopedBlock list(listed ? listSize : 1);
    if (list.get() == nullptr) {
        return false;
    }
    listed = listed && ColorEnumProfiles(nullptr, &query, list.get(), &listSize, &count);
    char directory[kProfilePathSize];
    if (GetColorDirectory(session->instance, directory, kProfilePathSize) != 0) {
        return false;
    }
    char* profilePath = session->workingSettings.profilePath;
    char installed[kProfilePathSize];
    if (!JoinPath(installed, kProfilePathSize, directory, FileNamePart(profilePath)) ||
        !Install(profilePath, directory, installed)) {
        return false;
    }
    ProfileNames names(list.get(), listed ? listSize : 0, listed ? count : 0);
    char associated[kProfilePathSize];
    char name[kProfilePathSize];
    for (const char* entry = names.Next(); entry != nullptr; entry = names.Next()) {
        if (Utf8Name(entry, name) && JoinPath(associated, kProfilePathSize, directory, name)) {
            ColorDisassociateProfile(nullptr, associated, deviceId);
        }
    }
    DisassociateReportedProfiles(session->monitors[number].deviceName, deviceId);
    strcpy(profilePath, installed);
    ColorAssociateProfile(nullptr, profilePath, deviceId);
    return true;
}

}  // namespace tonalis
