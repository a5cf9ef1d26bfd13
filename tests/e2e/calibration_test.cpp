// Whole calibrations with TNP.cpl run as the Control Panel runs it, its
// windows worked with window messages from a second thread: what the user
// sees, the profile file written, the registry, the profile associations and
// the display's gamma ramp.
#include <windows.h>
#include <cpl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "applet_library.h"
#include "applet_run.h"
#include "icc_file.h"
#include "model/monitor_settings.h"
#include "profile/load_monitor_profile.h"
#include "resources/resource.h"
#include "system_state.h"
#include "window_driver.h"

namespace tonalis::e2e {
namespace {

// List positions, in the order the lists show their presets.
constexpr int kEbuPhosphors = 0;
constexpr int kTrinitronPhosphors = 5;
constexpr int kMacintoshGamma = 0;
constexpr int kHardware9300 = 4;
constexpr int kAdjustedSameAsHardware = 0;

struct Expected {
    const char* description;  // UTF-8
    double gamma;             // as an 8.8 number holds it
    Xy primaries[3];
    Xy white;
    const char* ascii = nullptr;  // the ASCII part, when not the description
};

constexpr Xy kTrinitron[3] = {{0.625, 0.34}, {0.28, 0.595}, {0.155, 0.07}};
constexpr Xy kEbu[3] = {{0.64, 0.33}, {0.29, 0.60}, {0.15, 0.06}};
constexpr Xy k5500 = {0.3325, 0.3476};
constexpr Xy k9300 = {0.2831, 0.2970};
constexpr double kGamma18 = 461 / 256.0;
// The X server keeps fewer bits of a ramp than Windows gives it.
constexpr int kServerRampError = 512;

std::string DisplaySetup() {
    const char* setup = getenv("TONALIS_DISPLAY_SETUP");
    return setup != nullptr ? setup : "";
}

bool SettableRamp() {
    return DisplaySetup().rfind("dummy", 0) == 0;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::string ScratchPath(const char* name) {
    return std::string(kScratchFolder) + "\\" + name;
}

// The white point screen from the button on owner: the instructions' OK, the
// actions, and both windows gone. Gives the screen's rectangle.
RECT MeasureWhitePoint(HWND owner, const std::function<void(HWND)>& act) {
    Click(owner, IDC_MEASURE);
    HWND instructions =
        WaitFor([] { return FindDialogWith(IDC_WIZARD_PICTURE); }, "the instructions");
    Post(instructions, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
         reinterpret_cast<LPARAM>(GetDlgItem(instructions, IDOK)));
    HWND screen = WaitFor([] { return FindDialogWith(IDC_SQUARE_CENTRE); }, "the squares");
    RECT rect;
    GetWindowRect(screen, &rect);
    act(screen);
    WaitUntil([&] { return !IsWindow(screen) && !IsWindow(instructions); },
              "the white point screen to close");
    Settle(owner);  // the button's handler goes on after the windows close
    return rect;
}

// Left twice then the centre: two steps warmer than 6500 K. Then right and
// Esc, which keeps what was chosen.
void MeasureTwoStepsWarmer(HWND owner, RECT* screen) {
    *screen = MeasureWhitePoint(owner, [](HWND squares) {
        Click(squares, IDC_SQUARE_LEFT);
        Click(squares, IDC_SQUARE_LEFT);
        Click(squares, IDC_SQUARE_CENTRE);
    });
    EXPECT_EQ(SelectedText(owner, IDC_HARDWARE_WHITE_LIST), Ansi(u8"5500°K"));
    MeasureWhitePoint(owner, [](HWND squares) {
        Click(squares, IDC_SQUARE_RIGHT);
        PressKey(squares, VK_ESCAPE);
    });
    EXPECT_EQ(SelectedText(owner, IDC_HARDWARE_WHITE_LIST), Ansi(u8"5500°K")) << "after Esc";
}

// A copy of the profile and what it should hold, for the LittleCMS check
// that the test command runs on the host.
void KeepForHostCheck(const char* name, const std::string& profile, const Expected& expected,
                      bool withRamp, const Ramp& ramp) {
    const char* folder = getenv("TONALIS_E2E_OUTPUT");
    if (folder == nullptr) {
        return;
    }
    std::string base = std::string(folder) + "\\" + name;
    CopyFileA(profile.c_str(), (base + ".icc").c_str(), FALSE);
    std::ofstream out(base + ".expect", std::ios::binary);
    out << "description " << expected.description << "\nascii "
        << (expected.ascii != nullptr ? expected.ascii : expected.description) << "\ngamma "
        << expected.gamma << "\nprimaries";
    for (const Xy& p : expected.primaries) {
        out << ' ' << p.x << ' ' << p.y;
    }
    out << "\nwhite " << expected.white.x << ' ' << expected.white.y << "\nvcgt";
    if (withRamp) {
        for (WORD entry : ramp.entries) {
            out << ' ' << entry;
        }
    }
    out << "\n";
}

// The saved file read twice: by the bytes, and through the applet's loader.
void ExpectProfile(const std::string& path, const Expected& expected, bool withRamp,
                   const Ramp& displayRamp) {
    IccFile file(ReadFileBytes(path));
    ASSERT_TRUE(file.IsProfile()) << path;
    EXPECT_EQ(file.Header(12), "mntr");
    EXPECT_EQ(file.Description(),
              expected.ascii != nullptr ? expected.ascii : expected.description);
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) {
        EXPECT_DOUBLE_EQ(file.Gamma(trc), expected.gamma) << trc;
    }
    std::vector<Xy> primaries = UnadaptedPrimaries(file);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(primaries[c].x, expected.primaries[c].x, 0.002) << "colourant " << c;
        EXPECT_NEAR(primaries[c].y, expected.primaries[c].y, 0.002) << "colourant " << c;
    }
    Xy white = Chromaticity(file.XyzTag("wtpt"));
    EXPECT_NEAR(white.x, expected.white.x, 0.0005);
    EXPECT_NEAR(white.y, expected.white.y, 0.0005);
    std::vector<WORD> vcgt = file.Vcgt();
    ASSERT_EQ(vcgt.empty(), !withRamp) << "a vcgt exactly when the ramp can be set";
    int worst = 0;
    for (size_t i = 0; i < vcgt.size(); ++i) {
        worst = std::max(worst, std::abs(int(vcgt[i]) - int(displayRamp.entries[i])));
    }
    EXPECT_LE(worst, kServerRampError) << "the vcgt is the ramp in the display";

    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, expected.description);
    EXPECT_NEAR(loaded.gamma[1], expected.gamma, 1e-9);
    EXPECT_NEAR(loaded.hardwareWhite.x, expected.white.x, 0.0012);
    EXPECT_NEAR(loaded.primaries[0].x, expected.primaries[0].x, 0.0012);
    EXPECT_NEAR(loaded.primaries[1].y, expected.primaries[1].y, 0.0012);
    GammaRamp table = {};
    bool present = false;
    ASSERT_EQ(ReadProfileRamp(path.c_str(), &table, &present), 0);
    ASSERT_EQ(present, withRamp);
    if (present) {
        Ramp read;
        std::copy(table.entries, table.entries + 768, read.entries);
        EXPECT_LE(RampDistance(read, displayRamp), kServerRampError);
    }
}

// After a save for the monitor: the remembered values, and the installed
// copy as the monitor's only associated profile.
void ExpectRegistered(const char* fileName, DWORD mode, DWORD monitor) {
    const std::string installed = LibraryColorDirectory() + fileName;
    EXPECT_TRUE(FileExists(installed)) << installed;
    DWORD value = 0;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", &value));
    EXPECT_EQ(value, mode);
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "LastCalibratedMonitor", &value));
    EXPECT_EQ(value, monitor);
    EXPECT_TRUE(QueryDword(HKEY_LOCAL_MACHINE, kMachineKey, "Primary Monitor", &value));
    EXPECT_EQ(value, 0u);
    std::string path;
    std::string monitorKey = std::string(kMachineKey) + "\\Monitor" + std::to_string(monitor);
    EXPECT_TRUE(QueryString(HKEY_LOCAL_MACHINE, monitorKey.c_str(), "Monitor Profile", &path));
    EXPECT_EQ(_stricmp(path.c_str(), installed.c_str()), 0) << path;
    EXPECT_EQ(AssociatedMonitorProfiles(true), std::vector<std::string>{fileName});
    EXPECT_EQ(_stricmp(ScreenProfile().c_str(), installed.c_str()), 0) << ScreenProfile();
}

// The applet's own messages; the file dialog's create and overwrite prompts
// are left out.
std::vector<std::string> AppletMessages(const std::vector<ShownMessage>& messages) {
    std::vector<std::string> texts;
    for (const ShownMessage& shown : messages) {
        if (shown.caption == "Tonalis") {
            texts.push_back(shown.text);
        }
    }
    return texts;
}

class Calibration : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(applet_.module(), nullptr) << AppletPath();
        ASSERT_EQ(applet_.Send(CPL_INIT), 1);
        start_ = ScreenRamp();
    }
    void TearDown() override { applet_.Send(CPL_EXIT); }

    void ExpectCleanEnd(const RunRecord& run) {
        EXPECT_EQ(run.failure, "");
        EXPECT_FALSE(run.closedByWatchdog);
        EXPECT_TRUE(ProcessWindows().empty());
    }

    CleanSystem clean_;
    AppletLibrary applet_;
    Ramp start_;
};

// Welcome to finish: new gamma, phosphors and white points, saved under a
// new name. On a display without a settable ramp page 305 leads to 313.
TEST_F(Calibration, WizardFromWelcomeToFinishSavesAndRegisters) {
    const bool ramp = SettableRamp();
    const std::string saved = ScratchPath("tnl-e2e-wizard.icc");
    Ramp beforeSlider = {}, afterSlider = {}, calibrated = {}, shownBefore = {}, shownAfter = {};
    RECT squares = {};
    bool threeSliderPatches = false;

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        EXPECT_FALSE(IsShown(page, IDC_PLACE_ON_MONITOR)) << "one monitor";
        Click(page, IDC_CHOOSE_WIZARD);
        wizard.Next();

        page = wizard.WaitForPage(IDD_DESCRIPTION);
        // Chinese and a character that code page 936 lacks, as a user types them.
        TypeCharacters(page, IDC_DESCRIPTION, L"tnl e2e 校准 wizard \U0001F600");
        wizard.Next();
        wizard.WaitForPage(IDD_BRIGHTNESS);
        wizard.Next();

        page = wizard.WaitForPage(IDD_PHOSPHORS);
        Choose(page, IDC_PHOSPHOR_LIST, kTrinitronPhosphors);
        wizard.Next();

        page = wizard.WaitForPage(IDD_GAMMA);
        EXPECT_EQ(IsShown(page, IDC_GAMMA_LIST), ramp);
        if (ramp) {
            Choose(page, IDC_GAMMA_LIST, kMacintoshGamma);
            WaitUntil([&] { return Text(page, IDC_GAMMA_EDIT) == "1.80"; }, "gamma 1.80");
            beforeSlider = ScreenRamp();
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 130);
            afterSlider = ScreenRamp();
        } else {
            Slide(page, IDC_GAMMA_SLIDER_CENTRE, 180);  // gamma 1.80 directly
        }
        Click(page, IDC_SINGLE_GAMMA);
        WaitUntil([&] { return IsShown(page, IDC_GAMMA_SLIDER_LEFT); }, "the side sliders");
        threeSliderPatches = IsShown(page, IDC_GAMMA_PATCH_RIGHT);
        wizard.Next();

        page = wizard.WaitForPage(IDD_HARDWARE_WHITE);
        MeasureTwoStepsWarmer(page, &squares);
        wizard.Next();

        if (ramp) {
            // The 6500 K kept since the measurement, given up for the hardware's.
            page = wizard.WaitForPage(IDD_ADJUSTED_WHITE);
            Choose(page, IDC_ADJUSTED_WHITE_LIST, kAdjustedSameAsHardware);
            wizard.Next();
            page = wizard.WaitForPage(IDD_FINISH_COMPARE);
            EXPECT_TRUE(IsChecked(page, IDC_AFTER));
            calibrated = ScreenRamp();
            Click(page, IDC_BEFORE);
            WaitUntil([&] { return RampDistance(ScreenRamp(), start_) <= kServerRampError; },
                      "the start ramp");
            shownBefore = ScreenRamp();
            Click(page, IDC_AFTER);
            WaitUntil([&] { return RampDistance(ScreenRamp(), calibrated) == 0; },
                      "the calibrated ramp");
            shownAfter = ScreenRamp();
        } else {
            page = wizard.WaitForPage(IDD_FINISH_PLAIN);
        }
        EXPECT_FALSE(IsShown(page, IDC_DEFAULT_PROFILE)) << "one monitor";
        wizard.Finish();
        SaveAs(saved);
    });

    ExpectCleanEnd(run);
    EXPECT_EQ(AppletMessages(run.messages), std::vector<std::string>{});
    EXPECT_TRUE(threeSliderPatches);
    EXPECT_TRUE(SameRect(squares, MonitorRects().front())) << "the squares cover the monitor";
    if (ramp) {
        EXPECT_GT(RampDistance(afterSlider, beforeSlider), kServerRampError) << "slider moved";
        EXPECT_LE(RampDistance(shownBefore, start_), kServerRampError) << "before";
        EXPECT_EQ(RampDistance(shownAfter, calibrated), 0) << "after";
        EXPECT_EQ(RampDistance(ScreenRamp(), calibrated), 0) << "Finish keeps the calibration";
    }
    Expected expected = {u8"tnl e2e 校准 wizard 😀", kGamma18, {}, k5500, "tnl e2e wizard"};
    std::copy(kTrinitron, kTrinitron + 3, expected.primaries);
    ExpectProfile(saved, expected, ramp, calibrated);
    if (ramp) {  // no channel lowered for the hardware's own white
        const std::vector<WORD> vcgt = IccFile(ReadFileBytes(saved)).Vcgt();
        EXPECT_TRUE(vcgt.size() == 768 && vcgt[255] == vcgt[511] && vcgt[511] == vcgt[767]);
    }
    ExpectRegistered("tnl-e2e-wizard.icc", 1, 0);
    KeepForHostCheck(ramp ? "wizard-dummy" : "wizard-xvfb", saved, expected, ramp, calibrated);
}

// Fine-tuning from the gamma page, per channel: each step moved, and the
// saved table shows each matched drive at the input that asks for that light
// at the target gamma 2.2 (near black 0.1 %, near white 99 %), as the
// display holds it. The end steps are placed where a power law would not
// show them, so that they bend the curve.
TEST_F(Calibration, FineTuningStepsShapeTheSavedTable) {
    if (!SettableRamp()) {
        GTEST_SKIP() << "needs a settable ramp";
    }
    const std::string saved = ScratchPath("tnl-e2e-fine.icc");
    struct Step {
        int slider;
        double light;
        int drive[3];  // red, green, blue
    };
    const Step steps[] = {{IDC_FINE_SLIDER_BLACK, 0.001, {30, 28, 26}},
                          {IDC_FINE_SLIDER_QUARTER, 0.25, {140, 136, 132}},
                          {IDC_FINE_SLIDER_THREE_QUARTERS, 0.75, {222, 218, 214}},
                          {IDC_FINE_SLIDER_WHITE, 0.99, {240, 236, 232}}};
    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        for (int id : {IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS}) {
            wizard.WaitForPage(id);
            wizard.Next();
        }
        HWND page = wizard.WaitForPage(IDD_GAMMA);
        Click(page, IDC_SINGLE_GAMMA);  // one channel at a time
        Click(page, IDC_FINE_TUNE);
        HWND fine = WaitFor([] { return FindDialogWith(IDC_FINE_CHANNEL); }, "fine-tuning");
        for (int c = 0; c < 3; ++c) {
            Choose(fine, IDC_FINE_CHANNEL, c);
            for (const Step& step : steps) {
                Slide(fine, step.slider, step.drive[c]);
            }
        }
        Click(fine, IDOK);
        WaitUntil([&] { return FindDialogWith(IDC_FINE_CHANNEL) == nullptr; }, "OK");
        wizard.Next();
        wizard.WaitForPage(IDD_HARDWARE_WHITE);
        wizard.Next();
        Choose(wizard.WaitForPage(IDD_ADJUSTED_WHITE), IDC_ADJUSTED_WHITE_LIST,
               kAdjustedSameAsHardware);
        wizard.Next();
        wizard.WaitForPage(IDD_FINISH_COMPARE);
        wizard.Finish();
        SaveAs(saved);
    });
    ExpectCleanEnd(run);
    EXPECT_EQ(AppletMessages(run.messages), std::vector<std::string>{}) << "no table refused";
    const std::vector<WORD> vcgt = IccFile(ReadFileBytes(saved)).Vcgt();
    ASSERT_EQ(vcgt.size(), 768u);
    Ramp table;
    std::copy(vcgt.begin(), vcgt.end(), table.entries);
    EXPECT_LE(RampDistance(ScreenRamp(), table), kServerRampError) << "the display holds it";
    for (int c = 0; c < 3; ++c) {
        for (const Step& step : steps) {
            // Between the two entries around the input that asks for it.
            const double input = 255 * std::pow(step.light, 1 / 2.2);
            const int below = static_cast<int>(input);
            const double low = vcgt[c * 256 + below] / 256.0;
            const double high = vcgt[c * 256 + below + 1] / 256.0;
            EXPECT_NEAR(low + (high - low) * (input - below), step.drive[c], 1.5)
                << "channel " << c << " light " << step.light;
        }
    }
}

// The dummy driver's second output: the placement hints are shown, and the
// wizard moved to the other monitor before any change calibrates that one.
TEST_F(Calibration, TwoMonitorsWizardCalibratesTheMonitorItWasMovedTo) {
    const std::vector<RECT> monitors = MonitorRects();
    if (monitors.size() < 2) {
        GTEST_SKIP() << "needs a second monitor";
    }
    const bool ramp = SettableRamp();
    const std::string saved = ScratchPath("tnl-e2e-other-monitor.icc");
    RECT target = {}, squares = {};
    bool placeHint = false, defaultHint = false;

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        HWND page = wizard.WaitForPage(IDD_WELCOME);
        placeHint = IsShown(page, IDC_PLACE_ON_MONITOR);
        Click(page, IDC_CHOOSE_WIZARD);
        wizard.Next();
        page = wizard.WaitForPage(IDD_DESCRIPTION);
        const RECT start = MonitorRectOf(wizard.frame());
        target = SameRect(start, monitors[0]) ? monitors[1] : monitors[0];
        SetWindowPos(wizard.frame(), nullptr, target.left + 60, target.top + 60, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        WaitUntil([&] { return SameRect(MonitorRectOf(wizard.frame()), target); },
                  "the wizard on the other monitor");
        Settle(wizard.frame());  // the move's handler runs after the new position is set
        Type(page, IDC_DESCRIPTION, "tnl e2e other monitor");
        wizard.NextThrough({IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA});
        page = wizard.WaitForPage(IDD_HARDWARE_WHITE);
        MeasureTwoStepsWarmer(page, &squares);
        wizard.Next();
        if (ramp) {
            wizard.WaitForPage(IDD_ADJUSTED_WHITE);
            wizard.Next();
        }
        page = wizard.WaitForPage(ramp ? IDD_FINISH_COMPARE : IDD_FINISH_PLAIN);
        defaultHint = IsShown(page, IDC_DEFAULT_PROFILE);
        wizard.Finish();
        SaveAs(saved);
    });

    ExpectCleanEnd(run);
    EXPECT_EQ(AppletMessages(run.messages), std::vector<std::string>{});
    EXPECT_TRUE(placeHint);
    EXPECT_TRUE(defaultHint);
    EXPECT_TRUE(SameRect(squares, target)) << "the squares cover the monitor under the wizard";
    const DWORD number = SameRect(target, MonitorRects()[1]) ? 1 : 0;
    DWORD last = 99;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "LastCalibratedMonitor", &last));
    EXPECT_EQ(last, number);
    std::string path;
    std::string key = std::string(kMachineKey) + "\\Monitor" + std::to_string(number);
    EXPECT_TRUE(QueryString(HKEY_LOCAL_MACHINE, key.c_str(), "Monitor Profile", &path));
    EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_EQ(IccFile(ReadFileBytes(saved)).Description(), "tnl e2e other monitor");
}

enum class PanelEnding { kOk, kCancel, kWizard };

class Panel : public Calibration, public ::testing::WithParamInterface<PanelEnding> {};

// Dialog 324 when it was used last: every setting at once, then OK saves,
// Cancel puts the display back, and Wizard carries the changes to page 303.
TEST_P(Panel, ChangesEverySettingThenEnds) {
    const bool ramp = SettableRamp();
    const PanelEnding ending = GetParam();
    SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 2);
    const std::string saved = ScratchPath("tnl-e2e-panel.icc");
    Ramp changed = {};
    std::string wizardDescription, wizardPhosphors, wizardGamma;

    RunRecord run = RunDoubleClick(applet_, [&] {
        HWND panel = WaitFor([] { return FindDialogWith(IDC_PANEL_WIZARD); }, "dialog 324");
        if (ending == PanelEnding::kCancel) {
            Click(panel, IDC_LOAD);  // nothing changed yet: straight to the file dialog
            CancelFileDialog();
        }
        EXPECT_FALSE(IsShown(panel, IDC_DEFAULT_PROFILE));
        EXPECT_EQ(IsShown(panel, IDC_ADJUSTED_WHITE_LIST), ramp);
        Type(panel, IDC_DESCRIPTION, "tnl e2e panel");
        Choose(panel, IDC_PHOSPHOR_LIST, kEbuPhosphors);
        if (ramp) {
            Choose(panel, IDC_GAMMA_LIST, kMacintoshGamma);
            WaitUntil([&] { return Text(panel, IDC_GAMMA_EDIT) == "1.80"; }, "gamma 1.80");
            Slide(panel, IDC_GAMMA_SLIDER_CENTRE, 80);
        } else {
            Slide(panel, IDC_GAMMA_SLIDER_CENTRE, 180);
        }
        Choose(panel, IDC_HARDWARE_WHITE_LIST, kHardware9300);
        if (ramp) {
            // The cooler monitor keeps the adjusted white until another is chosen.
            WaitUntil(
                [&] {
                    return SelectedText(panel, IDC_ADJUSTED_WHITE_LIST) == Ansi(u8"6500°K(日光)");
                },
                "the kept adjusted white");
            Choose(panel, IDC_ADJUSTED_WHITE_LIST, kAdjustedSameAsHardware);
            WaitUntil(
                [&] {
                    const Ramp shown = ScreenRamp();
                    return shown.entries[255] == shown.entries[767] &&
                           RampDistance(shown, start_) > kServerRampError;
                },
                "the previewed ramp with no channel lowered");
        }
        changed = ScreenRamp();
        if (ending == PanelEnding::kOk) {
            // What is read back after OK must be what the applet wrote.
            SetDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", 1);
            Click(panel, IDOK);
            SaveAs(saved);
        } else if (ending == PanelEnding::kCancel) {
            Click(panel, IDCANCEL);
        } else {
            Click(panel, IDC_PANEL_WIZARD);
            Wizard wizard = Wizard::WaitForIt();
            HWND page = wizard.WaitForPage(IDD_DESCRIPTION);
            wizardDescription = Text(page, IDC_DESCRIPTION);
            wizard.Next();
            wizard.WaitForPage(IDD_BRIGHTNESS);
            wizard.Next();
            wizardPhosphors = SelectedText(wizard.WaitForPage(IDD_PHOSPHORS), IDC_PHOSPHOR_LIST);
            wizard.Next();
            wizardGamma = Text(wizard.WaitForPage(IDD_GAMMA), IDC_GAMMA_EDIT);
            wizard.Cancel();
        }
    });

    ExpectCleanEnd(run);
    EXPECT_EQ(AppletMessages(run.messages), std::vector<std::string>{});
    if (ramp) {
        EXPECT_GT(RampDistance(changed, start_), kServerRampError) << "the preview";
        const Ramp& expectedNow = ending == PanelEnding::kOk ? changed : start_;
        EXPECT_LE(RampDistance(ScreenRamp(), expectedNow), kServerRampError);
    }
    DWORD mode = 0;
    EXPECT_TRUE(QueryDword(HKEY_CURRENT_USER, kUserKey, "WizardOrPanel", &mode));
    EXPECT_EQ(mode, 2u);
    if (ending == PanelEnding::kOk) {
        Expected expected = {"tnl e2e panel", kGamma18, {}, k9300};
        std::copy(kEbu, kEbu + 3, expected.primaries);
        ExpectProfile(saved, expected, ramp, changed);
        ExpectRegistered("tnl-e2e-panel.icc", 2, 0);
        KeepForHostCheck(ramp ? "panel-dummy" : "panel-xvfb", saved, expected, ramp, changed);
        return;
    }
    EXPECT_FALSE(FileExists(saved));
    DWORD primary = 0;
    EXPECT_FALSE(QueryDword(HKEY_LOCAL_MACHINE, kMachineKey, "Primary Monitor", &primary));
    if (ending == PanelEnding::kWizard) {
        EXPECT_EQ(wizardDescription, "tnl e2e panel");
        EXPECT_EQ(wizardPhosphors, "EBU/ITU");
        EXPECT_EQ(wizardGamma, ramp ? "1.80" : "");
    }
}

std::string EndingName(const ::testing::TestParamInfo<PanelEnding>& info) {
    const char* names[] = {"Ok", "Cancel", "Wizard"};
    return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Endings, Panel,
                         ::testing::Values(PanelEnding::kOk, PanelEnding::kCancel,
                                           PanelEnding::kWizard),
                         EndingName);

// A destination that cannot be written keeps the wizard on its finish page
// with the reason shown, and the file there stays as it was; a cancelled save
// dialog keeps it open too, and a later Finish can still save.
TEST_F(Calibration, FailedSaveKeepsTheWizardOpenAndTheFileIntact) {
    const std::string locked = ScratchPath("tnl-e2e-locked.icc");
    const std::string good = ScratchPath("tnl-e2e-second.icc");
    const std::string content = "an earlier file that must survive";
    std::ofstream(locked, std::ios::binary) << content;
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    // Held open without write or delete sharing, so that nothing can replace it.
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    bool openAfterFailure = false, openAfterCancel = false;

    RunRecord run = RunDoubleClick(applet_, [&] {
        Wizard wizard = Wizard::WaitForIt();
        Click(wizard.WaitForPage(IDD_WELCOME), IDC_CHOOSE_WIZARD);
        wizard.NextThrough(
            {IDD_WELCOME, IDD_DESCRIPTION, IDD_BRIGHTNESS, IDD_PHOSPHORS, IDD_GAMMA});
        wizard.WaitForPage(IDD_HARDWARE_WHITE);
        wizard.Next();
        if (SettableRamp()) {
            wizard.WaitForPage(IDD_ADJUSTED_WHITE);
            wizard.Next();
        }
        const int finish = SettableRamp() ? IDD_FINISH_COMPARE : IDD_FINISH_PLAIN;
        wizard.WaitForPage(finish);
        wizard.Finish();
        CancelFileDialog();
        Settle(wizard.frame());
        openAfterCancel = wizard.IsOpen() && wizard.PageId() == finish;

        wizard.Finish();
        SaveAs(locked);
        WaitUntil(
            [] {
                const std::vector<HWND> open = ProcessWindows();
                return !AppletMessages(MessagesSoFar()).empty() &&
                       std::none_of(open.begin(), open.end(), IsMessageBox);
            },
            "the failure message, answered");
        Settle(wizard.frame());
        openAfterFailure = wizard.IsOpen() && wizard.PageId() == finish;

        wizard.Finish();
        SaveAs(good);
    });
    CloseHandle(holder);

    ExpectCleanEnd(run);
    EXPECT_TRUE(openAfterCancel);
    EXPECT_TRUE(openAfterFailure);
    EXPECT_EQ(ReadFileBytes(locked), content);
    EXPECT_EQ(AppletMessages(run.messages),
              std::vector<std::string>{Ansi(u8"写入屏幕描述文件时发生错误。")});
    EXPECT_TRUE(IccFile(ReadFileBytes(good)).IsProfile());
    ExpectRegistered("tnl-e2e-second.icc", 1, 0);
}

}  // namespace
}  // namespace tonalis::e2e
