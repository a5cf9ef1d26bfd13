// Installing a saved profile and making it the monitor's only association, with
// Wine's colour management; the guarded colour-management calls; and the profile
// a monitor starts from.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "session/session_context.h"
#include "profile/color_library.h"
#include "profile/profile_association.h"
#include "profile/seh_guard.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kSavedFolder[] = "C:\\tnl-test";
const char* const kTestProfiles[] = {"tnl-a.icm", "tnl-b.icm", "tnl-saved.icm"};

std::string Lower(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

bool Enumerated(const std::string& name) {
    auto names = EnumeratedMonitorProfiles();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The display adapter of the primary monitor, as the monitor set-up names it.
std::string PrimaryAdapterName() {
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.szDevice;
}

void AssociateDirectly(const std::string& path) {
    HMODULE library = LoadLibraryA("mscms.dll");
    auto associate = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PCSTR, PCSTR)>(
        reinterpret_cast<void*>(GetProcAddress(library, "AssociateColorProfileWithDeviceA")));
    ASSERT_TRUE(associate(nullptr, path.c_str(), "any monitor"));
    FreeLibrary(library);
}

// Test profiles in the colour directory and their associations are removed
// before and after each test.
class Association : public ::testing::Test {
  protected:
    void SetUp() override {
        Clean();
        CreateDirectoryA(kSavedFolder, nullptr);
        session_ = std::make_unique<SessionContext>();
        memset(session_.get(), 0, sizeof *session_);
        session_->instance = GetModuleHandleA(nullptr);
        session_->monitorCount = 1;
        // Adapters are matched without regard to case.
        strcpy(session_->monitors[0].deviceName, Lower(PrimaryAdapterName()).c_str());
        saved_ = std::string(kSavedFolder) + "\\tnl-saved.icm";
        ASSERT_TRUE(CopyFileA(SampleProfilePath().c_str(), saved_.c_str(), FALSE))
            << "needs " << SampleProfilePath();
        strcpy(session_->workingSettings.profilePath, saved_.c_str());
    }
    void TearDown() override { Clean(); }

    static void Clean() {
        const std::string directory = LibraryColorDirectory();
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "Software\\Microsoft\\Windows NT\\CurrentVersion\\ICM\\mntr", 0,
                          KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            for (const char* name : kTestProfiles) {
                RegDeleteValueA(key, name);
            }
            RegCloseKey(key);
        }
        for (const char* name : kTestProfiles) {
            DeleteFileA((directory + name).c_str());
            DeleteFileA((std::string(kSavedFolder) + "\\" + name).c_str());
        }
        RemoveDirectoryA(kSavedFolder);
    }

    // Installs a test profile and associates it, as an earlier save would have.
    static void Preassociate(const char* name) {
        const std::string installed = LibraryColorDirectory() + name;
        ASSERT_TRUE(CopyFileA(SampleProfilePath().c_str(), installed.c_str(), FALSE));
        AssociateDirectly(installed);
        ASSERT_TRUE(IsAssociated(name));
    }

    std::unique_ptr<SessionContext> session_;
    std::string saved_;
};

class AssociationAfterSave : public Association, public ::testing::WithParamInterface<int> {};

TEST_P(AssociationAfterSave, LeavesOnlyTheSavedProfileAssociated) {
    const char* earlier[] = {"tnl-a.icm", "tnl-b.icm"};
    for (int i = 0; i < GetParam(); ++i) {
        Preassociate(earlier[i]);
    }

    MakeDefaultMonitorProfile(session_.get(), 0);

    const std::string installed = LibraryColorDirectory() + "tnl-saved.icm";
    EXPECT_STREQ(session_->workingSettings.profilePath, installed.c_str());
    EXPECT_NE(GetFileAttributesA(installed.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(Enumerated("tnl-saved.icm"));
    // Every monitor profile the system lists is disassociated but the saved one.
    for (const std::string& name : EnumeratedMonitorProfiles()) {
        EXPECT_EQ(IsAssociated(name), name == "tnl-saved.icm") << name;
    }
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    char reported[MAX_PATH] = {};
    DWORD size = sizeof reported;
    ASSERT_TRUE(GetICMProfileA(dc, &size, reported));
    DeleteDC(dc);
    EXPECT_EQ(Lower(reported), Lower(installed));
}

INSTANTIATE_TEST_SUITE_P(AlreadyAssociated, AssociationAfterSave, ::testing::Values(0, 1, 2));

struct UnchangedCase {
    const char* name;
    std::function<void(SessionContext*, FakeProfileSystem*)> arrange;
    unsigned monitor;
};

BOOL WINAPI NothingListedEnum(PCSTR, PENUMTYPEA, PBYTE, PDWORD size, PDWORD count) {
    *size = 0;
    *count = 0;
    return FALSE;
}

TEST_F(Association, FirstSaveWithNoProfileListedIsStillAssociated) {
    ScopedFakeProfileSystem fake;
    fake.state().replacedProcedure = "EnumColorProfilesA";
    fake.state().replacement =
        reinterpret_cast<FARPROC>(reinterpret_cast<void*>(NothingListedEnum));

    MakeDefaultMonitorProfile(session_.get(), 0);

    const std::string installed = LibraryColorDirectory() + "tnl-saved.icm";
    EXPECT_STREQ(session_->workingSettings.profilePath, installed.c_str());
    EXPECT_TRUE(IsAssociated("tnl-saved.icm"));
}

BOOL WINAPI RefusingInstall(PCWSTR, PCWSTR) {
    return FALSE;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// An earlier save of the same name is installed and associated: a refused
// install must leave it whole, and a working one replace it.
TEST_F(Association, AnEarlierSaveOfTheNameIsReplacedOnlyByACompleteInstall) {
    Preassociate("tnl-saved.icm");
    const std::string installed = LibraryColorDirectory() + "tnl-saved.icm";
    const std::string earlier = FileBytes(installed);
    std::ofstream(saved_, std::ios::binary | std::ios::app) << "new";
    {
        ScopedFakeProfileSystem fake;
        fake.state().replacedProcedure = "InstallColorProfileW";
        fake.state().replacement =
            reinterpret_cast<FARPROC>(reinterpret_cast<void*>(RefusingInstall));
        MakeDefaultMonitorProfile(session_.get(), 0);
    }
    EXPECT_TRUE(FileBytes(installed) == earlier) << FileBytes(installed).size() << " bytes";
    EXPECT_TRUE(IsAssociated("tnl-saved.icm"));
    EXPECT_EQ(session_->workingSettings.profilePath, saved_);

    MakeDefaultMonitorProfile(session_.get(), 0);
    EXPECT_TRUE(FileBytes(installed) == FileBytes(saved_)) << FileBytes(installed).size();
    EXPECT_TRUE(IsAssociated("tnl-saved.icm"));
    WIN32_FIND_DATAA found;
    HANDLE staged = FindFirstFileA((LibraryColorDirectory() + "~tnl*").c_str(), &found);
    EXPECT_EQ(staged, INVALID_HANDLE_VALUE) << "left behind: " << found.cFileName;
}

// The installed file itself, chosen under another spelling, stays as it is.
TEST_F(Association, TheInstalledFileUnderAnotherSpellingIsKept) {
    Preassociate("tnl-saved.icm");
    const std::string installed = LibraryColorDirectory() + "tnl-saved.icm";
    const std::string bytes = FileBytes(installed);
    std::string slashes = installed;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    strcpy(session_->workingSettings.profilePath, slashes.c_str());
    MakeDefaultMonitorProfile(session_.get(), 0);
    EXPECT_TRUE(FileBytes(installed) == bytes) << FileBytes(installed).size() << " bytes";
    EXPECT_TRUE(IsAssociated("tnl-saved.icm"));
    EXPECT_STREQ(session_->workingSettings.profilePath, installed.c_str());
}

class AssociationUnchanged : public Association,
                             public ::testing::WithParamInterface<UnchangedCase> {};

TEST_P(AssociationUnchanged, KeepsTheEarlierProfile) {
    Preassociate("tnl-a.icm");
    ScopedFakeProfileSystem fake;
    GetParam().arrange(session_.get(), &fake.state());
    const std::string before = session_->workingSettings.profilePath;

    MakeDefaultMonitorProfile(session_.get(), GetParam().monitor);

    EXPECT_TRUE(IsAssociated("tnl-a.icm"));
    EXPECT_FALSE(IsAssociated("tnl-saved.icm"));
    EXPECT_EQ(session_->workingSettings.profilePath, before);
    EXPECT_FALSE(Enumerated("tnl-saved.icm"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AssociationUnchanged,
    ::testing::Values(
        // The mended order: nothing is disassociated before the install succeeded.
        UnchangedCase{"InstallFails",
                      [](SessionContext* s, FakeProfileSystem*) {
                          strcpy(s->workingSettings.profilePath, "C:\\tnl-test\\missing.icm");
                      },
                      0},
        UnchangedCase{"NoColourLibrary",
                      [](SessionContext*, FakeProfileSystem* f) { f->colorLibraryMissing = true; },
                      0},
        UnchangedCase{"NoEnumDisplayDevices",
                      [](SessionContext*, FakeProfileSystem* f) {
                          f->missingProcedures = {"EnumDisplayDevicesA"};
                      },
                      0},
        UnchangedCase{"SingleDisplayName",
                      [](SessionContext* s, FakeProfileSystem*) {
                          strcpy(s->monitors[0].deviceName, "DISPLAY");
                      },
                      0},
        UnchangedCase{"MonitorBeyondTheSession", [](SessionContext*, FakeProfileSystem*) {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Association, MonitorProfileFromTheDeviceContext) {
    Preassociate("tnl-a.icm");
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    const std::string adapter = PrimaryAdapterName();
    char path[360] = {};
    ScopedFakeProfileSystem fake;

    fake.state().majorVersion = 5;  // Windows 2000: the device context's answer
    ASSERT_TRUE(FindMonitorProfile(dc, sizeof path, path, adapter.c_str(), nullptr));
    EXPECT_EQ(Lower(path), Lower(LibraryColorDirectory() + "tnl-a.icm"));

    // Windows NT 4: the first monitor-class profile of the monitor instead.
    fake.state().majorVersion = 4;
    ASSERT_TRUE(FindMonitorProfile(dc, sizeof path, path, adapter.c_str(), nullptr));
    EXPECT_EQ(path, LibraryColorDirectory() + EnumeratedMonitorProfiles().front());

    fake.state().missingProcedures = {"EnumDisplayDevicesA"};
    ASSERT_TRUE(FindMonitorProfile(dc, sizeof path, path, adapter.c_str(), nullptr));
    EXPECT_EQ(Lower(path), Lower(LibraryColorDirectory() + "tnl-a.icm"));

    fake.state().versionQueryFails = true;
    EXPECT_FALSE(FindMonitorProfile(dc, sizeof path, path, adapter.c_str(), nullptr));
    DeleteDC(dc);
}

BOOL WINAPI FaultingEnum(PCSTR, PENUMTYPEA, PBYTE, PDWORD, PDWORD) {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    return TRUE;
}

BOOL WINAPI RaisingEnum(PCSTR, PENUMTYPEA, PBYTE, PDWORD, PDWORD) {
    RaiseException(0xE0000001, 0, 0, nullptr);
    return TRUE;
}

BOOL WINAPI SizeQueryEnum(PCSTR, PENUMTYPEA, PBYTE, PDWORD size, PDWORD count) {
    *size = 30;
    *count = 1;
    return FALSE;
}

TEST(ColorLibrary, ExceptionsInTheEnumerationGiveFalse) {
    for (auto function : {FaultingEnum, RaisingEnum}) {
        ScopedFakeProfileSystem fake;
        fake.state().replacedProcedure = "EnumColorProfilesA";
        fake.state().replacement = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
        ENUMTYPEA query = MonitorProfileQuery("monitor");
        BYTE buffer[64];
        DWORD size = sizeof buffer;
        DWORD count = 0;
        EXPECT_FALSE(ColorEnumProfiles(nullptr, &query, buffer, &size, &count));
    }
    // The process goes on normally after a caught fault.
    int calls = 0;
    EXPECT_TRUE(RunGuarded([](void* c) { ++*static_cast<int*>(c); }, &calls));
    EXPECT_EQ(calls, 1);
}

TEST(ColorLibrary, ASizeQueryCountsAsSuccess) {
    ScopedFakeProfileSystem fake;
    fake.state().replacedProcedure = "EnumColorProfilesA";
    fake.state().replacement = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(SizeQueryEnum));
    ENUMTYPEA query = MonitorProfileQuery("monitor");
    DWORD size = 0;
    DWORD count = 0;
    EXPECT_TRUE(ColorEnumProfiles(nullptr, &query, nullptr, &size, &count));
    EXPECT_EQ(size, 30u);
    BYTE buffer[64];
    EXPECT_FALSE(ColorEnumProfiles(nullptr, &query, buffer, &size, &count));
}

TEST(ColorLibrary, WithoutTheLibraryEveryCallFails) {
    ScopedFakeProfileSystem fake;
    fake.state().colorLibraryMissing = true;
    ENUMTYPEA query = MonitorProfileQuery("monitor");
    DWORD size = 0;
    DWORD count = 0;
    EXPECT_EQ(LoadColorLibrary(), nullptr);
    EXPECT_FALSE(ColorEnumProfiles(nullptr, &query, nullptr, &size, &count));
    EXPECT_FALSE(ColorInstallProfile(nullptr, SampleProfilePath().c_str()));
    EXPECT_FALSE(ColorAssociateProfile(nullptr, "C:\\a.icm", "monitor"));
    EXPECT_FALSE(ColorDisassociateProfile(nullptr, "C:\\a.icm", "monitor"));
}

}  // namespace
}  // namespace tonalis
