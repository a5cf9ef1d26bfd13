// What the user aimed at is what the screen shows and what the saved profile
// tells colour-managed programs: warm, cool and unevenly responding monitors
// aimed at 6500K, seen through a simulated colorimeter and through LittleCMS.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "model/channel_peaks.h"
#include "model/white_point.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"
#include "unit/model/lcms_reference.h"

namespace tonalis {
namespace {

using namespace profile_testing;

constexpr Chromaticity k6500K = {0.3128, 0.3292};

double DeltaUv(double x1, double y1, Chromaticity b) {
    auto u = [](double x, double y) { return 4 * x / (-2 * x + 12 * y + 3); };
    auto v = [](double x, double y) { return 9 * y / (-2 * x + 12 * y + 3); };
    return std::hypot(u(x1, y1) - u(b.x, b.y), v(x1, y1) - v(b.x, b.y));
}

// The monitor as a colorimeter reads it: each channel's drive level through
// its own gamma, in the amounts of the primaries that make its native white.
struct Monitor {
    Chromaticity white;
    double gamma[3];

    cmsCIEXYZ Shows(const GammaRamp& ramp, int input) const {
        const auto rows = reference::RgbToXyzRows(kPhosphorPresets[1].primaries, white);
        double xyz[3] = {0, 0, 0};
        for (int c = 0; c < 3; ++c) {
            const double light = std::pow((ramp.Channel(c)[input] >> 8) / 255.0, gamma[c]);
            for (int k = 0; k < 3; ++k) {
                xyz[k] += light * rows[c][k];
            }
        }
        return {xyz[0], xyz[1], xyz[2]};
    }
};

// What LittleCMS predicts the screen shows for a grey input level: the
// profile's relative colour taken from D50 back to its media white.
cmsCIEXYZ Predicted(const std::string& path, int input) {
    LcmsProfile profile(path);
    cmsHPROFILE xyz = cmsCreateXYZProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(profile.get(), TYPE_RGB_8, xyz, TYPE_XYZ_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0);
    const uint8_t rgb[3] = {uint8_t(input), uint8_t(input), uint8_t(input)};
    cmsCIEXYZ relative = {}, absolute = {};
    cmsDoTransform(transform, rgb, &relative, 1);
    cmsDeleteTransform(transform);
    cmsCloseProfile(xyz);
    cmsAdaptToIlluminant(&absolute, cmsD50_XYZ(), profile.Xyz(cmsSigMediaWhitePointTag), &relative);
    return absolute;
}

class CalibratedWhite : public ScratchFolderTest {};

TEST_F(CalibratedWhite, AWarmMonitorAimedAt6500KShowsItAndItsProfileSaysSo) {
    const Monitor monitors[] = {
        {{0.3325, 0.3476}, {2.2, 2.2, 2.2}},  // 5500K
        {{0.2831, 0.2970}, {2.2, 2.2, 2.2}},  // 9300K
        {{0.2991, 0.3150}, {2.0, 2.2, 2.5}},  // 7500K, a gamma per channel
    };
    for (const Monitor& monitor : monitors) {
        // Matched by eye, the native gammas; chosen, the adjusted white.
        MonitorSettings settings = DefaultSettings();
        settings.hardwareWhite = monitor.white;
        for (int c = 0; c < 3; ++c) {
            settings.gammaFactor[c] = monitor.gamma[c] / 2.61;
        }
        ASSERT_TRUE(WhitePointToPeaks(k6500K, settings.primaries, settings.hardwareWhite,
                                      settings.gammaFactor, &settings.whiteRgb));
        settings.ramp = BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
        const std::string where = "monitor at x " + std::to_string(monitor.white.x);
        // The brightest white the monitor can show: one channel stays at its top.
        EXPECT_EQ(std::max({PeakOf(settings.whiteRgb, kRed), PeakOf(settings.whiteRgb, kGreen),
                            PeakOf(settings.whiteRgb, kBlue)}),
                  255)
            << where;

        const std::string first = Path("first.icc");
        ASSERT_EQ(SaveMonitorProfile("", first.c_str(), "Aimed", settings, true), 0);
        for (int input : {255, 128, 64}) {
            const cmsCIExyY shown = XyOf(monitor.Shows(settings.ramp, input));
            EXPECT_LT(DeltaUv(shown.x, shown.y, k6500K), 0.003) << where << " input " << input;
            const cmsCIExyY predicted = XyOf(Predicted(first, input));
            EXPECT_LT(DeltaUv(predicted.x, predicted.y, {shown.x, shown.y}), 0.001) << where;
            const double shownY = shown.Y / monitor.Shows(settings.ramp, 255).Y;
            EXPECT_NEAR(predicted.Y, shownY, 0.01 * shownY + 0.001) << where << " input " << input;
        }

        // Saved again as loaded: the same table, and the same white and
        // colorants to the step of the file's numbers (read back and
        // recomputed, a value may move by a step or two).
        MonitorSettings loaded = {};
        ASSERT_EQ(LoadMonitorProfile(first.c_str(), &loaded), 0) << where;
        EXPECT_LT(DeltaUv(loaded.adjustedWhite.x, loaded.adjustedWhite.y, k6500K), 0.003) << where;
        EXPECT_NEAR(loaded.hardwareWhite.x, monitor.white.x, 1e-4) << where;
        const std::string second = Path("second.icc");
        ASSERT_EQ(SaveMonitorProfile(first.c_str(), second.c_str(), "Aimed", loaded, true), 0);
        EXPECT_EQ(TagData(ReadFile(second), "vcgt"), TagData(ReadFile(first), "vcgt")) << where;
        for (const char* tag : {"wtpt", "nwpt", "rXYZ", "gXYZ", "bXYZ"}) {
            const Bytes before = TagData(ReadFile(first), tag);
            const Bytes after = TagData(ReadFile(second), tag);
            ASSERT_EQ(after.size(), 20u) << where << " " << tag;
            for (size_t at = 8; at < 20; at += 4) {
                EXPECT_NEAR(int32_t(Get32(after, at)), int32_t(Get32(before, at)), 2)
                    << where << " " << tag;
            }
        }
    }
}

// A profile saved before: 'wtpt' the monitor's own white and no 'nwpt', its
// table with peaks worked out as linear amounts (255, 212, 157 for 5000K on
// a 6500K monitor). It loads with its table, and its adjusted white is what
// that table shows.
TEST_F(CalibratedWhite, AnOlderProfileKeepsItsTableAndShowsTheWhiteOfItsPeaks) {
    MonitorSettings settings = DefaultSettings();
    settings.whiteRgb = 0x009DD4FF;
    settings.ramp = BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
    const std::string path = Path("older.icc");
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Older", settings, false), 0);
    WriteFile(path, WithTag(ReadFile(path), "vcgt", VcgtTable(settings.ramp, 3, 256, 1, 1584)));

    MonitorSettings loaded = DefaultSettings();
    loaded.ramp = IdentityRamp();
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    EXPECT_EQ(0, std::memcmp(&loaded.ramp, &settings.ramp, sizeof(GammaRamp)));
    EXPECT_NEAR(loaded.hardwareWhite.x, 0.3128, 1e-4);
    // The monitor matched as gamma 2.61 x the factor the table was made for.
    const Monitor monitor = {{0.3128, 0.3292}, {2.61, 2.61, 2.61}};
    const cmsCIExyY shown = XyOf(monitor.Shows(settings.ramp, 255));
    EXPECT_LT(DeltaUv(shown.x, shown.y, loaded.adjustedWhite), 0.001);
    EXPECT_GT(DeltaUv(shown.x, shown.y, {0.3457, 0.3587}), 0.01) << "not the 5000K once meant";
}

}  // namespace
}  // namespace tonalis
