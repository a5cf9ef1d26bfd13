// The response curve through matched points, and the table made from it.
#include <gtest/gtest.h>

#include <cmath>

#include "model/channel_peaks.h"
#include "model/gamma_ramp.h"
#include "model/colorimetry.h"
#include "model/matched_points.h"
#include "model/presets.h"
#include "model/white_point.h"

namespace tonalis {
namespace {

// Displays as the light they show at a drive level, 0 to 1.
double SrgbDisplay(double d) {
    const double v = d / 255;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double VideoRangeDisplay(double d) {  // expects 16-235: crushes and clips
    const double v = std::fmin(std::fmax((d - 16) / 219, 0.0), 1.0);
    return std::pow(v, 2.2);
}
double ContrastSDisplay(double d) {  // a TV picture mode's S around mid grey
    const double x = std::pow(d / 255, 2.2);
    const double a = std::pow(x, 1.6);
    return a / (a + std::pow(1 - x, 1.6));
}

// What a perfect eye matches: the drive that shows the light.
double DriveFor(double (*display)(double), double light) {
    double low = 0;
    double high = 255;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2;
        (display(mid) < light ? low : high) = mid;
    }
    return (low + high) / 2;
}

ToneMatch Matched(double (*display)(double), double* factor) {
    const TonePoint seen[] = {{0, DriveFor(display, kDarkestVisibleLight)},
                              {0.25, DriveFor(display, 0.25)},
                              {0.5, DriveFor(display, 0.5)},
                              {0.75, DriveFor(display, 0.75)},
                              {1, DriveFor(display, kBrightestDistinctLight)}};
    ToneMatch match = {};
    EXPECT_TRUE(SetMatchedPoints(seen, 5, factor, &match));
    return match;
}

double Lightness(double y) {
    return y > 216.0 / 24389 ? 116 * std::cbrt(y) - 16 : y * 24389.0 / 27;
}

// CIEDE2000 between two greys of the same white: the lightness term alone.
double GreyDeltaE2000(double y1, double y2) {
    const double l1 = Lightness(y1);
    const double l2 = Lightness(y2);
    const double mean = (l1 + l2) / 2 - 50;
    return std::fabs(l1 - l2) / (1 + 0.015 * mean * mean / std::sqrt(20 + mean * mean));
}

TEST(ResponseCurve, OnePointAtAHalfGivesTodaysTableBitForBit) {
    for (double gamma : {1.8, 2.2, 2.5}) {
        for (double factor : {0.55, 0.8, 1.0, 1.0027, 1.37, 1.9}) {
            const double drive = 255 * std::pow(0.5, 1 / (NominalCrtGamma * factor));
            const ResponseCurve law = ResponseCurve::PowerLaw(NominalCrtGamma * factor);
            // The gamma page's half, with end steps where the law puts them.
            const TonePoint seen[] = {{0, law.Drive(kDarkestVisibleLight)},
                                      {0.5, drive},
                                      {1, law.Drive(kBrightestDistinctLight)}};
            double matchedFactor = 1.0;
            ToneMatch match[3] = {};
            ASSERT_TRUE(SetMatchedPoints(seen, 3, &matchedFactor, &match[0]));
            EXPECT_EQ(match[0].count, 0);
            const double gammas[3] = {gamma, gamma, gamma};
            const double today[3] = {factor, factor, factor};
            const double matched[3] = {matchedFactor, matchedFactor, matchedFactor};
            const uint32_t peaks = PackPeaks(255, 212, 161);
            const GammaRamp expected = BuildGammaRamp(gammas, today, peaks);
            const GammaRamp got = BuildGammaRamp(gammas, matched, peaks, match);
            for (int i = 0; i < kRampEntries; ++i) {
                ASSERT_EQ(got.entries[i], expected.entries[i])
                    << "gamma " << gamma << " factor " << factor << " entry " << i;
            }
        }
    }
}

// The curve through a perfect eye's five points gives back each display's
// light within ΔE2000 2.5 of a grey at every drive level from 1 up (the sRGB
// curve's toe is the worst), and the table made from it shows a target of
// 2.2 within 3.0 at every input and 1.0 on average.
TEST(ResponseCurve, PointsFromAKnownDisplayGiveBackItsResponse) {
    double (*const displays[])(double) = {SrgbDisplay, VideoRangeDisplay, ContrastSDisplay};
    for (auto display : displays) {
        double factor = 1.0;
        ToneMatch match[3] = {Matched(display, &factor)};
        match[1] = match[2] = match[0];
        const ResponseCurve curve = ChannelResponse(match[0], factor);
        double worst = 0;
        for (int d = 1; d < 256; ++d) {
            worst = std::fmax(worst, GreyDeltaE2000(curve.Light(d), display(d)));
        }
        EXPECT_LE(worst, 2.5);
        const double gammas[3] = {2.2, 2.2, 2.2};
        const double factors[3] = {factor, factor, factor};
        const GammaRamp ramp = BuildGammaRamp(gammas, factors, kFullPeaks, match);
        double sum = 0;
        for (int i = 1; i < kRampSize; ++i) {
            const double error =
                GreyDeltaE2000(display(ramp.entries[i] >> 8), std::pow(i / 255.0, 2.2));
            ASSERT_LE(error, 3.0) << "input " << i;
            sum += error;
        }
        EXPECT_LE(sum / 255, 1.0);
    }
}

// The adjusted white's peaks go through the matched curve: a display that
// crushes and clips, aimed at 5000K, really shows 5000K with them.
TEST(ResponseCurve, PeaksThroughTheCurveShowTheWantedWhite) {
    double factor = 1.0;
    const ToneMatch one = Matched(VideoRangeDisplay, &factor);
    const ToneMatch match[3] = {one, one, one};
    const double factors[3] = {factor, factor, factor};
    Chromaticity hdtv[3];
    GetPhosphorPreset(1, hdtv);
    const Chromaticity warm = GetWhitePreset(0);
    const Chromaticity d65 = GetWhitePreset(2);
    uint32_t peaks = 0;
    ASSERT_TRUE(WhitePointToPeaks(warm, hdtv, d65, factors, match, &peaks));
    Matrix3 toXyz;
    ASSERT_EQ(RgbToXyzMatrix(hdtv, d65, &toXyz), 0);
    Vector3 light;
    for (int c = 0; c < 3; ++c) {
        light[c] = VideoRangeDisplay(PeakOf(peaks, Channel(c)));
    }
    Chromaticity shown = {};
    ASSERT_EQ(XyzToXy(AsTristimulus(RowTimesMatrix3(light, toXyz)), &shown), 0);
    EXPECT_NEAR(shown.x, warm.x, 0.002);
    EXPECT_NEAR(shown.y, warm.y, 0.002);
}

TEST(ResponseCurve, OnlyCrushedOrRaisedEndsBendIt) {
    const ResponseCurve law = ResponseCurve::PowerLaw(2.2);
    EXPECT_FALSE(EndBendsCurve(law, true, 12));   // where 2.2 first shows
    EXPECT_TRUE(EndBendsCurve(law, true, 25.5));  // 16-235 crushes below 16
    EXPECT_TRUE(EndBendsCurve(law, true, 3.3));   // the sRGB curve shows early
    EXPECT_FALSE(EndBendsCurve(law, false, 253.8));
    EXPECT_TRUE(EndBendsCurve(law, false, 234));  // clipped above 235
}

// A loaded table gives back points whose table is within four levels of it
// (the near-black point is read at small levels) and from then on the same
// table, so a save, load and save writes the same file; a plain power law,
// whose factor comes back a hair off, gives none.
TEST(ToneMatchFromRun, PointsReadBackMakeTheSameTable) {
    const double gammas[3] = {2.2, 2.2, 2.2};
    for (auto display : {SrgbDisplay, VideoRangeDisplay, ContrastSDisplay}) {
        for (uint32_t peaks : {kFullPeaks, PackPeaks(230, 212, 255)}) {
            double factor = 1.0;
            ToneMatch match[3] = {Matched(display, &factor)};
            match[1] = match[2] = match[0];
            const double factors[3] = {factor, factor, factor};
            const GammaRamp saved = BuildGammaRamp(gammas, factors, peaks, match);
            ToneMatch loaded[3];
            for (int c = 0; c < 3; ++c) {
                loaded[c] = ToneMatchFromRun(saved.Channel(c), 2.2, factor);
                ASSERT_GT(loaded[c].count, 0);
            }
            // A top below 255 comes back as the channel's peak.
            const uint32_t tops = PackPeaks(saved.Channel(0)[255] >> 8, saved.Channel(1)[255] >> 8,
                                            saved.Channel(2)[255] >> 8);
            const GammaRamp again = BuildGammaRamp(gammas, factors, tops, loaded);
            for (int c = 0; c < 3; ++c) {
                ToneMatch reread[3] = {ToneMatchFromRun(again.Channel(c), 2.2, factor)};
                reread[1] = reread[2] = reread[0];
                const GammaRamp third = BuildGammaRamp(gammas, factors, tops, reread);
                for (int i = 0; i < kRampSize; ++i) {
                    ASSERT_EQ(third.Channel(c)[i], again.Channel(c)[i]) << c << " " << i;
                    ASSERT_LE(std::abs((again.Channel(c)[i] >> 8) - (saved.Channel(c)[i] >> 8)), 4);
                }
            }
        }
        const double plain[3] = {1.0, 1.0, 1.0};
        const GammaRamp legacy = BuildGammaRamp(gammas, plain, kFullPeaks);
        EXPECT_EQ(ToneMatchFromRun(legacy.Channel(0), 2.2, 1.0044).count, 0);
    }
}

}  // namespace
}  // namespace tonalis
