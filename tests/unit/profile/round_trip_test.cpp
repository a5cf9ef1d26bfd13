// Settings saved as a profile and loaded back: every preset phosphor set with
// several gammas, white points, peaks and native gamma factors.
#include <cmath>
#include <string>

#include "model/channel_peaks.h"
#include "model/white_point.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

// What an 8.8 fixed-point TRC keeps of a gamma.
double StoredGamma(double gamma) {
    return std::trunc(0.5 + 256.0 * gamma) / 256.0;
}

// The native gamma factors that would put a channel's midpoint level (input
// 128) half a step below and above the level saved, for a target gamma g:
// the loaded factor, scaled back from the stored gamma to g, must lie
// between them.
void FactorBounds(int level, int peak, double gamma, double* low, double* high) {
    const double ratio = std::log(128.0 / 255.0) * gamma / 2.61;
    const double a = std::log((level - 0.5) / peak);
    const double b = std::log((level + 0.5) / peak);
    *low = std::fmin(ratio / a, ratio / b);
    *high = std::fmax(ratio / a, ratio / b);
}

struct PeakCase {
    uint8_t red, green, blue;
    double factor[3];
};

class RoundTripTest : public ScratchFolderTest {};

TEST_F(RoundTripTest, EveryPresetPhosphorSetWithGammasWhitesAndPeaks) {
    const double gammas[][3] = {{2.2, 2.2, 2.2}, {1.8, 1.8, 1.8}, {1.0, 2.5, 3.0}};
    const PeakCase peaks[] = {
        {255, 255, 255, {1.0, 1.0, 1.0}},
        {255, 212, 157, {0.9, 1.1, 1.25}},
        {207, 224, 255, {1.5, 0.75, 1.0}},
    };
    int saved = 0;
    for (int set = 0; set < kPhosphorPresetCount; ++set) {
        for (int w = 0; w < kWhitePresetCount; ++w) {
            for (const auto& gamma : gammas) {
                for (const PeakCase& p : peaks) {
                    MonitorSettings settings = DefaultSettings();
                    GetPhosphorPreset(set, settings.primaries);
                    settings.hardwareWhite = GetWhitePreset(w);
                    for (int c = 0; c < 3; ++c) {
                        settings.gamma[c] = gamma[c];
                        settings.gammaFactor[c] = p.factor[c];
                    }
                    settings.whiteRgb = PackPeaks(p.red, p.green, p.blue);
                    settings.ramp =
                        BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
                    const std::string where =
                        "set " + std::to_string(set) + " white " + std::to_string(w) + " gamma " +
                        std::to_string(gamma[0]) + " peaks " + std::to_string(settings.whiteRgb);
                    const std::string path = Path("round.icc");
                    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Round trip", settings, true), 0)
                        << where;
                    ++saved;

                    MonitorSettings loaded = {};
                    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0) << where;
                    EXPECT_STREQ(loaded.description, "Round trip");
                    EXPECT_STREQ(loaded.profilePath, path.c_str());
                    EXPECT_EQ(0, std::memcmp(&loaded.ramp, &settings.ramp, sizeof(GammaRamp)))
                        << where;
                    EXPECT_NEAR(loaded.hardwareWhite.x, settings.hardwareWhite.x, 1e-4) << where;
                    EXPECT_NEAR(loaded.hardwareWhite.y, settings.hardwareWhite.y, 1e-4) << where;
                    for (int c = 0; c < 3; ++c) {
                        EXPECT_NEAR(loaded.primaries[c].x, settings.primaries[c].x, 1e-4)
                            << where << " primary " << c;
                        EXPECT_NEAR(loaded.primaries[c].y, settings.primaries[c].y, 1e-4)
                            << where << " primary " << c;
                        EXPECT_EQ(loaded.gamma[c], StoredGamma(gamma[c])) << where;
                        const int top = settings.ramp.Channel(c)[255] >> 8;
                        const int middle = settings.ramp.Channel(c)[128] >> 8;
                        EXPECT_EQ(PeakOf(loaded.whiteRgb, Channel(c)), top) << where;
                        double low, high;
                        FactorBounds(middle, top, gamma[c], &low, &high);
                        const double factor = loaded.gammaFactor[c] * gamma[c] / loaded.gamma[c];
                        EXPECT_GE(factor, low - 1e-12) << where << " channel " << c;
                        EXPECT_LE(factor, high + 1e-12) << where << " channel " << c;
                        EXPECT_GE(settings.gammaFactor[c], low) << "bounds themselves: " << where;
                        EXPECT_LE(settings.gammaFactor[c], high) << "bounds themselves: " << where;
                    }
                }
            }
        }
    }
    EXPECT_EQ(saved, kPhosphorPresetCount * kWhitePresetCount * 3 * 3);
}

TEST_F(RoundTripTest, AdjustedWhiteComesBackFromThePeaks) {
    // The peaks that shift a 6500K HDTV monitor to each preset white come back
    // as that white, within what 8-bit peaks can resolve.
    for (int w = 0; w < kWhitePresetCount; ++w) {
        MonitorSettings settings = DefaultSettings();
        const Chromaticity target = GetWhitePreset(w);
        ASSERT_TRUE(WhitePointToPeaks(target, settings.primaries, settings.hardwareWhite,
                                      settings.gammaFactor, &settings.whiteRgb));
        settings.ramp = BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
        const std::string path = Path("adjusted.icc");
        ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "", settings, true), 0);
        MonitorSettings loaded = {};
        ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
        EXPECT_EQ(loaded.whiteRgb, settings.whiteRgb) << "white " << w;
        EXPECT_NEAR(loaded.adjustedWhite.x, target.x, 0.002) << "white " << w;
        EXPECT_NEAR(loaded.adjustedWhite.y, target.y, 0.002) << "white " << w;
    }
}

TEST_F(RoundTripTest, SavingOverItsOwnSourceKeepsTheValuesOfTheLastSave) {
    const std::string path = Path("same.icc");
    MonitorSettings settings = DefaultSettings();
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "First", settings, true), 0);
    GetPhosphorPreset(2, settings.primaries);
    settings.gamma[0] = settings.gamma[1] = settings.gamma[2] = 1.8;
    settings.ramp = BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
    ASSERT_EQ(SaveMonitorProfile(path.c_str(), path.c_str(), "Second", settings, true), 0);
    MonitorSettings loaded = {};
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0);
    EXPECT_STREQ(loaded.description, "Second");
    EXPECT_NEAR(loaded.primaries[kGreen].x, 0.21, 1e-4);
    EXPECT_EQ(loaded.gamma[kBlue], StoredGamma(1.8));
    EXPECT_EQ(0, std::memcmp(&loaded.ramp, &settings.ramp, sizeof(GammaRamp)));
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"same.icc"});
}

}  // namespace
}  // namespace tonalis
