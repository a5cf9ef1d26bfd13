// Preset tables, the tolerances that recognise a preset, the slider mapping and
// the tests for one gamma per channel and for unsaved changes.
#include "model/matching.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "model/plausible_ranges.h"
#include "model/presets.h"
#include "model/slider_mapping.h"
#include "model/white_swatches.h"

namespace tonalis {
namespace {

TEST(Presets, TablesHoldTheListedValuesAndStrings) {
    const Chromaticity whites[] = {
        {0.3457, 0.3587}, {0.3325, 0.3476}, {0.3128, 0.3292}, {0.2991, 0.3150}, {0.2831, 0.2970}};
    for (int i = 0; i < kWhitePresetCount; ++i) {
        EXPECT_EQ(GetWhitePreset(i).x, whites[i].x);
        EXPECT_EQ(GetWhitePreset(i).y, whites[i].y);
        EXPECT_EQ(kWhitePresets[i].stringId, 3001 + i);
    }
    const double smpteC[6] = {0.63, 0.34, 0.31, 0.595, 0.155, 0.07};
    Chromaticity primaries[3];
    GetPhosphorPreset(4, primaries);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(primaries[c].x, smpteC[2 * c]);
        EXPECT_EQ(primaries[c].y, smpteC[2 * c + 1]);
    }
    EXPECT_EQ(kPhosphorPresets[5].stringId, 3105);
    EXPECT_EQ(GetGammaPreset(0), 1.8);
    EXPECT_EQ(GetGammaPreset(1), 2.2);
    EXPECT_EQ(kGammaPresets[1].stringId, 3201);
}

TEST(Presets, IndexOutsideATableGivesItsDefault) {
    for (int index : {-1, 5, 1000}) {
        EXPECT_EQ(GetWhitePreset(index).x, 0.3128);
    }
    Chromaticity primaries[3] = {};
    GetPhosphorPreset(6, primaries);
    EXPECT_EQ(primaries[kGreen].x, 0.30);  // HDTV
    EXPECT_EQ(GetGammaPreset(-3), 2.2);
}

// Every preset, and every step of the white ladder, lies inside the ranges
// that values entering a record are held to.
TEST(Presets, LieInsideThePlausibleRanges) {
    for (const WhitePreset& w : kWhitePresets) {
        EXPECT_TRUE(WhitePointInRange(w.white));
    }
    for (const Chromaticity w : WhiteLadder) {
        EXPECT_TRUE(WhitePointInRange(w));
    }
    for (const PhosphorPreset& p : kPhosphorPresets) {
        EXPECT_TRUE(PrimariesInRange(p.primaries)) << p.stringId;
    }
    EXPECT_TRUE(UserGammaInRange(GetGammaPreset(0)));
    EXPECT_TRUE(ProfileGammaInRange(GetGammaPreset(1)));
}

// The value a user gets by typing the preset shifted by `delta`, at the
// precision of the custom dialogs.
double Typed(double preset, double delta) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", preset + delta);
    return std::strtod(text, nullptr);
}

TEST(ChromaticityMatches, ToleranceIncludesItsBound) {
    const struct {
        double dx;
        double dy;
        bool matches;
    } cases[] = {
        {0.001, 0, true},   {0, -0.001, true},   {0.0012, 0.0012, true}, {-0.0012, -0.0012, true},
        {0.0013, 0, false}, {0, -0.0013, false}, {0.0015, 0, false},     {0.0012, -0.0015, false},
    };
    for (const WhitePreset& preset : kWhitePresets) {
        for (const auto& c : cases) {
            const Chromaticity typed = {Typed(preset.white.x, c.dx), Typed(preset.white.y, c.dy)};
            EXPECT_EQ(ChromaticityMatches(typed, preset.white), c.matches)
                << typed.x << ", " << typed.y << " against " << preset.stringId;
            EXPECT_EQ(WhiteMatchesPreset(typed, preset.stringId - 3001), c.matches);
        }
    }
}

TEST(GammaMatches, ToleranceIncludesItsBound) {
    const struct {
        double gamma;
        int matchingPreset;  // kGammaPresetCount for custom
    } cases[] = {
        {2.2, 1},   {2.205, 1}, {2.21, 1}, {2.19, 1},  {2.215, 2},
        {2.189, 2}, {1.81, 0},  {1.79, 0}, {1.811, 2}, {2.0, 2},
    };
    for (const auto& c : cases) {
        int shown = 0;
        while (!GammaMatchesPreset(c.gamma, shown)) {
            ++shown;
        }
        EXPECT_EQ(shown, c.matchingPreset) << "gamma " << c.gamma;
    }
}

TEST(PresetMatching, CustomIndexMatchesEverythingAndNoSelectionNothing) {
    const Chromaticity odd = {0.5, 0.1};
    const Chromaticity oddPrimaries[3] = {odd, odd, odd};
    EXPECT_TRUE(WhiteMatchesPreset(odd, kWhitePresetCount));
    EXPECT_TRUE(PhosphorsMatchPreset(oddPrimaries, kPhosphorPresetCount));
    EXPECT_TRUE(GammaMatchesPreset(9.0, kGammaPresetCount));
    EXPECT_FALSE(WhiteMatchesPreset(kWhitePresets[2].white, -1));
    EXPECT_FALSE(PhosphorsMatchPreset(kPhosphorPresets[1].primaries, -1));
    EXPECT_FALSE(GammaMatchesPreset(2.2, -1));
}

TEST(PresetMatching, PhosphorSetsNeedAllThreePrimaries) {
    // HDTV differs from EBU/ITU only in green x, by 0.01.
    const Chromaticity* hdtv = kPhosphorPresets[1].primaries;
    EXPECT_TRUE(PhosphorsMatchPreset(hdtv, 1));
    EXPECT_FALSE(PhosphorsMatchPreset(hdtv, 0));
    Chromaticity nudged[3] = {hdtv[0], hdtv[1], hdtv[2]};
    nudged[kBlue].y += 0.0011;
    EXPECT_TRUE(PhosphorsMatchPreset(nudged, 1));
    nudged[kBlue].y += 0.001;
    EXPECT_FALSE(PhosphorsMatchPreset(nudged, 1));
}

TEST(SliderMapping, NativeGammaSliderEndsAndMiddle) {
    EXPECT_EQ(SliderToValue(0, 200, 0, 0.5, 2.0), 0.5);
    EXPECT_EQ(SliderToValue(0, 200, 200, 0.5, 2.0), 2.0);
    const double middle = SliderToValue(0, 200, 100, 0.5, 2.0);
    EXPECT_NEAR(middle, 0.5 * std::pow(4.0, 128.0 / 255.0), 1e-12);
    EXPECT_NEAR(middle, 1.0027, 5e-5);
    EXPECT_EQ(ValueToSlider(0, 200, middle, 0.5, 2.0), 100);
    EXPECT_EQ(ValueToSlider(0, 200, 1.0, 0.5, 2.0), 100);
    EXPECT_EQ(ValueToSlider(0, 200, 0.5, 0.5, 2.0), 0);
    EXPECT_EQ(ValueToSlider(0, 200, 2.0, 0.5, 2.0), 200);
}

// With no more positions than levels, no two positions share a level.
TEST(SliderMapping, EveryPositionSurvivesTheRoundTrip) {
    for (const auto& range : {std::pair<int, int>{0, 200}, {-50, 50}, {0, 255}}) {
        double previous = 0;
        for (int pos = range.first; pos <= range.second; ++pos) {
            const double value = SliderToValue(range.first, range.second, pos, 0.5, 2.0);
            ASSERT_GE(value, 0.5);
            ASSERT_LE(value, 2.0);
            ASSERT_GE(value, previous) << "position " << pos;
            previous = value;
            ASSERT_EQ(ValueToSlider(range.first, range.second, value, 0.5, 2.0), pos);
        }
    }
}

TEST(SliderMapping, DegenerateInputsStayDefined) {
    EXPECT_EQ(SliderToValue(5, 5, 5, 0.5, 2.0), 0.5);
    EXPECT_EQ(SliderToValue(0, 200, -400, 0.5, 2.0), 0.5);
    EXPECT_EQ(SliderToValue(0, 200, 900, 0.5, 2.0), 2.0);
    EXPECT_EQ(ValueToSlider(0, 200, std::nan(""), 0.5, 2.0), 0);
    EXPECT_EQ(ValueToSlider(0, 200, 0.0, 0.5, 2.0), INT32_MIN);
    EXPECT_EQ(ValueToSlider(0, 200, HUGE_VAL, 0.5, 2.0), INT32_MAX);
    EXPECT_EQ(ValueToSlider(0, 200, 4.0, 0.5, 2.0), 300);  // beyond the slider, not clamped
}

MonitorSettings SampleSettings() {
    MonitorSettings s;
    std::memset(&s, 0, sizeof s);
    std::strcpy(s.description, "Orvane Monitor Profile");
    std::strcpy(s.profilePath, "C:\\WINDOWS\\Color\\Orvane Monitor Settings.icm");
    for (int c = 0; c < 3; ++c) {
        s.gamma[c] = 2.2;
        s.gammaFactor[c] = 1.0;
    }
    s.hardwareWhite = GetWhitePreset(2);
    GetPhosphorPreset(1, s.primaries);
    s.whiteRgb = kFullPeaks;
    s.hasGammaRamp = 1;
    return s;
}

TEST(ChannelsMatch, GammasWithinToleranceOfRedAndFactorsOnOneSliderStep) {
    const struct {
        double gamma[3];
        double factor[3];
        bool withoutRamp;
        bool withRamp;
    } cases[] = {
        {{2.2, 2.205, 2.195}, {1.0, 1.0, 1.0}, true, true},
        {{2.2, 2.2, 2.2}, {1.0, 1.002, 0.998}, true, true},  // same slider position
        {{2.2, 2.2, 2.2}, {1.0, 1.0, 1.02}, true, false},
        {{2.2, 2.215, 2.2}, {1.0, 1.0, 1.0}, false, false},
        {{2.2, 2.2, 2.185}, {1.0, 1.0, 1.0}, false, false},
    };
    for (const auto& c : cases) {
        MonitorSettings s = SampleSettings();
        std::memcpy(s.gamma, c.gamma, sizeof s.gamma);
        std::memcpy(s.gammaFactor, c.factor, sizeof s.gammaFactor);
        s.hasGammaRamp = 0;
        EXPECT_EQ(ChannelsMatch(s), c.withoutRamp) << c.gamma[1] << " " << c.factor[2];
        s.hasGammaRamp = 1;
        EXPECT_EQ(ChannelsMatch(s), c.withRamp) << c.gamma[1] << " " << c.factor[2];
    }
}

TEST(SettingsEqual, ComparesOnlyWhatASaveWouldKeep) {
    const struct {
        const char* change;
        std::function<void(MonitorSettings&)> apply;
        bool equal;
    } cases[] = {
        {"adjusted white",
         [](MonitorSettings& s) {
             s.adjustedWhite = {0.3, 0.3};
         },
         true},
        {"ramp", [](MonitorSettings& s) { s.ramp.entries[300] = 1234; }, true},
        {"monitor identity",
         [](MonitorSettings& s) {
             s.monitorRect = {0, 0, 800, 600};
             std::strcpy(s.deviceName, "\\\\.\\DISPLAY2");
             s.hasGammaRamp = 0;
             s.isPrimary = 1;
         },
         true},
        {"bytes after the description's end", [](MonitorSettings& s) { s.description[200] = 'x'; },
         true},
        {"description case", [](MonitorSettings& s) { s.description[0] = 'o'; }, false},
        {"profile path", [](MonitorSettings& s) { s.profilePath[3] = 'w'; }, false},
        {"blue gamma within 0.01", [](MonitorSettings& s) { s.gamma[kBlue] = 2.21; }, true},
        {"blue gamma beyond 0.01", [](MonitorSettings& s) { s.gamma[kBlue] = 2.22; }, false},
        {"hardware white within 0.0012", [](MonitorSettings& s) { s.hardwareWhite.y += 0.001; },
         true},
        {"hardware white beyond 0.0012", [](MonitorSettings& s) { s.hardwareWhite.x += 0.002; },
         false},
        {"green primary", [](MonitorSettings& s) { s.primaries[kGreen].x = 0.29; }, false},
        {"one peak step", [](MonitorSettings& s) { s.whiteRgb = 0x00FFFFFE; }, false},
        {"factor within 0.01", [](MonitorSettings& s) { s.gammaFactor[kRed] = 1.009; }, true},
        {"factor beyond 0.01", [](MonitorSettings& s) { s.gammaFactor[kBlue] = 1.02; }, false},
    };
    for (const auto& c : cases) {
        const MonitorSettings saved = SampleSettings();
        MonitorSettings working = saved;
        c.apply(working);
        EXPECT_EQ(SettingsEqual(working, saved), c.equal) << c.change;
        EXPECT_EQ(SettingsEqual(saved, working), c.equal) << c.change;
    }
}

TEST(SettingsEqual, UnterminatedTextIsReadOnlyWithinItsField) {
    MonitorSettings a = SampleSettings();
    std::memset(a.description, 'a', sizeof a.description);
    std::memset(a.profilePath, 'p', sizeof a.profilePath);
    MonitorSettings b = a;
    EXPECT_TRUE(SettingsEqual(a, b));
    b.profilePath[kProfilePathSize - 1] = 'q';
    EXPECT_FALSE(SettingsEqual(a, b));
}

TEST(PlausibleRanges, BoundsAreIncluded) {
    const double nan = std::nan("");
    const struct {
        const char* what;
        bool result;
        bool expected;
    } cases[] = {
        {"white low corner", WhitePointInRange({0.2788, 0.292}), true},
        {"white high corner", WhitePointInRange({0.3621, 0.3709}), true},
        {"white x too low", WhitePointInRange({0.2787, 0.3}), false},
        {"white y too high", WhitePointInRange({0.3, 0.3710}), false},
        {"red corners", PhosphorInRange(kRed, {0.59, 0.25}) && PhosphorInRange(kRed, {0.77, 0.40}),
         true},
        {"red x too high", PhosphorInRange(kRed, {0.7701, 0.3}), false},
        {"green corners",
         PhosphorInRange(kGreen, {0.05, 0.5}) && PhosphorInRange(kGreen, {0.35, 0.85}), true},
        {"green y too low", PhosphorInRange(kGreen, {0.3, 0.4999}), false},
        {"blue corners", PhosphorInRange(kBlue, {0.11, 0.0}) && PhosphorInRange(kBlue, {0.2, 0.12}),
         true},
        {"blue y too high", PhosphorInRange(kBlue, {0.15, 0.1201}), false},
        {"blue in the red range", PhosphorInRange(kRed, {0.15, 0.06}), false},
        {"unknown channel", PhosphorInRange(static_cast<Channel>(3), {0.15, 0.06}), false},
        {"coordinate ends", CoordinateInRange(0.0) && CoordinateInRange(1.0), true},
        {"coordinate below 0", CoordinateInRange(-0.0001), false},
        {"coordinate above 1", CoordinateInRange(1.0001), false},
        {"sum of exactly 1", ChromaticitySumInRange({0.35, 0.65}), true},
        {"sum above 1", ChromaticityValid({0.6, 0.4001}), false},
        {"user gamma ends", UserGammaInRange(0.75) && UserGammaInRange(3.75), true},
        {"user gamma too high", UserGammaInRange(3.76), false},
        {"profile gamma ends", ProfileGammaInRange(0.75) && ProfileGammaInRange(3.75), true},
        {"profile gamma too low", ProfileGammaInRange(0.74), false},
        {"factor ends", GammaFactorInRange(0.5) && GammaFactorInRange(2.0), true},
        {"factor too high", GammaFactorInRange(2.001), false},
        {"not a number",
         WhitePointInRange({nan, 0.3}) || CoordinateInRange(nan) || UserGammaInRange(nan) ||
             GammaFactorInRange(nan) || ChromaticityValid({nan, 0.1}),
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace tonalis
