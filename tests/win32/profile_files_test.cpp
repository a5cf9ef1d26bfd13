// Profile files through the real system: saving and loading in the colour
// directory, replacing a file in one step (also without MoveFileExA, as on
// Windows 9x) and only a writable one, the description through the OEM
// code page, the registered profile, and the associated profile that a
// monitor record starts from.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "session/session_context.h"
#include "applet_seams.h"
#include "display/init_monitor_settings.h"
#include "display/monitors.h"
#include "model/file_system_calls.h"
#include "model/channel_peaks.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "profile/load_monitor_profile.h"
#include "profile/profile_association.h"
#include "profile/profile_locations.h"
#include "profile/registered_profile.h"
#include "profile/save_monitor_profile.h"
#include "resources/string_ids.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kAssociationKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ICM\\mntr";
// Wine reports the association whose name sorts first; this one comes before
// any profile name made of letters.
constexpr char kStartProfile[] = "0tnl-start.icm";
constexpr char kFilesProfile[] = "tnl-files.icm";
constexpr char kTemporary[] = "~tnl00.tmp";  // the first name a save tries
constexpr unsigned kRegisteredMonitor = 7;

std::string ColorDirectory() {
    char directory[kProfilePathSize] = {};
    EXPECT_EQ(GetColorDirectory(GetModuleHandleA(nullptr), directory, sizeof directory), 0);
    return directory;
}

std::vector<BYTE> FileBytes(const std::string& path) {
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) {
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    }
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

// Files in the colour directory whose names begin with the prefix.
std::vector<std::string> FilesStartingWith(const std::string& prefix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((ColorDirectory() + prefix + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

// Settings that differ from the defaults in every value a profile carries.
MonitorSettings Distinctive() {
    MonitorSettings s = {};
    GetPhosphorPreset(2, s.primaries);    // NTSC
    s.hardwareWhite = GetWhitePreset(4);  // 9300K
    const double gamma[3] = {1.8, 2.0, 2.4};
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = gamma[c];
        s.gammaFactor[c] = 1.1;
    }
    s.whiteRgb = PackPeaks(255, 230, 190);
    s.ramp = BuildGammaRamp(s.gamma, s.gammaFactor, s.whiteRgb);
    s.hasGammaRamp = 1;
    return s;
}

void ExpectLoadedFrom(const MonitorSettings& loaded, const MonitorSettings& saved) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(loaded.gamma[c], std::trunc(0.5 + 256 * saved.gamma[c]) / 256) << c;
        EXPECT_NEAR(loaded.primaries[c].x, saved.primaries[c].x, 1e-4) << c;
        EXPECT_NEAR(loaded.primaries[c].y, saved.primaries[c].y, 1e-4) << c;
    }
    EXPECT_NEAR(loaded.hardwareWhite.x, saved.hardwareWhite.x, 1e-4);
    EXPECT_NEAR(loaded.hardwareWhite.y, saved.hardwareWhite.y, 1e-4);
    EXPECT_EQ(loaded.whiteRgb, saved.whiteRgb);
    EXPECT_NEAR(loaded.gammaFactor[kGreen], 1.1 * loaded.gamma[kGreen] / saved.gamma[kGreen], 0.02);
}

class ProfileFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Clean();
        directory_ = ColorDirectory();
        ASSERT_FALSE(directory_.empty());
    }
    void TearDown() override { Clean(); }

    static void Clean() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAssociationKey, 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, kStartProfile);
            RegCloseKey(key);
        }
        const std::string directory = ColorDirectory();
        for (const char* prefix : {kStartProfile, kFilesProfile, kTemporary}) {
            for (const std::string& name : FilesStartingWith(prefix)) {
                const std::string path = directory + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        }
    }

    std::string directory_;
    CleanProductKeys keys_;
};

TEST_F(ProfileFiles, SaveAndLoadInTheColourDirectory) {
    const std::string path = directory_ + kFilesProfile;
    const MonitorSettings saved = Distinctive();
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "In the colour directory", saved, true), 0);

    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    ExpectLoadedFrom(loaded, saved);
    EXPECT_STREQ(loaded.description, "In the colour directory");
    EXPECT_STREQ(loaded.profilePath, path.c_str());
    EXPECT_EQ(memcmp(&loaded.ramp, &saved.ramp, sizeof saved.ramp), 0);

    // Saving over it replaces it in one step and leaves no temporary file.
    MonitorSettings changed = saved;
    GetPhosphorPreset(kDefaultPhosphorPreset, changed.primaries);
    ASSERT_EQ(SaveMonitorProfile(path.c_str(), path.c_str(), "Replaced", changed, true), 0);
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, "Replaced");
    EXPECT_NEAR(loaded.primaries[kGreen].x, 0.30, 1e-4);
    EXPECT_EQ(FilesStartingWith(kFilesProfile), std::vector<std::string>{kFilesProfile});
}

TEST_F(ProfileFiles, AReplacementTheSystemRefusesKeepsTheOldFile) {
    const std::string path = directory_ + kFilesProfile;
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Protected", Distinctive(), true), 0);
    const std::vector<BYTE> before = FileBytes(path);
    // Another program has the profile open and does not let it be replaced.
    HANDLE open = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    EXPECT_EQ(SaveMonitorProfile(path.c_str(), path.c_str(), "Changed", Distinctive(), true),
              strings::kProfileWriteError);
    CloseHandle(open);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(FilesStartingWith(kFilesProfile), std::vector<std::string>{kFilesProfile});
}

TEST_F(ProfileFiles, OnlyAWritableFileIsReplacedThroughATemporaryFileOfItsOwn) {
    const std::string path = directory_ + kFilesProfile, held = directory_ + kTemporary;
    const auto save = [](const std::string& source, const std::string& destination) {
        return SaveMonitorProfile(source.c_str(), destination.c_str(), "New", Distinctive(), true);
    };
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Old", Distinctive(), true), 0);
    const std::vector<BYTE> old = FileBytes(path);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(save("", path), strings::kProfileWriteError);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(save("", "NUL"), strings::kProfileWriteError);
    // A source that another program holds open is reported; nothing is written.
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(save(path, path + ".new"), strings::kProfileUnreadable);
    CloseHandle(lock);
    // A temporary name that another save holds is left to it.
    ASSERT_TRUE(CopyFileA(path.c_str(), held.c_str(), TRUE));
    EXPECT_EQ(save("", path), 0);
    EXPECT_NE(FileBytes(path), old);
    EXPECT_EQ(FileBytes(held), old);
    EXPECT_EQ(FilesStartingWith(kFilesProfile), std::vector<std::string>{kFilesProfile});
}

BOOL WINAPI StubMoveFileEx(LPCWSTR, LPCWSTR, DWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

std::vector<std::string> g_moved;

// Records what it moves; the new file cannot take the old one's place.
BOOL WINAPI MoveRefusingTheNewFile(LPCWSTR source, LPCWSTR destination) {
    char name[MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, std::wcsrchr(source, L'\\') + 1, -1, name, MAX_PATH, nullptr,
                        nullptr);
    g_moved.push_back(name);
    return std::wcsstr(source, L"~tnl") == nullptr && MoveFileW(source, destination);
}

TEST_F(ProfileFiles, WithoutMoveFileExTheOldFileStepsAsideAndComesBack) {
    struct Restore {
        FileSystemCalls saved = g_fileSystemCalls;
        ~Restore() { g_fileSystemCalls = saved; }
    } restore;
    const std::string path = directory_ + kFilesProfile, aside = path + ".old~";
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Old", Distinctive(), true), 0);
    ASSERT_TRUE(CopyFileA(path.c_str(), aside.c_str(), TRUE));  // left by a save that stopped
    g_fileSystemCalls.moveFileEx = nullptr;
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "New", Distinctive(), true), 0);
    const std::vector<BYTE> saved = FileBytes(path);
    EXPECT_EQ(FilesStartingWith(kFilesProfile), std::vector<std::string>{kFilesProfile});

    g_fileSystemCalls.moveFileEx = StubMoveFileEx;
    g_fileSystemCalls.moveFile = MoveRefusingTheNewFile;
    g_moved.clear();
    EXPECT_EQ(SaveMonitorProfile("", path.c_str(), "Newer", Distinctive(), true),
              strings::kProfileWriteError);
    EXPECT_EQ(g_moved, (std::vector<std::string>{kFilesProfile, kTemporary, "tnl-files.icm.old~"}));
    EXPECT_EQ(FileBytes(path), saved);
    EXPECT_EQ(FilesStartingWith(kFilesProfile), std::vector<std::string>{kFilesProfile});
    EXPECT_TRUE(FilesStartingWith(kTemporary).empty());
}

TEST_F(ProfileFiles, AnAsciiPartOfAnotherCodePageComesBackAsLatin1) {
    // Bytes above 0x7F in the ASCII part, as older writers left them: no
    // code page can be known, ISO 8859-1 keeps each one a character.
    const std::string path = directory_ + kFilesProfile;
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Moniteur ####", Distinctive(), true), 0);
    std::ifstream in(path, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    image.replace(image.find("####"), 4, "\xB0\xA1\xE9\xFF");
    std::ofstream(path, std::ios::binary) << image;

    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, u8"Moniteur °¡éÿ");
    char preview[kDescriptionSize] = {};
    ASSERT_EQ(ReadProfileDescription(path.c_str(), preview, sizeof preview), 0);
    EXPECT_STREQ(preview, u8"Moniteur °¡éÿ");
}

TEST_F(ProfileFiles, TheRegisteredProfileOrTheDefaultOne) {
    const std::string path = directory_ + kFilesProfile;
    const MonitorSettings saved = Distinctive();
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Registered", saved, true), 0);

    // Nothing remembered: the default settings profile, which does not exist.
    MonitorSettings record = {};
    EXPECT_EQ(LoadRegisteredProfile(kRegisteredMonitor, &record), strings::kProfileUnreadable);
    EXPECT_EQ(record.gamma[0], 0.0) << "a failed load leaves the record";

    const std::string key =
        "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor" + std::to_string(kRegisteredMonitor);
    SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "Monitor Profile", REG_SZ, path.c_str(),
             DWORD(path.size() + 1));
    ASSERT_EQ(LoadRegisteredProfile(kRegisteredMonitor, &record), 0);
    ExpectLoadedFrom(record, saved);
    EXPECT_STREQ(record.description, "Registered");
    EXPECT_EQ(LoadRegisteredProfile(-1, &record), strings::kInternalError);
}

class StartProfile : public ProfileFiles {
  protected:
    // Saves the distinctive settings in the colour directory and makes the
    // file the monitor's associated profile through the colour library.
    void Associate() {
        path_ = directory_ + kStartProfile;
        ASSERT_EQ(SaveMonitorProfile("", path_.c_str(), "Associated", saved_, true), 0);
        HMODULE library = LoadLibraryA("mscms.dll");
        ASSERT_NE(library, nullptr);
        auto associate = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PCSTR, PCSTR)>(
            reinterpret_cast<void*>(GetProcAddress(library, "AssociateColorProfileWithDeviceA")));
        ASSERT_NE(associate, nullptr);
        char deviceId[128] = "monitor";
        FindMonitorDeviceId(PrimaryAdapter().c_str(), deviceId, sizeof deviceId);
        EXPECT_TRUE(associate(nullptr, path_.c_str(), deviceId));
        FreeLibrary(library);

        HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        char reported[MAX_PATH] = {};
        DWORD size = sizeof reported;
        ASSERT_TRUE(GetICMProfileA(dc, &size, reported));
        DeleteDC(dc);
        ASSERT_EQ(Lower(reported), Lower(path_)) << "another association comes first";
    }

    static std::string PrimaryAdapter() {
        MONITORINFOEXA info = {};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), &info);
        return info.szDevice;
    }

    // The record took the profile's values, and the display's own ramp when
    // that could be read.
    void ExpectStartedFromTheProfile(const MonitorSettings& record, HDC dc) {
        ExpectLoadedFrom(record, saved_);
        EXPECT_STREQ(record.description, "Associated");
        EXPECT_EQ(Lower(record.profilePath), Lower(path_));
        GammaRamp display = {};
        if (record.hasGammaRamp) {
            ASSERT_TRUE(GetDeviceGammaRamp(dc, display.entries));
            EXPECT_EQ(memcmp(&record.ramp, &display, sizeof display), 0) << "the start ramp stays";
        } else {
            EXPECT_EQ(memcmp(&record.ramp, &saved_.ramp, sizeof display), 0)
                << "without a display ramp, the profile's table";
        }
    }

    MonitorSettings saved_ = Distinctive();
    std::string path_;
};

TEST_F(StartProfile, ANewRecordTakesTheAssociatedProfile) {
    Associate();
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    MonitorSettings record;
    memset(&record, 0x5A, sizeof record);
    ScopedFakeSystem messages;
    ASSERT_TRUE(
        InitMonitorSettings(dc, 0, PrimaryAdapter().c_str(), &record, GetModuleHandleA(nullptr)));
    EXPECT_TRUE(messages.state().messages.empty());
    ExpectStartedFromTheProfile(record, dc);
    DeleteDC(dc);
}

TEST_F(StartProfile, SetUpMonitorsFillsEveryRecordFromIt) {
    Associate();
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    session->instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(SetUpMonitors(session.get()));
    ASSERT_GE(session->monitorCount, 1);
    // Wine associates profiles with every monitor alike.
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    for (int i = 0; i < session->monitorCount; ++i) {
        SCOPED_TRACE("monitor " + std::to_string(i));
        ExpectLoadedFrom(session->monitors[i], saved_);
        EXPECT_EQ(Lower(session->monitors[i].profilePath), Lower(path_));
    }
    ExpectStartedFromTheProfile(session->monitors[0], dc);
    DeleteDC(dc);
}

TEST_F(StartProfile, AnUnreadableAssociatedProfileLeavesTheDefaultsWithoutAMessage) {
    Associate();
    // The association stays while the file turns into something else.
    std::vector<BYTE> garbage(200, 0x41);
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, garbage.data(), DWORD(garbage.size()), &written, nullptr);
    CloseHandle(file);

    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    MonitorSettings record;
    ScopedFakeSystem messages;
    ASSERT_TRUE(
        InitMonitorSettings(dc, 0, PrimaryAdapter().c_str(), &record, GetModuleHandleA(nullptr)));
    DeleteDC(dc);
    EXPECT_TRUE(messages.state().messages.empty());
    EXPECT_EQ(record.gamma[0], 2.2);
    EXPECT_EQ(record.primaries[kGreen].x, 0.30);
    EXPECT_STRNE(Lower(record.profilePath).c_str(), Lower(path_).c_str());
}

}  // namespace
}  // namespace tonalis
