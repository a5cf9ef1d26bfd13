// The profile saved and the table left in the display are the calibration the
// user saw: after loads, white point changes and every way of closing.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

#include "applet_library.h"
#include "applet_run.h"
#include "icc_file.h"
#include "model/gamma_ramp.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

constexpr tonalis::Chromaticity kTrinitron[3] = {{0.625, 0.34}, {0.28, 0.595}, {0.155, 0.07}};
// Two 8-bit steps: a table's estimate and rebuild, and the X server's precision.
constexpr int kRoundingError = 512;

// A profile that an earlier calibration left, with its table or without one.
std::string MakeProfile(const char* name, const double gamma[3], const double factor[3],
                        uint32_t peaks, bool withTable) {
    MonitorSettings settings = {};
    std::copy(gamma, gamma + 3, settings.gamma);
    std::copy(factor, factor + 3, settings.gammaFactor);
    std::copy(kTrinitron, kTrinitron + 3, settings.primaries);
    settings.hardwareWhite = {0.3128, 0.3292};
    settings.ramp = BuildGammaRamp(gamma, factor, peaks);
    const std::string path = std::string(kScratchFolder) + "\\" + name + ".icc";
    EXPECT_EQ(SaveMonitorProfile(path.c_str(), path.c_str(), name, settings, withTable), 0);
    return path;
}

Ramp TableOf(const std::string& path) {
    Ramp ramp = {};
    std::vector<WORD> vcgt = IccFile(ReadFileBytes(path)).Vcgt();
    std::copy(vcgt.begin(), vcgt.end(), ramp.entries);
    return ramp;
}

// The profile's table rewritten as other tools write it: 8-bit levels in a
// tag padded to 1600 bytes. Gives the levels as 16-bit entries (x 257).
Ramp AsEightBitTable(const std::string& path) {
    std::string bytes = ReadFileBytes(path);
    Ramp levels = TableOf(path);
    // The table is the last tag; its entry size field says 1.
    const size_t data = bytes.size() - 1584, entry = bytes.find("vcgt", 132);
    bytes[data + 17] = 1;
    for (int i = 0; i < 768; ++i) {
        bytes[data + 18 + i] = char(levels.entries[i] >> 8);
        levels.entries[i] = WORD((levels.entries[i] >> 8) * 257);
    }
    bytes.replace(data + 18 + 768, std::string::npos, 1600 - 18 - 768, '\0');
    for (auto [at, value] : {std::pair<size_t, size_t>{entry + 8, 1600}, {0, bytes.size()}}) {
        for (int k = 0; k < 4; ++k) {
            bytes[at + k] = char(value >> (24 - 8 * k));
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return levels;
}

// Installed and associated, as an earlier calibration leaves its profile.
void MakeMonitorProfile(const std::string& path) {
    HMODULE mscms = LoadLibraryA("mscms.dll");
    auto install = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PCSTR)>(
        reinterpret_cast<void*>(GetProcAddress(mscms, "InstallColorProfileA")));
    auto associate = reinterpret_cast<BOOL(WINAPI*)(PCSTR, PCSTR, PCSTR)>(
        reinterpret_cast<void*>(GetProcAddress(mscms, "AssociateColorProfileWithDeviceA")));
    const std::string installed = LibraryColorDirectory() + path.substr(path.rfind('\\') + 1);
    ASSERT_TRUE(install(nullptr, path.c_str()) && associate(nullptr, installed.c_str(), "DISPLAY"));
    ASSERT_EQ(_stricmp(ScreenProfile().c_str(), installed.c_str()), 0) << ScreenProfile();
}

// Through the open dialog, which takes a typed name as the save dialog does.
void Load(HWND window, const std::string& path, const char* description) {
    Click(window, IDC_LOAD);
    SaveAs(path);
    WaitUntil([&] { return Text(window, IDC_DESCRIPTION) == description; }, description);
}

class SavedCalibration : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* setup = getenv("TONALIS_DISPLAY_SETUP");
        if (setup == nullptr || std::string(setup).rfind("dummy", 0) != 0) {
            GTEST_SKIP() << "needs a settable ramp";
        }
        ASSERT_EQ(applet_.Send(CPL_INIT), 1);
        start_ = ScreenRamp();
    }
    void TearDown() override { applet_.Send(CPL_EXIT); }

    CleanSystem clean_;
    AppletLibrary applet_;
    Ramp start_;
};

// Pages shown before a load show what it loaded and the display its table at
// once; a profile without a table starts from the start table; a new hardware
// white keeps the adjusted white; Finish leaves the saved table in the display.
TEST_F(SavedCalibration, WizardSavesWhatItShowed) {
    const double gamma18[3] = {1.8, 1.8, 1.8}, native[3] = {1.0, 1.0, 1.0};
    const std::string warm = MakeProfile("tnl-e2e-warm", gamma18, native, 0x9DD4FF, true);
    const std::string plain = MakeProfile("tnl-e2e-plain", gamma18, native, 0xFFFFFF, false);
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-saved.icc";
    Ramp atWarmLoad = {}, atPlainLoad = {};
    std::string phosphors, gamma, adjusted;

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        for (int id : {IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA,
                       IDD_HARDWARE_WHITE, -IDD_ADJUSTED_WHITE, -IDD_HARDWARE_WHITE, -IDD_GAMMA,
                       -IDD_PHOSPHORS, -IDD_BRIGHTNESS}) {
            wizard.WaitForPage(std::abs(id));
            wizard.Press(id > 0 ? PSBTN_NEXT : PSBTN_BACK);
        }
        HWND page = wizard.WaitForPage(IDD_DESCRIPTION);
        Load(page, warm, "tnl-e2e-warm");
        atWarmLoad = ScreenRamp();
        Load(page, plain, "tnl-e2e-plain");
        atPlainLoad = ScreenRamp();
        wizard.NextThrough({IDD_DESCRIPTION, IDD_BRIGHTNESS});
        phosphors = SelectedText(wizard.WaitForPage(IDD_PHOSPHORS), IDC_PHOSPHOR_LIST);
        wizard.Next();
        gamma = Text(wizard.WaitForPage(IDD_GAMMA), IDC_GAMMA_EDIT);
        wizard.Next();
        Choose(wizard.WaitForPage(IDD_HARDWARE_WHITE), IDC_HARDWARE_WHITE_LIST, 4);  // 9300 K
        wizard.Next();
        adjusted = SelectedText(wizard.WaitForPage(IDD_ADJUSTED_WHITE), IDC_ADJUSTED_WHITE_LIST);
        wizard.Next();
        Click(wizard.WaitForPage(IDD_FINISH_COMPARE), IDC_BEFORE);
        WaitUntil([&] { return RampDistance(ScreenRamp(), start_) <= kRoundingError; }, "before");
        wizard.Finish();
        SaveAs(saved);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_LE(RampDistance(atWarmLoad, TableOf(warm)), kRoundingError);
    EXPECT_LE(RampDistance(atPlainLoad, start_), kRoundingError);
    EXPECT_EQ(phosphors, "Trinitron");
    EXPECT_EQ(gamma, "1.80");
    EXPECT_EQ(adjusted, Ansi(u8"6500°K(日光)"));
    EXPECT_LE(RampDistance(ScreenRamp(), TableOf(saved)), kRoundingError);
    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(saved.c_str(), &loaded), 0);
    EXPECT_NEAR(loaded.adjustedWhite.x, 0.3128, 0.0012);
    EXPECT_NEAR(loaded.adjustedWhite.y, 0.3292, 0.0012);
}

// Per-channel gammas survive a load in the panel, which then counts as
// unchanged; in the wizard it hands over to, Esc with the focus in the gamma
// field puts the start table back.
TEST_F(SavedCalibration, PanelLoadKeepsChannelsAndEscRestoresTheStartTable) {
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const double gammas[3] = {1.8, 2.2, 2.6}, factors[3] = {0.8, 1.0, 1.25};
    const std::string channels = MakeProfile("tnl-e2e-channels", gammas, factors, 0xFFFFFF, true);
    bool single = true;
    Ramp atLoad = {};

    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        Load(panel, channels, "tnl-e2e-channels");
        Load(panel, channels, "tnl-e2e-channels");
        single = IsChecked(panel, IDC_SINGLE_GAMMA);
        atLoad = ScreenRamp();
        Click(panel, IDC_PANEL_WIZARD);
        Wizard wizard = Wizard::WaitForIt();
        wizard.NextThrough({IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS});
        HWND page = wizard.WaitForPage(IDD_GAMMA);
        HWND edit = Control(page, IDC_GAMMA_EDIT);
        Send(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        Type(page, IDC_GAMMA_EDIT, "1.5");
        WaitUntil([&] { return RampDistance(ScreenRamp(), atLoad) > kRoundingError; }, "1.5");
        PressKey(edit, VK_ESCAPE);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.closedByWatchdog);
    EXPECT_TRUE(run.messages.empty()) << "the second load asks nothing";
    EXPECT_FALSE(single);
    EXPECT_LE(RampDistance(atLoad, TableOf(channels)), kRoundingError);
    EXPECT_LE(RampDistance(ScreenRamp(), start_), kRoundingError);
}

// In the panel a white point or a phosphor set chosen shows at once; a table
// of 8-bit levels opened there is the table that OK saves.
TEST_F(SavedCalibration, PanelPreviewsChoicesAndSavesTheEightBitTableItOpened) {
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const double gamma[3] = {2.2, 2.2, 2.2}, factors[3] = {0.9, 1.0, 1.1};
    const std::string opened = MakeProfile("tnl-e2e-8bit", gamma, factors, 0xFFFFFF, true);
    const Ramp levels = AsEightBitTable(opened);
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-8bit-saved.icc";

    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        Choose(panel, IDC_HARDWARE_WHITE_LIST, 4);  // 9300 K showing the 6500 K kept
        WaitUntil(
            [&] {
                const Ramp shown = ScreenRamp();
                return shown.entries[767] + kRoundingError < shown.entries[255];
            },
            "less blue at once");
        const Ramp cooler = ScreenRamp();
        Choose(panel, IDC_PHOSPHOR_LIST, 2);  // NTSC needs other peaks for it
        WaitUntil([&] { return RampDistance(ScreenRamp(), cooler) > kRoundingError; },
                  "the NTSC peaks at once");
        Load(panel, opened, "tnl-e2e-8bit");
        Click(panel, IDOK);
        SaveAs(saved);
    });

    EXPECT_EQ(run.failure, "");
    EXPECT_LE(RampDistance(TableOf(saved), levels), kRoundingError);
}

// The keeper as the logon starts it, keeping the registered profile: after the
// panel saves another calibration, a display change brings back the new table,
// not the one the keeper started with.
TEST_F(SavedCalibration, TheKeeperKeepsWhatThePanelSaved) {
    const double gamma18[3] = {1.8, 1.8, 1.8}, gamma24[3] = {2.4, 2.4, 2.4};
    const double native[3] = {1.0, 1.0, 1.0};
    const std::string old = MakeProfile("tnl-e2e-kept", gamma18, native, 0xFFFFFF, true);
    const std::string cool = MakeProfile("tnl-e2e-cool", gamma24, native, 0xFFD49D, true);
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-kept-new.icc";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kMachineKey) + "\\Monitor0").c_str(),
                              0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Monitor Profile", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()),
                   static_cast<DWORD>(old.size() + 1));
    RegCloseKey(key);
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);

    std::string command =
        "rundll32.exe \"" + AppletPath() + "\",TNLKeepCalibration --no-tray --interval 60";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // Ended on every path, as no later scenario may meet it.
    struct Keeper {
        PROCESS_INFORMATION process = {};
        ~Keeper() {
            PostMessageW(FindWindowW(L"TonalisKeeper", nullptr), WM_CLOSE, 0, 0);
            if (process.hProcess != nullptr) {
                WaitForSingleObject(process.hProcess, 10000);
                CloseHandle(process.hThread);
                CloseHandle(process.hProcess);
            }
        }
    } keeper;
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &keeper.process));
    HWND window = WaitFor([] { return FindWindowW(L"TonalisKeeper", nullptr); }, "the keeper");
    WaitUntil([&] { return RampDistance(ScreenRamp(), TableOf(old)) <= kRoundingError; },
              "the kept table loaded");

    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        Load(panel, cool, "tnl-e2e-cool");
        Click(panel, IDOK);
        SaveAs(saved);
    });
    EXPECT_EQ(run.failure, "");
    LoadScreenRamp(start_);
    ASSERT_GT(RampDistance(ScreenRamp(), TableOf(saved)), kRoundingError);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_LE(RampDistance(ScreenRamp(), TableOf(saved)), kRoundingError);
    EXPECT_GT(RampDistance(ScreenRamp(), TableOf(old)), kRoundingError);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(keeper.process.hProcess, 10000), WAIT_OBJECT_0)
        << "WM_CLOSE ends it";
}

// Three saves leave the last as the monitor's one associated profile, and a
// fresh start begins from it, also once another program's profile is
// associated and reported first.
TEST(LastSave, IsWhatTheNextRunStartsFrom) {
    CleanSystem clean;
    AppletLibrary applet;
    ASSERT_EQ(applet.Send(CPL_INIT), 1);
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const double gamma[3] = {1.8, 1.8, 1.8}, native[3] = {1.0, 1.0, 1.0};
    std::string shown;
    for (std::string name : {"tnl-e2e-1", "tnl-e2e-2", "tnl-e2e-3", ""}) {
        if (name.empty()) {
            EXPECT_EQ(AssociatedMonitorProfiles(true), std::vector<std::string>{"tnl-e2e-3.icc"});
            MakeMonitorProfile(MakeProfile("tnl-e2e-0", gamma, native, 0xFFFFFF, true));
        }
        RunRecord run = RunDoubleClick(applet, [&] {
            HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
            shown = Text(panel, IDC_DESCRIPTION);
            Type(panel, IDC_DESCRIPTION, name);
            Click(panel, name.empty() ? IDCANCEL : IDOK);
            if (!name.empty()) {
                SaveAs(std::string(kScratchFolder) + "\\" + name + ".icc");
            }
        });
        EXPECT_EQ(run.failure, "") << name;
    }
    EXPECT_EQ(shown, "tnl-e2e-3");
    applet.Send(CPL_EXIT);
}

class UntouchedChannels : public SavedCalibration, public ::testing::WithParamInterface<bool> {};

// On a monitor whose profile has a gamma per channel, OK in the panel, or Next
// through the wizard and Finish, saves the gammas, factors and table it had.
TEST_P(UntouchedChannels, AreSavedAsTheyWere) {
    const bool panel = GetParam();
    const double gammas[3] = {1.8, 2.2, 2.6}, factors[3] = {0.8, 1.0, 1.25};
    const std::string channels = MakeProfile("tnl-e2e-channels", gammas, factors, 0xFFFFFF, true);
    MakeMonitorProfile(channels);
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", panel ? 2 : 1);
    const std::string saved = std::string(kScratchFolder) + "\\tnl-e2e-untouched.icc";

    RunRecord run = RunDoubleClick(applet_, [&] {
        if (panel) {
            Click(WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324"), IDOK);
        } else {
            Wizard wizard = Wizard::WaitForIt();
            wizard.NextThrough({IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS,
                                IDD_GAMMA, IDD_HARDWARE_WHITE, IDD_ADJUSTED_WHITE});
            wizard.WaitForPage(IDD_FINISH_COMPARE);
            wizard.Finish();
        }
        SaveAs(saved);
    });

    EXPECT_EQ(run.failure, "");
    const IccFile before(ReadFileBytes(channels)), after(ReadFileBytes(saved));
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) {
        EXPECT_EQ(after.Gamma(trc), before.Gamma(trc)) << trc;
    }
    MonitorSettings loaded = {}, resaved = {};
    LoadMonitorProfile(channels.c_str(), &loaded);
    ASSERT_EQ(LoadMonitorProfile(saved.c_str(), &resaved), 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(resaved.gammaFactor[c], loaded.gammaFactor[c], 0.01) << c;
    }
    EXPECT_LE(RampDistance(TableOf(saved), TableOf(channels)), kRoundingError);
}

INSTANTIATE_TEST_SUITE_P(PanelOkOrWizardFinish, UntouchedChannels, ::testing::Bool());

}  // namespace
}  // namespace tonalis::e2e
