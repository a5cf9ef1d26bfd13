// The keeper's window on Xorg's dummy driver: each broadcast Windows sends
// brings the kept table back, with the checks after a wake on the core's
// clock, which the test moves; a rival makes it stand down with one balloon;
// each item of the icon's menu does what it says. The table is read straight
// through GDI.
#include <windows.h>
#include <dbt.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "applet/single_run.h"
#include "applet_seams.h"
#include "display/display_system_calls.h"
#include "keeper/keeper_link.h"
#include "keeper/keeper_system_calls.h"
#include "keeper/keeper_tray.h"
#include "keeper/keeper_window.h"
#include "model/presets.h"
#include "model/ramp_read_back.h"
#include "profile/save_monitor_profile.h"
#include "session/run_claim.h"
#include "system_seams.h"

namespace tonalis {
namespace {

// Taken before any test puts its own in their place.
const KeeperSystemCalls kRealKeeperCalls = g_keeperSystemCalls;
double g_clock = 1000.0;
bool g_appletOpen = false;
std::vector<NOTIFYICONDATAW> g_icon;  // every call, in order
std::wstring g_started;

BOOL WINAPI RecordIcon(DWORD message, PNOTIFYICONDATAW data) {
    g_icon.push_back(*data);
    g_icon.back().uID = message;  // the call's message, kept where the test finds it
    return TRUE;
}
HINSTANCE WINAPI RecordStart(HWND, LPCWSTR, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT) {
    g_started = std::wstring(file) + L" " + parameters;
    return reinterpret_cast<HINSTANCE>(33);
}

// The identity table, or with every entry times a factor.
GammaRamp Identity(double factor = 1.0) {
    GammaRamp ramp;
    for (int i = 0; i < kRampEntries; ++i) {
        ramp.entries[i] = static_cast<uint16_t>((i % kRampSize) * 257 * factor);
    }
    return ramp;
}

class KeeperWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        if (testing::DisplaySetup() != "dummy") {
            GTEST_SKIP() << "needs Xorg's dummy driver (TONALIS_DISPLAY_SETUP=dummy)";
        }
        screen_ = GetDC(nullptr);
        ASSERT_TRUE(GetDeviceGammaRamp(screen_, saved_.entries));
        g_keeperSystemCalls = {[] { return g_clock; }, RecordIcon, RecordStart,
                               [] { return g_appletOpen; }};
        g_icon.clear();
        g_appletOpen = false;
        // Gamma 1.8 over the identity: far from it in the middle.
        for (int i = 0; i < kRampEntries; ++i) {
            const double level = (i % kRampSize) / 255.0;
            settings_.choice.profileTable.entries[i] =
                static_cast<uint16_t>(65535.0 * std::pow(level, 1.0 / 1.8) + 0.5);
        }
        settings_.choice.hasProfile = true;
        settings_.interval = 60.0;
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) {
            DestroyWindow(window_);
        }
        // The keeper's end posts WM_QUIT, which no later test must meet.
        MSG message;
        PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        g_keeperSystemCalls = real_;
        if (screen_ != nullptr) {
            SetDeviceGammaRamp(screen_, saved_.entries);
            ReleaseDC(nullptr, screen_);
        }
    }
    bool Holds(const GammaRamp& table) {
        GammaRamp now;
        return GetDeviceGammaRamp(screen_, now.entries) &&
               LargestEntryDifference(now, table) <= kReadBackTolerance;
    }
    bool HoldsKept() { return Holds(settings_.choice.profileTable); }
    void Reset() {
        GammaRamp identity = Identity();
        ASSERT_TRUE(SetDeviceGammaRamp(screen_, identity.entries));
        ASSERT_FALSE(HoldsKept());
    }
    void After(double seconds) {
        g_clock += seconds;
        SendMessageW(window_, WM_TIMER, 1, 0);
    }
    std::wstring Tip() {
        for (auto call = g_icon.rbegin(); call != g_icon.rend(); ++call) {
            if (call->uFlags & NIF_TIP) {
                return call->szTip;
            }
        }
        return L"";
    }

    const KeeperSystemCalls real_ = g_keeperSystemCalls;
    HDC screen_ = nullptr;
    GammaRamp saved_;
    KeeperSettings settings_;
    HWND window_ = nullptr;
};

TEST_F(KeeperWindow, EachBroadcastBringsTheTableBackAndAWakeIsCheckedAgainAt2And5And15s) {
    window_ = CreateKeeperWindow(settings_);
    ASSERT_NE(window_, nullptr);
    EXPECT_TRUE(HoldsKept()) << "loaded at start";

    struct PowerSetting {
        GUID setting;
        DWORD length;
        UCHAR data[4];
    } displayOn = {
        {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, 4, {1}};
    DEV_BROADCAST_DEVICEINTERFACE_W monitor = {};
    monitor.dbcc_size = sizeof monitor;
    monitor.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    monitor.dbcc_classguid = {
        0xe6f07b5f, 0xee97, 0x4a90, {0xb0, 0x76, 0x33, 0xf5, 0x7b, 0xf4, 0xea, 0xa7}};
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool wake;
    } events[] = {
        {"resume", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, true},
        {"resume by the user", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, true},
        {"display on", WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&displayOn), true},
        {"unlock", 0x02B1, 8, 0, true},
        {"console connect", 0x02B1, 1, 0, true},
        {"display change", WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768), false},
        {"monitor arrival", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&monitor),
         false},
        {"settings change", WM_SETTINGCHANGE, 0, 0, false},
    };
    for (const auto& event : events) {
        Reset();
        SendMessageW(window_, event.message, event.wParam, event.lParam);
        EXPECT_TRUE(HoldsKept()) << event.name << ": checked at once";
        if (!event.wake) {
            continue;
        }
        Reset();
        After(1.0);
        EXPECT_FALSE(HoldsKept()) << event.name << ": no check 1 s after";
        for (double retry : {1.0, 3.0, 10.0}) {  // at 2, 5 and 15 s
            Reset();
            After(retry);
            EXPECT_TRUE(HoldsKept()) << event.name << ": checked again " << g_clock;
        }
        After(60.0);
    }
    displayOn.data[0] = 2;  // dimmed
    Reset();
    SendMessageW(window_, WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&displayOn));
    EXPECT_FALSE(HoldsKept()) << "a dimmed display is no wake";

    // The applet's preview is left alone while it is open.
    g_appletOpen = true;
    Reset();
    SendMessageW(window_, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_FALSE(HoldsKept()) << "the applet is open";
    g_appletOpen = false;
}

TEST_F(KeeperWindow, ARivalMakesItStandDownWithOneBalloonAndTheMenuDoesWhatItSays) {
    settings_.interval = 0.5;
    window_ = CreateKeeperWindow(settings_);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(g_icon.at(0).uID, static_cast<UINT>(NIM_ADD));
    EXPECT_EQ(Tip(), L"Tonalis：已保持 1 台显示器的校正");

    // Another program writes its own table every 0.3 s for 6 s.
    for (int step = 0; step < 20; ++step) {
        Reset();
        After(0.3);
    }
    int balloons = 0;
    for (const NOTIFYICONDATAW& call : g_icon) {
        balloons += (call.uFlags & NIF_INFO) ? 1 : 0;
    }
    EXPECT_EQ(balloons, 1);
    EXPECT_NE(Tip().find(L"已停止保持"), std::wstring::npos);
    Reset();
    After(2.0);
    EXPECT_FALSE(HoldsKept()) << "no writes after standing down";

    SendMessageW(window_, WM_COMMAND, kKeeperCommandReload, 0);
    EXPECT_TRUE(HoldsKept()) << "重新载入校正";
    EXPECT_EQ(Tip(), L"Tonalis：已保持 1 台显示器的校正");

    SendMessageW(window_, WM_COMMAND, kKeeperCommandPause, 0);
    Reset();
    After(2.0);
    EXPECT_FALSE(HoldsKept()) << "暂停";
    EXPECT_EQ(Tip(), L"Tonalis：已暂停保持校正");
    SendMessageW(window_, WM_COMMAND, kKeeperCommandPause, 0);
    EXPECT_TRUE(HoldsKept()) << "继续";

    SendMessageW(window_, WM_COMMAND, kKeeperCommandLinear, 0);
    After(2.0);
    EXPECT_TRUE(Holds(Identity())) << "还原为线性, and paused";

    SendMessageW(window_, WM_COMMAND, kKeeperCommandOpenApplet, 0);
    // From a program, the TNP.cpl installed beside it.
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring folder(program, std::wstring(program).rfind(L'\\') + 1);
    EXPECT_EQ(g_started, L"control.exe \"" + folder + L"TNP.cpl\"");

    const size_t calls = g_icon.size();
    SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(g_icon.size(), calls + 1);
    EXPECT_EQ(g_icon.back().uID, static_cast<UINT>(NIM_ADD)) << "back after Explorer restarts";

    SendMessageW(window_, WM_COMMAND, kKeeperCommandReload, 0);
    SendMessageW(window_, WM_COMMAND, kKeeperCommandQuit, 0);
    EXPECT_FALSE(IsWindow(window_)) << "结束";
    EXPECT_EQ(g_icon.back().uID, static_cast<UINT>(NIM_DELETE));
    EXPECT_TRUE(HoldsKept()) << "the table stays as it was";
}

// What the applet leaves in the display at its end is the user's: it stays
// until 重新载入校正 reads the profile again. A reload asked while the applet
// is open, as its save asks, ends a stand-down.
TEST_F(KeeperWindow, WhatTheAppletLeavesStaysAndAReloadAskedMeanwhileEndsAStandDown) {
    settings_.interval = 0.5;
    window_ = CreateKeeperWindow(settings_);
    GammaRamp left = Identity(0.5);
    g_appletOpen = true;
    SetDeviceGammaRamp(screen_, left.entries);
    g_appletOpen = false;
    SendMessageW(window_, kKeeperAppletEndedMessage, 0, 0);
    for (int check = 1; check <= 4; ++check) {
        After(0.5);
        EXPECT_TRUE(Holds(left)) << "undone at check " << check;
    }
    SendMessageW(window_, WM_COMMAND, kKeeperCommandReload, 0);
    EXPECT_TRUE(HoldsKept());

    for (int step = 0; step < 20; ++step) {
        Reset();
        After(0.3);
    }
    ASSERT_NE(Tip().find(L"已停止保持"), std::wstring::npos);
    g_appletOpen = true;
    SetDeviceGammaRamp(screen_, settings_.choice.profileTable.entries);
    SendMessageW(window_, kKeeperReloadMessage, 0, 0);
    g_appletOpen = false;
    SendMessageW(window_, kKeeperAppletEndedMessage, 0, 0);
    Reset();
    After(0.5);
    EXPECT_TRUE(HoldsKept()) << "still stood down";
}

// The applet saving a new calibration over the kept profile: the keeper reads
// the file again and keeps the new table.
TEST_F(KeeperWindow, AKeptProfileSavedOverIsReadAgain) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    settings_.choice.profileName = std::string(folder) + "tnl-keeper-kept.icc";
    const char* path = settings_.choice.profileName.c_str();
    MonitorSettings saved = {};
    GetPhosphorPreset(kDefaultPhosphorPreset, saved.primaries);
    saved.hardwareWhite = GetWhitePreset(4);
    saved.ramp = settings_.choice.profileTable;
    ASSERT_EQ(SaveMonitorProfile("", path, "Kept", saved, true), 0);
    window_ = CreateKeeperWindow(settings_);
    saved.ramp = Identity(0.75);
    ASSERT_EQ(SaveMonitorProfile(path, path, "New", saved, true), 0);
    for (int check = 1; check <= 4; ++check) {
        After(60.0);
        EXPECT_TRUE(Holds(saved.ramp)) << "the older table at check " << check;
    }
    DeleteFileA(path);
}

// A monitor count that disagrees for a moment, as while monitors change: no
// monitor is forgotten and loaded again, nothing goes through the whole screen.
TEST(KeeperTable, AMomentaryMonitorCountChangesNothing) {
    testing::ScopedFakeDisplaySystem display;
    testing::ScopedFakeDesktop desktop({{{0, 0, 1024, 768}, "\\\\.\\DISPLAY1", true},
                                        {{1024, 0, 2048, 768}, "\\\\.\\DISPLAY2", false}},
                                       2);
    const KeeperSystemCalls real = g_keeperSystemCalls;
    g_keeperSystemCalls.now = [] { return g_clock; };
    KeeperSettings settings;
    settings.tray = false;
    settings.choice.hasProfile = true;
    HWND window = CreateKeeperWindow(settings);
    const size_t written = display.state().writes.size();
    for (int count : {3, 2}) {
        desktop.SetReportedCount(count);
        SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    }
    EXPECT_EQ(display.state().writes.size(), written);
    DestroyWindow(window);
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    g_keeperSystemCalls = real;
}

// A driver that skips a table equal to the last one it took, after another
// program reset the display behind it: the keeper's write goes through.
GammaRamp g_driverHeld, g_driverTaken;
BOOL WINAPI DriverRead(HDC, LPVOID ramp) {
    *static_cast<GammaRamp*>(ramp) = g_driverHeld;
    return TRUE;
}
BOOL WINAPI DriverWrite(HDC, LPVOID ramp) {
    const GammaRamp& given = *static_cast<const GammaRamp*>(ramp);
    if (LargestEntryDifference(given, g_driverTaken) != 0) {
        g_driverHeld = g_driverTaken = given;
    }
    return TRUE;
}

TEST(KeeperTable, ADriverThatSkipsAnIdenticalTableTakesItAfterAStepOff) {
    GammaRamp kept = Identity();
    for (int i = 0; i < kRampEntries; ++i) {
        kept.entries[i] = static_cast<uint16_t>(kept.entries[i] / 2);
    }
    g_driverTaken = kept;
    g_driverHeld = Identity();  // reset by another program, which the driver did not see
    const DisplaySystemCalls real = g_displaySystemCalls;
    g_displaySystemCalls.getDeviceGammaRamp = DriverRead;
    g_displaySystemCalls.setDeviceGammaRamp = DriverWrite;
    const bool written = WriteKeptTable("DISPLAY", kept);
    g_displaySystemCalls = real;
    EXPECT_TRUE(written);
    EXPECT_EQ(LargestEntryDifference(g_driverHeld, kept), 0);
}

// The keeper rests exactly while a run of the applet holds its claim: a run
// that ends while the keeper looks at the claim leaves it free for the next
// launch, and an elevated run's claim, closed to the keeper, counts as open.
TEST(KeeperTable, SeesTheAppletsRunWhileItIsOpen) {
    EXPECT_FALSE(kRealKeeperCalls.appletOpen());
    HANDLE looking = nullptr;
    {
        SingleRun run;
        ASSERT_TRUE(run.IsFirst());
        EXPECT_TRUE(kRealKeeperCalls.appletOpen());
        looking = OpenFileMappingA(FILE_MAP_READ, FALSE, kRunClaimName);
    }
    EXPECT_FALSE(kRealKeeperCalls.appletOpen()) << "the run ended while the keeper looked";
    EXPECT_TRUE(SingleRun().IsFirst()) << "a launch while the keeper looked is swallowed";
    CloseHandle(looking);

    PSECURITY_DESCRIPTOR systemOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:(A;;GA;;;SY)", SDDL_REVISION_1, &systemOnly, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, systemOnly, FALSE};
    HANDLE elevated = CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                         sizeof(RunClaim), kRunClaimName);
    ASSERT_NE(elevated, nullptr);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, kRunClaimName), nullptr);
    EXPECT_TRUE(kRealKeeperCalls.appletOpen()) << "an elevated run's claim";
    CloseHandle(elevated);
    LocalFree(systemOnly);
}

}  // namespace
}  // namespace tonalis
