// The loader TNP.cpl runs at logon, on a desktop of three monitors with the
// ramp writes recorded: each monitor that wants its calibration gets it
// whatever the others' profiles are, judged by one read-back as the applet
// judges it, one message says which could not be loaded and why, and
// switched-off tables are left alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "applet_seams.h"
#include "model/channel_peaks.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "profile/logon_monitors.h"
#include "profile/save_monitor_profile.h"
#include "resources/string_ids.h"
#include "system_seams.h"

extern "C" void CALLBACK TNLLoadCalibration(HWND, HINSTANCE, LPSTR, int);

namespace tonalis {
namespace {

using namespace testing;

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

MonitorSettings Calibrated() {
    MonitorSettings s = {};
    GetPhosphorPreset(kDefaultPhosphorPreset, s.primaries);
    s.hardwareWhite = GetWhitePreset(4);
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = 2.2;
        s.gammaFactor[c] = 1.1;
    }
    s.whiteRgb = PackPeaks(255, 230, 190);
    s.ramp = BuildGammaRamp(s.gamma, s.gammaFactor, s.whiteRgb);
    s.hasGammaRamp = 1;
    return s;
}

class LogonLoader : public ::testing::Test {
  protected:
    LogonLoader() {
        EXPECT_EQ(SaveMonitorProfile("", usable_.c_str(), "Kept", calibrated_, true), 0);
        std::FILE* file = std::fopen(junk_.c_str(), "wb");
        std::fputs("not a profile", file);
        std::fclose(file);
        DeleteFileA(missing_.c_str());
    }
    ~LogonLoader() override {
        DeleteFileA(usable_.c_str());
        DeleteFileA(junk_.c_str());
    }

    void Register(int monitor, const std::string& path) {
        const std::string key =
            "SOFTWARE\\Orvane\\Color\\Monitor\\Monitor" + std::to_string(monitor);
        SetValue(HKEY_LOCAL_MACHINE, key.c_str(), "Monitor Profile", REG_SZ, path.c_str(),
                 static_cast<DWORD>(path.size() + 1));
        SetLogonLoad(static_cast<uint32_t>(monitor), true);
    }

    const std::string usable_ = TempPath("tnl-logon-usable.icc");
    const std::string junk_ = TempPath("tnl-logon-junk.icc");
    const std::string missing_ = TempPath("tnl-logon-missing.icc");
    const MonitorSettings calibrated_ = Calibrated();
    CleanProductKeys keys_;
    ScopedFakeSystem system_;
    ScopedFakeDisplaySystem display_;
    ScopedFakeDesktop desktop_{{{{0, 0, 1024, 768}, "DISPLAY", true},
                                {{1024, 0, 2048, 768}, "DISPLAY", false},
                                {{2048, 0, 3072, 768}, "DISPLAY", false}},
                               3};
};

TEST_F(LogonLoader, EveryMonitorGetsWhatItCanAndOneMessageNamesTheRest) {
    Register(0, missing_);
    Register(1, usable_);
    Register(2, junk_);
    // Held two 8-bit levels off, within what Wine's X server keeps of a table.
    GammaRamp& held = display_.state().scriptedReads[0];
    held = calibrated_.ramp;
    for (uint16_t& entry : held.entries) {
        entry = static_cast<uint16_t>(entry >= 513 ? entry - 513 : entry + 513);
    }
    TNLLoadCalibration(nullptr, nullptr, nullptr, 0);

    ASSERT_EQ(display_.state().writes.size(), 1u);
    EXPECT_EQ(memcmp(&display_.state().writes[0].ramp, &calibrated_.ramp, sizeof(GammaRamp)), 0);
    ASSERT_EQ(system_.state().messages.size(), 1u);
    const std::string& text = system_.state().messages[0].text;
    EXPECT_NE(text.find(LoadTestString(strings::kKeptProfileMissing) + missing_), std::string::npos)
        << text;
    EXPECT_NE(text.find(LoadTestString(strings::kNotRgbDisplayProfile) + " " + junk_),
              std::string::npos)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << "monitors 0 and 2 only: " << text;
}

TEST_F(LogonLoader, SwitchedOffTablesAreLeftAloneAndSaidSo) {
    Register(0, usable_);
    const DWORD crashed = 1;
    SetValue(HKEY_CURRENT_USER, "SOFTWARE\\Orvane\\Tonalis", "GammaCrashed", REG_DWORD, &crashed,
             sizeof crashed);
    TNLLoadCalibration(nullptr, nullptr, nullptr, 0);

    EXPECT_TRUE(display_.state().writes.empty());
    ASSERT_EQ(system_.state().messages.size(), 1u);
    EXPECT_EQ(system_.state().messages[0].text, LoadTestString(strings::kTableFeaturesSwitchedOff));
}

}  // namespace
}  // namespace tonalis
