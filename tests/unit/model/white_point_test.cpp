// The white point as channel peaks and back, and the swatch table of the white
// point measurement screen.
#include "model/white_point.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lcms_reference.h"
#include "model/adjusted_white.h"
#include "model/channel_peaks.h"
#include "model/matching.h"
#include "model/presets.h"
#include "model/white_swatches.h"

namespace tonalis {
namespace {

const Chromaticity* const kHdtv = kPhosphorPresets[1].primaries;
constexpr Chromaticity k6500K = {0.3128, 0.3292};

// Green and blue at the far ends of their accepted ranges: the cool end of the
// white point range lies outside this monitor's gamut.
constexpr Chromaticity kNarrowPrimaries[3] = {{0.64, 0.33}, {0.35, 0.5}, {0.2, 0.0}};
constexpr Chromaticity kCoolEnd = {0.2788, 0.2920};

// Native gamma factors: the nominal monitor, and one whose own gamma is 1.
constexpr double kNominal[3] = {1.0, 1.0, 1.0};
constexpr double kLinear[3] = {1 / 2.61, 1 / 2.61, 1 / 2.61};

// The white a monitor with these primaries, native white and gammas shows
// with the peaks as drive levels, through LittleCMS's matrix.
Chromaticity DrivenWhite(uint32_t whiteRgb, Chromaticity hardware, const double factor[3]) {
    const auto rows = reference::RgbToXyzRows(kHdtv, hardware);
    double xyz[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        const double light = std::pow(PeakOf(whiteRgb, Channel(c)) / 255.0, 2.61 * factor[c]);
        for (int k = 0; k < 3; ++k) {
            xyz[k] += light * rows[c][k];
        }
    }
    const double sum = xyz[0] + xyz[1] + xyz[2];
    return {xyz[0] / sum, xyz[1] / sum};
}

// A monitor whose native gamma is 1 takes its peaks as linear amounts: the
// amounts of the primaries in each preset white, to 8 bits.
TEST(WhitePointToPeaks, LinearMonitorTakesTheAmountsOfThePrimaries) {
    const struct {
        Chromaticity target;
        int red, green, blue;
    } cases[] = {
        {{0.3128, 0.3292}, 255, 255, 255}, {{0.3457, 0.3587}, 255, 212, 157},
        {{0.3325, 0.3476}, 255, 228, 190}, {{0.2991, 0.3150}, 207, 224, 255},
        {{0.2831, 0.2970}, 161, 192, 255},
    };
    for (const auto& c : cases) {
        uint32_t whiteRgb = 0;
        ASSERT_TRUE(WhitePointToPeaks(c.target, kHdtv, k6500K, kLinear, &whiteRgb));
        EXPECT_EQ(whiteRgb, PackPeaks(c.red, c.green, c.blue))
            << "target " << c.target.x << ", " << c.target.y << std::hex << " got 0x" << whiteRgb;
    }
}

// A native gamma slider moved after the white was chosen: new peaks, the
// same white on the screen.
TEST(KeepAdjustedWhite, ANewNativeGammaGetsPeaksThatShowTheSameWhite) {
    MonitorSettings before = {};
    before.hardwareWhite = {0.3325, 0.3476};
    for (int c = 0; c < 3; ++c) {
        before.primaries[c] = kHdtv[c];
        before.gammaFactor[c] = 1.0;
    }
    before.adjustedWhite = k6500K;
    ASSERT_TRUE(WhitePointToPeaks(k6500K, kHdtv, before.hardwareWhite, before.gammaFactor,
                                  &before.whiteRgb));
    MonitorSettings working = before;
    working.gammaFactor[kRed] = 0.7;
    KeepAdjustedWhite(before, &working);
    EXPECT_NE(working.whiteRgb, before.whiteRgb);
    EXPECT_EQ(working.adjustedWhite.x, k6500K.x);
    const Chromaticity shown =
        DrivenWhite(working.whiteRgb, working.hardwareWhite, working.gammaFactor);
    EXPECT_NEAR(shown.x, k6500K.x, 0.0015);
    EXPECT_NEAR(shown.y, k6500K.y, 0.0015);
}

TEST(WhitePointToPeaks, HardwareWhiteKeepsEveryPeak) {
    for (const PhosphorPreset& phosphors : kPhosphorPresets) {
        for (const Chromaticity white : WhiteLadder) {
            uint32_t whiteRgb = 0;
            ASSERT_TRUE(WhitePointToPeaks(white, phosphors.primaries, white, kNominal, &whiteRgb));
            EXPECT_EQ(whiteRgb, kFullPeaks) << white.x << ", " << white.y;
        }
    }
}

TEST(WhitePointToPeaks, TargetOutsideTheGamutLeavesThePeaks) {
    // Make sure the target really needs a negative amount of a primary.
    const auto rgb = reference::XyzToRgb(
        kNarrowPrimaries, k6500K,
        {kCoolEnd.x / kCoolEnd.y, 1.0, (1 - kCoolEnd.x - kCoolEnd.y) / kCoolEnd.y});
    ASSERT_LT(std::fmin(rgb[0], std::fmin(rgb[1], rgb[2])), 0.0);

    const struct {
        const Chromaticity* primaries;
        Chromaticity target;
    } cases[] = {
        {kNarrowPrimaries, kCoolEnd},
        {kHdtv, {0.70, 0.29}},  // beyond the red primary
        {kHdtv, {0.3, 0.0}},    // no tristimulus value at all
    };
    for (const auto& c : cases) {
        uint32_t whiteRgb = 0x00123456;
        EXPECT_FALSE(WhitePointToPeaks(c.target, c.primaries, k6500K, kNominal, &whiteRgb));
        EXPECT_EQ(whiteRgb, 0x00123456u);
    }
    EXPECT_FALSE(WhiteInsideGamut(kNarrowPrimaries, kCoolEnd));
    EXPECT_TRUE(WhiteInsideGamut(kNarrowPrimaries, k6500K));
    EXPECT_TRUE(WhiteInsideGamut(kHdtv, kCoolEnd));
}

TEST(PeaksToWhitePoint, PeaksOf5000KComeBackNearButNotOn5000K) {
    Chromaticity white = {0, 0};
    ASSERT_TRUE(PeaksToWhitePoint(PackPeaks(255, 212, 157), kHdtv, k6500K, kLinear, &white));
    EXPECT_NEAR(white.x, 0.3455, 5e-5);
    EXPECT_NEAR(white.y, 0.3586, 5e-5);
    EXPECT_TRUE(ChromaticityMatches(white, kWhitePresets[0].white));
    EXPECT_FALSE(white.x == 0.3457 && white.y == 0.3587);
}

// The two conversions undo each other up to the rounding of the peaks to
// whole drive steps of 1/255.
TEST(PeaksToWhitePoint, UndoesWhitePointToPeaks) {
    for (const PhosphorPreset& phosphors : kPhosphorPresets) {
        for (const Chromaticity hardware : {kWhitePresets[0].white, k6500K, kCoolEnd}) {
            for (const Chromaticity target : WhiteLadder) {
                uint32_t whiteRgb = 0;
                ASSERT_TRUE(
                    WhitePointToPeaks(target, phosphors.primaries, hardware, kNominal, &whiteRgb));
                Chromaticity back = {0, 0};
                ASSERT_TRUE(
                    PeaksToWhitePoint(whiteRgb, phosphors.primaries, hardware, kNominal, &back));
                EXPECT_NEAR(back.x, target.x, 0.0015) << phosphors.stringId;
                EXPECT_NEAR(back.y, target.y, 0.0015) << phosphors.stringId;
            }
        }
    }
}

TEST(PeaksToWhitePoint, NoLightOrUnusablePrimariesLeaveTheWhite) {
    Chromaticity white = {0.25, 0.5};
    EXPECT_TRUE(PeaksToWhitePoint(0, kHdtv, k6500K, kNominal, &white));
    EXPECT_EQ(white.x, 0.25);
    EXPECT_EQ(white.y, 0.5);

    const Chromaticity singular[3] = {{0.5, 0.25}, {0.5, 0.25}, {0.25, 0.5}};
    uint32_t whiteRgb = 0x00010203;
    EXPECT_FALSE(PeaksToWhitePoint(kFullPeaks, singular, k6500K, kNominal, &white));
    EXPECT_FALSE(WhitePointToPeaks(k6500K, singular, k6500K, kNominal, &whiteRgb));
    EXPECT_EQ(white.x, 0.25);
    EXPECT_EQ(whiteRgb, 0x00010203u);
}

// The level of one channel as the measurement screen shows it, computed through
// LittleCMS's solver, clamped to 0..255; *raw receives the unclamped level.
uint8_t ReferenceSwatchLevel(const Chromaticity primaries[3], const double gamma[3], int step,
                             int channel, double* raw) {
    const auto rgb = reference::XyzToRgb(primaries, WhiteLadder[step],
                                         {kSwatchGreyX, kSwatchGreyY, kSwatchGreyZ});
    *raw = std::pow(rgb[channel], 1.0 / gamma[channel]) * 255.0 + 0.5;
    if (rgb[channel] < 0 || *raw < 1) {
        return 0;
    }
    return *raw >= 256 ? 255 : static_cast<uint8_t>(*raw);
}

TEST(BuildWhiteSwatchTable, MatchesAnIndependentSolution) {
    const double gamma22[3] = {2.2, 2.2, 2.2};
    const double mixed[3] = {1.8, 2.2, 2.6};
    // Primaries at the edges of the accepted ranges: with a far green the warm
    // steps need more than the full blue, with a near green the cool steps lie
    // outside the gamut and need negative red. Those levels must come out as
    // 255 and 0 rather than wrapping.
    const Chromaticity farGreen[3] = {{0.77, 0.25}, {0.05, 0.5}, {0.2, 0.0}};
    const Chromaticity nearGreen[3] = {{0.77, 0.25}, {0.35, 0.5}, {0.2, 0.0}};
    const struct {
        const Chromaticity* primaries;
        const double* gamma;
        bool clamps;
    } cases[] = {
        {kHdtv, gamma22, false},
        {kPhosphorPresets[2].primaries, mixed, false},
        {farGreen, gamma22, true},
        {nearGreen, gamma22, true},
    };
    for (const auto& c : cases) {
        WhiteSwatchTable table = {};
        ASSERT_TRUE(BuildWhiteSwatchTable(c.primaries, c.gamma, &table));
        bool clamped = false;
        for (int step = 0; step < kWhiteLadderSteps; ++step) {
            const uint8_t got[3] = {table.steps[step].red, table.steps[step].green,
                                    table.steps[step].blue};
            for (int channel = 0; channel < 3; ++channel) {
                double raw = 0;
                const uint8_t expected =
                    ReferenceSwatchLevel(c.primaries, c.gamma, step, channel, &raw);
                clamped = clamped || !(raw >= 0 && raw < 256);
                EXPECT_EQ(got[channel], expected) << "step " << step << " channel " << channel;
            }
        }
        EXPECT_EQ(clamped, c.clamps);
    }
}

TEST(BuildWhiteSwatchTable, GreyOnItsOwnWhiteIsNeutral) {
    // Step 7 is the grey's own chromaticity: half of every primary, 0.5^(1/2.2).
    WhiteSwatchTable table = {};
    const double gamma[3] = {2.2, 2.2, 2.2};
    ASSERT_TRUE(BuildWhiteSwatchTable(kHdtv, gamma, &table));
    EXPECT_EQ(table.steps[7].red, 186);
    EXPECT_EQ(table.steps[7].green, 186);
    EXPECT_EQ(table.steps[7].blue, 186);
    // Warmer native whites need more blue, cooler ones more red.
    EXPECT_GT(table.steps[0].blue, table.steps[0].red);
    EXPECT_GT(table.steps[10].red, table.steps[10].blue);
}

TEST(BuildWhiteSwatchTable, FailureLeavesTheTable) {
    const double zeroGamma[3] = {2.2, 0.0, 2.2};
    const double gamma[3] = {2.2, 2.2, 2.2};
    const Chromaticity singular[3] = {{0.5, 0.25}, {0.5, 0.25}, {0.25, 0.5}};
    WhiteSwatchTable table;
    for (auto& entry : table.steps) {
        entry = {1, 2, 3};
    }
    EXPECT_FALSE(BuildWhiteSwatchTable(kHdtv, zeroGamma, &table));
    EXPECT_FALSE(BuildWhiteSwatchTable(singular, gamma, &table));
    for (const auto& entry : table.steps) {
        EXPECT_EQ(entry.red, 1);
        EXPECT_EQ(entry.green, 2);
        EXPECT_EQ(entry.blue, 3);
    }
}

}  // namespace
}  // namespace tonalis
