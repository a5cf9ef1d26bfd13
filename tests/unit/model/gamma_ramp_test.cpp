// The video lookup table and the estimate of its parameters.
#include "model/gamma_ramp.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/channel_peaks.h"
#include "model/slider_mapping.h"

namespace tonalis {
namespace {

GammaRamp Build(double gamma, double factor, uint32_t whiteRgb = kFullPeaks) {
    const double gammas[3] = {gamma, gamma, gamma};
    const double factors[3] = {factor, factor, factor};
    return BuildGammaRamp(gammas, factors, whiteRgb);
}

TEST(BuildGammaRamp, Gamma22OnTheNominalMonitor) {
    const GammaRamp ramp = Build(2.2, 1.0);
    const struct {
        int input;
        int level;
    } cases[] = {{0, 0},     {1, 2},     {2, 4},     {16, 25},  {64, 80},
                 {128, 143}, {192, 201}, {254, 254}, {255, 255}};
    for (int c = 0; c < 3; ++c) {
        for (const auto& e : cases) {
            EXPECT_EQ(ramp.Channel(c)[e.input], e.level * 256)
                << "channel " << c << " input " << e.input;
        }
    }
    EXPECT_EQ(ramp.Channel(kBlue)[255], 65280);
}

TEST(BuildGammaRamp, MatchingNativeGammaGivesTheIdentity) {
    const GammaRamp ramp = Build(2.2, 2.2 / NominalCrtGamma);
    for (int i = 0; i < kRampEntries; ++i) {
        ASSERT_EQ(ramp.entries[i], (i % kRampSize) * 256) << "entry " << i;
    }
}

TEST(BuildGammaRamp, PeaksScaleTheirOwnChannel) {
    const double gamma[3] = {1.8, 1.8, 1.8};
    const double factor[3] = {1.0, 1.0, 1.0};
    const GammaRamp ramp = BuildGammaRamp(gamma, factor, PackPeaks(255, 212, 255));
    const int inputs[] = {0, 1, 128, 255};
    const int levels[] = {0, 5, 132, 212};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(ramp.Channel(kGreen)[inputs[k]], levels[k] * 256) << "input " << inputs[k];
    }
    EXPECT_EQ(ramp.Channel(kRed)[255], 0xFF00);
    EXPECT_EQ(ramp.Channel(kBlue)[255], 0xFF00);

    const GammaRamp packed = Build(2.2, 1.0, 0x00336699);
    EXPECT_EQ(packed.Channel(kRed)[255], 0x9900);
    EXPECT_EQ(packed.Channel(kGreen)[255], 0x6600);
    EXPECT_EQ(packed.Channel(kBlue)[255], 0x3300);
}

// Whatever the parameters, including ones no control can produce, a run starts
// at 0, rises monotonically to its peak and carries its level in the high byte.
TEST(BuildGammaRamp, EveryRunHasTheFixedForm) {
    const struct {
        double gamma;
        double factor;
        uint32_t whiteRgb;
        bool regular;  // starts at 0, rises to the peak
    } cases[] = {
        {0.75, 2.0, kFullPeaks, true},  {3.75, 0.5, kFullPeaks, true},
        {2.2, 1.0, 0x00000000, true},   {1.8, 0.77, 0x00A1C0FF, true},
        {2.2, 0.0, kFullPeaks, true},   {0.0, 1.0, 0x00808080, false},
        {2.2, -1.0, kFullPeaks, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "gamma " << c.gamma << " factor " << c.factor);
        const GammaRamp ramp = Build(c.gamma, c.factor, c.whiteRgb);
        for (int ch = 0; ch < 3; ++ch) {
            const uint16_t* run = ramp.Channel(ch);
            const int peak = PeakOf(c.whiteRgb, static_cast<Channel>(ch));
            if (c.regular) {
                EXPECT_EQ(run[0], 0);
                EXPECT_EQ(run[255], peak << 8);
            }
            for (int i = 0; i < kRampSize; ++i) {
                ASSERT_EQ(run[i] & 0xFF, 0) << "input " << i;
                ASSERT_LE(run[i], peak << 8) << "input " << i;
                if (c.regular && i > 0) {
                    ASSERT_GE(run[i], run[i - 1]) << "input " << i;
                }
            }
        }
    }
}

TEST(EstimateFromRamp, NominalRampComesBackAHairAboveOne) {
    const double gamma[3] = {2.2, 2.2, 2.2};
    const RampEstimate estimate = EstimateFromRamp(Build(2.2, 1.0), gamma);
    EXPECT_EQ(estimate.whiteRgb, kFullPeaks);
    for (double factor : estimate.gammaFactor) {
        EXPECT_NEAR(factor, 1.0044, 5e-5);
        // A save and load moves the native gamma slider by one step.
        EXPECT_EQ(ValueToSlider(0, 200, factor, 0.5, 2.0), 101);
    }
}

TEST(EstimateFromRamp, IdentityRampGivesGammaOverNominal) {
    const GammaRamp identity = Build(2.2, 2.2 / NominalCrtGamma);
    for (double g : {1.8, 2.2, 2.6}) {
        const double gamma[3] = {g, g, g};
        const RampEstimate estimate = EstimateFromRamp(identity, gamma);
        EXPECT_EQ(estimate.whiteRgb, kFullPeaks);
        for (double factor : estimate.gammaFactor) {
            EXPECT_NEAR(factor, g / NominalCrtGamma, 1e-12);
        }
    }
    const double gamma[3] = {2.2, 2.2, 2.2};
    EXPECT_NEAR(EstimateFromRamp(identity, gamma).gammaFactor[0], 0.842912, 5e-7);
}

// The estimate undoes the ramp up to the 8-bit rounding of the midpoint, which
// weighs more on a lower peak: within two steps of the native gamma slider.
TEST(EstimateFromRamp, RecoversTheFactorsAndPeaksThatMadeTheRamp) {
    for (double gamma : {1.8, 2.2, 3.0}) {
        for (double factor : {0.5, 0.8, 1.0, 1.3, 2.0}) {
            for (uint32_t whiteRgb : {kFullPeaks, PackPeaks(161, 192, 255)}) {
                const double gammas[3] = {gamma, gamma, gamma};
                const RampEstimate estimate =
                    EstimateFromRamp(Build(gamma, factor, whiteRgb), gammas);
                EXPECT_EQ(estimate.whiteRgb, whiteRgb);
                const int expected = ValueToSlider(0, 200, factor, 0.5, 2.0);
                for (double f : estimate.gammaFactor) {
                    EXPECT_NEAR(ValueToSlider(0, 200, f, 0.5, 2.0), expected, 2)
                        << "gamma " << gamma << " factor " << factor << " got " << f;
                }
            }
        }
    }
}

TEST(EstimateFromRamp, RampsWithoutAMidpointKeepThePreviousFactor) {
    GammaRamp ramp = Build(2.2, 1.0);
    // Red: all dark. Green: flat at the top. Blue: dark midpoint, lit top.
    for (int i = 0; i < kRampSize; ++i) {
        ramp.Channel(kRed)[i] = 0;
        ramp.Channel(kGreen)[i] = 0xC000;
    }
    ramp.Channel(kBlue)[128] = 0x00FF;  // a low byte alone is level 0
    const double gamma[3] = {2.2, 2.2, 2.2};
    const double previous[3] = {0.7, 1.6, 1.9};
    const double nan = std::nan("");
    const double notFinite[3] = {nan, HUGE_VAL, 1.25};

    const RampEstimate kept = EstimateFromRamp(ramp, gamma, previous);
    EXPECT_EQ(kept.whiteRgb, PackPeaks(0, 0xC0, 0xFF));
    EXPECT_EQ(kept.gammaFactor[kRed], 0.7);
    EXPECT_EQ(kept.gammaFactor[kGreen], 1.6);
    EXPECT_EQ(kept.gammaFactor[kBlue], 1.9);

    const RampEstimate fresh = EstimateFromRamp(ramp, gamma);
    const RampEstimate repaired = EstimateFromRamp(ramp, gamma, notFinite);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(fresh.gammaFactor[c], 1.0);
        EXPECT_EQ(repaired.gammaFactor[c], c == kBlue ? 1.25 : 1.0);
    }

    // An intact channel next to broken ones is still estimated.
    GammaRamp mixed = Build(2.2, 2.2 / NominalCrtGamma);
    mixed.Channel(kRed)[255] = 0;
    const RampEstimate partial = EstimateFromRamp(mixed, gamma, previous);
    EXPECT_EQ(partial.gammaFactor[kRed], 0.7);
    EXPECT_NEAR(partial.gammaFactor[kGreen], 2.2 / NominalCrtGamma, 1e-12);
}

}  // namespace
}  // namespace tonalis
