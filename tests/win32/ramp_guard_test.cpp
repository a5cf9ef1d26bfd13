// The crash flag around the start-up ramp read, and the new monitor record.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "applet/init_session.h"
#include "session/session_context.h"
#include "applet_seams.h"
#include "display/gamma_ramp_access.h"
#include "display/init_monitor_settings.h"
#include "display/monitors.h"
#include "display/start_ramp_memory.h"
#include "model/gamma_ramp.h"
#include "profile/registry.h"
#include "resources/string_ids.h"
#include "system_seams.h"

namespace tonalis {
namespace {

using namespace testing;

constexpr char kUserKey[] = "SOFTWARE\\Orvane\\Tonalis";

enum class Flag { Absent, Clear, Set, Other };
enum class Keys { None, Ctrl, Shift, CtrlShift };

void StoreFlag(Flag flag) {
    const DWORD values[] = {0, 0, 1, 2};
    if (flag != Flag::Absent) {
        SetValue(HKEY_CURRENT_USER, kUserKey, "GammaCrashed", REG_DWORD,
                 &values[static_cast<int>(flag)], sizeof(DWORD));
    }
}

DWORD StoredFlag() {
    DWORD value = 99;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "GammaCrashed", &value));
    return value;
}

class CrashFlag : public ::testing::TestWithParam<std::tuple<Flag, Keys>> {
  protected:
    CleanProductKeys clean_;
};

TEST_P(CrashFlag, DecidesWhetherTheRampIsRead) {
    auto [flag, keys] = GetParam();
    StoreFlag(flag);
    ScopedFakeDisplaySystem display;
    if (keys == Keys::Ctrl || keys == Keys::CtrlShift) {
        display.state().keysDown.insert(VK_CONTROL);
    }
    if (keys == Keys::Shift || keys == Keys::CtrlShift) {
        display.state().keysDown.insert(VK_SHIFT);
    }
    const bool expectRead = flag != Flag::Set || keys == Keys::CtrlShift;

    MonitorSettings record;
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_TRUE(InitMonitorSettings(dc, 0, "DISPLAY", &record, GetModuleHandleA(nullptr)));
    DeleteDC(dc);

    EXPECT_EQ(display.state().reads, expectRead ? 1 : 0);
    EXPECT_EQ(StoredFlag(), expectRead ? 0u : 1u);
    if (!expectRead) {
        EXPECT_EQ(record.hasGammaRamp, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, CrashFlag,
    ::testing::Combine(::testing::Values(Flag::Absent, Flag::Clear, Flag::Set, Flag::Other),
                       ::testing::Values(Keys::None, Keys::Ctrl, Keys::Shift, Keys::CtrlShift)));

TEST(CrashFlagKeys, OnlyAKeyDownNowCounts) {
    ScopedFakeDisplaySystem display;
    display.state().keysDown = {VK_CONTROL};
    display.state().keysPressedEarlier = {VK_SHIFT};
    EXPECT_TRUE(IsKeyDown(VK_CONTROL));
    EXPECT_FALSE(IsKeyDown(VK_SHIFT));
}

TEST(CrashFlagSet, NoMonitorGetsARampAndCancelLoadsNone) {
    CleanProductKeys clean;
    StoreFlag(Flag::Set);
    ScopedFakeDisplaySystem display;
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    session->instance = GetModuleHandleA(nullptr);

    ASSERT_TRUE(SetUpMonitors(session.get()));
    for (int i = 0; i < session->monitorCount; ++i) {
        EXPECT_EQ(session->monitors[i].hasGammaRamp, 0) << "monitor " << i;
    }
    RestoreStartRamps(session.get());
    EXPECT_EQ(display.state().reads, 0);
    EXPECT_TRUE(display.state().writes.empty());
    EXPECT_EQ(StoredFlag(), 1u);
}

TEST(CrashFlagStrings, WithoutThemTheRampIsLeftAlone) {
    CleanProductKeys clean;
    ScopedFakeProfileSystem profile;
    profile.state().everyAllocationFails = true;
    EXPECT_FALSE(BeginRampAccess());
    EndRampAccess();
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

// A run started; it ends normally when the test forgets its start ramps.
std::unique_ptr<SessionContext> StartedRun() {
    auto session = std::make_unique<SessionContext>();
    memset(session.get(), 0, sizeof *session);
    EXPECT_TRUE(InitSession(session.get(), GetDesktopWindow(), GetModuleHandleA(nullptr)));
    return session;
}

bool RecordKept(const RunOwner& owner, RememberedRamp* record = nullptr) {
    char name[64];
    snprintf(name, sizeof name, "StartGammaRamp0-%lu-%08lX%08lX", owner.processId,
             owner.processStart.dwHighDateTime, owner.processStart.dwLowDateTime);
    HKEY key = nullptr;
    DWORD size = sizeof(RememberedRamp);
    bool kept = RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key) == 0 &&
                RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(record),
                                 record != nullptr ? &size : nullptr) == 0;
    RegCloseKey(key);
    return kept;
}

// What a run left when it died goes back, through the read-back, only when
// that run is dead, ran in this logon session and began after the logon, and
// only a table a display can start with; the user is told only when the
// display holds it again, and the next run starts from it. Only a dead run's
// record is deleted; the next run's normal end leaves the others alone.
TEST(LeftoverTable, GoesBackOnlyFromADeadRunOfThisLogon) {
    const double gamma[3] = {2.2, 2.2, 2.2}, slider[3] = {1.5, 1.5, 1.5}, factor[3] = {1, 1, 1};
    const GammaRamp start = BuildGammaRamp(gamma, factor, 0x00FFFFFF);
    const GammaRamp preview = BuildGammaRamp(gamma, slider, 0x00FFFFFF);
    const GammaRamp black = {};
    GammaRamp falling = start, flat = start;
    falling.Channel(kRed)[128] = 0;
    std::fill(flat.entries, flat.entries + kRampEntries, 0x8000);  // grey, whatever the input
    enum Owner { kAlive, kOtherLogon, kBeforeLogon, kDead };
    const struct {
        const char* what;
        Owner owner;
        FakeTables tables;
        const GammaRamp& table;
    } cases[] = {{"a live run", kAlive, FakeTables::Accepts, start},
                 {"another logon session", kOtherLogon, FakeTables::Accepts, start},
                 {"a run before the system started", kBeforeLogon, FakeTables::Accepts, start},
                 {"a display that keeps its table", kDead, FakeTables::IgnoresAll, start},
                 {"an all-zero table", kDead, FakeTables::Accepts, black},
                 {"a table that falls midway", kDead, FakeTables::Accepts, falling},
                 {"a flat table", kDead, FakeTables::Accepts, flat},
                 {"a dead run", kDead, FakeTables::Accepts, start}};
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION live = {};  // never runs, and lives while it is suspended
    ASSERT_TRUE(CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                               nullptr, &startup, &live));
    FILETIME exit, kernel, user;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CleanProductKeys clean;
        ScopedFakeSystem system;
        ScopedFakeDisplaySystem display;
        display.state().holdsTable = true;
        display.state().held = preview;  // what the run left in the display
        display.state().tables = c.tables;
        // The record a run keeps, with the display device it read.
        RememberedRamp left = {};
        StartedRun();
        ASSERT_TRUE(RecordKept(CurrentRunOwner(), &left));
        ForgetStartRamps();
        left.ramp = c.table;
        left.owner.processStart.dwLowDateTime ^= 1;  // an earlier process of this id, ended
        if (c.owner == kBeforeLogon) {
            left.owner.processStart = {};  // in 1601
        } else if (c.owner == kAlive) {
            left.owner.processId = live.dwProcessId;
            GetProcessTimes(live.hProcess, &left.owner.processStart, &exit, &kernel, &user);
        }
        left.owner.logonSession.LowPart += c.owner == kOtherLogon ? 1 : 0;
        RememberRamp(0, left);

        auto next = StartedRun();
        ForgetStartRamps();  // its normal end

        const bool putBack =
            c.owner == kDead && c.tables == FakeTables::Accepts && &c.table == &start;
        const GammaRamp& expected = putBack ? start : preview;
        EXPECT_EQ(0, memcmp(&display.state().held, &expected, sizeof expected));
        EXPECT_EQ(0, memcmp(&next->monitors[0].ramp, &expected, sizeof expected));
        EXPECT_EQ(system.state().messages.size(), putBack ? 1u : 0u);
        if (putBack && !system.state().messages.empty()) {
            EXPECT_EQ(system.state().messages[0].text,
                      LoadTestString(strings::kLeftoverTablePutBack));
        }
        EXPECT_EQ(RecordKept(left.owner), c.owner != kDead);
    }
    TerminateProcess(live.hProcess, 0);
    WaitForSingleObject(live.hProcess, INFINITE);
    CloseHandle(live.hThread);
    CloseHandle(live.hProcess);
}

// With the crash flag set a run says that the table features are off and how
// to switch them back on; doing so does.
TEST(DeadRun, SwitchedOffTableFeaturesAreToldWithHowToSwitchThemOn) {
    CleanProductKeys clean;
    StoreFlag(Flag::Set);
    ScopedFakeSystem system;
    ScopedFakeDisplaySystem display;
    EXPECT_EQ(StartedRun()->workingSettings.hasGammaRamp, 0);
    display.state().keysDown = {VK_CONTROL, VK_SHIFT};
    StartedRun();
    ForgetStartRamps();
    EXPECT_EQ(StoredFlag(), 0u);
    ASSERT_EQ(system.state().messages.size(), 1u);
    EXPECT_EQ(system.state().messages[0].text, LoadTestString(strings::kTableFeaturesSwitchedOff));
}

TEST(NewMonitorRecord, StartsFromTheDefaults) {
    CleanProductKeys clean;
    MonitorSettings record;
    memset(&record, 0x5A, sizeof record);
    ASSERT_TRUE(
        InitMonitorSettings(nullptr, 2, "\\\\.\\DISPLAY9", &record, GetModuleHandleA(nullptr)));

    EXPECT_STREQ(record.deviceName, "\\\\.\\DISPLAY9");
    EXPECT_EQ(record.description, LoadTestString(strings::kDefaultDescription));
    char defaultPath[kProfilePathSize];
    ASSERT_EQ(GetDefaultProfilePath(defaultPath, sizeof defaultPath), 0);
    EXPECT_STREQ(record.profilePath, defaultPath);
    EXPECT_EQ(record.hasGammaRamp, 0);  // no device context, no ramp
    EXPECT_EQ(record.whiteRgb, 0x00FFFFFFu);
    EXPECT_EQ(record.hardwareWhite.x, 0.3128);
    EXPECT_EQ(record.hardwareWhite.y, 0.3292);
    EXPECT_EQ(record.primaries[1].x, 0.30);  // HDTV green
    EXPECT_EQ(record.adjustedWhite.x, 0.0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(record.gamma[c], 2.2);
        EXPECT_EQ(record.gammaFactor[c], 1.0);
    }
}

TEST(NewMonitorRecord, WithoutADefaultPathReportsAnInternalError) {
    CleanProductKeys clean;
    ScopedFakeSystem messages;
    ScopedFakeProfileSystem profile;
    profile.state().colorLibraryMissing = true;
    profile.state().systemDirectoryFails = true;
    MonitorSettings record;

    EXPECT_FALSE(InitMonitorSettings(nullptr, 0, "DISPLAY", &record, GetModuleHandleA(nullptr)));
    ASSERT_EQ(messages.state().messages.size(), 1u);
    EXPECT_EQ(messages.state().messages[0].text, LoadTestString(strings::kInternalError));
}

}  // namespace
}  // namespace tonalis
