// LittleCMS as the independent reader and writer: our profiles open in it
// with the table, colorants and white we meant, and real display profiles
// from Debian packages load with the primaries and white it computes.
#include <glob.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/channel_peaks.h"
#include "model/plausible_ranges.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

const cmsTagSignature kColorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                       cmsSigBlueColorantTag};
const cmsTagSignature kCurves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

class LcmsCrossCheck : public ScratchFolderTest {};

TEST_F(LcmsCrossCheck, OurTableReadsBackThroughLcmsAsTheRamp) {
    MonitorSettings settings = DefaultSettings();
    settings.gammaFactor[kRed] = 0.8;
    settings.whiteRgb = PackPeaks(250, 221, 180);
    settings.ramp = BuildGammaRamp(settings.gamma, settings.gammaFactor, settings.whiteRgb);
    settings.ramp.entries[kRampSize + 3] = 0x0123;  // a low byte, to see 16-bit reading
    const std::string path = Path("ours.icc");
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Ours", settings, true), 0);

    LcmsProfile profile(path);
    ASSERT_NE(profile.get(), nullptr);
    EXPECT_EQ(cmsGetDeviceClass(profile.get()), cmsSigDisplayClass);
    EXPECT_EQ(cmsGetColorSpace(profile.get()), cmsSigRgbData);
    auto curves = static_cast<cmsToneCurve**>(cmsReadTag(profile.get(), cmsSigVcgtTag));
    ASSERT_NE(curves, nullptr);
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(cmsGetToneCurveEstimatedTableEntries(curves[c]), 256u);
        const cmsUInt16Number* table = cmsGetToneCurveEstimatedTable(curves[c]);
        for (int i = 0; i < kRampSize; ++i) {
            ASSERT_EQ(table[i], settings.ramp.Channel(c)[i]) << "channel " << c << " entry " << i;
        }
    }
}

TEST_F(LcmsCrossCheck, ColorantsAndWhiteAreWhatLcmsBuildsFromTheSameSettings) {
    for (int set = 0; set < kPhosphorPresetCount; ++set) {
        for (int w = 0; w < kWhitePresetCount; ++w) {
            MonitorSettings settings = DefaultSettings();
            GetPhosphorPreset(set, settings.primaries);
            settings.hardwareWhite = GetWhitePreset(w);
            settings.gamma[kGreen] = 1.8;
            const std::string path = Path("ours.icc");
            ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "", settings, false), 0);

            // LittleCMS's own RGB profile for the same monitor: colorants
            // adapted to D50 with its Bradford transform.
            const cmsCIExyY white = {settings.hardwareWhite.x, settings.hardwareWhite.y, 1.0};
            cmsCIExyYTRIPLE primaries;
            cmsCIExyY* p[3] = {&primaries.Red, &primaries.Green, &primaries.Blue};
            for (int c = 0; c < 3; ++c) {
                *p[c] = {settings.primaries[c].x, settings.primaries[c].y, 1.0};
            }
            cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
            cmsToneCurve* curves[3] = {gamma, gamma, gamma};
            cmsHPROFILE reference = cmsCreateRGBProfile(&white, &primaries, curves);
            cmsFreeToneCurve(gamma);
            ASSERT_NE(reference, nullptr);

            LcmsProfile ours(path);
            ASSERT_NE(ours.get(), nullptr);
            const std::string where = "set " + std::to_string(set) + " white " + std::to_string(w);
            for (int c = 0; c < 3; ++c) {
                const cmsCIEXYZ* expected =
                    static_cast<const cmsCIEXYZ*>(cmsReadTag(reference, kColorants[c]));
                const cmsCIEXYZ* got = ours.Xyz(kColorants[c]);
                ASSERT_NE(got, nullptr);
                EXPECT_NEAR(got->X, expected->X, 6e-5) << where << " colorant " << c;
                EXPECT_NEAR(got->Y, expected->Y, 6e-5) << where << " colorant " << c;
                EXPECT_NEAR(got->Z, expected->Z, 6e-5) << where << " colorant " << c;
            }
            cmsCloseProfile(reference);

            cmsCIEXYZ whiteXyz;
            cmsxyY2XYZ(&whiteXyz, &white);
            const cmsCIEXYZ* media = ours.Xyz(cmsSigMediaWhitePointTag);
            ASSERT_NE(media, nullptr);
            EXPECT_NEAR(media->X, whiteXyz.X, 2e-5) << where;
            EXPECT_NEAR(media->Y, whiteXyz.Y, 2e-5) << where;
            EXPECT_NEAR(media->Z, whiteXyz.Z, 2e-5) << where;
            const cmsToneCurve* green =
                static_cast<const cmsToneCurve*>(cmsReadTag(ours.get(), kCurves[kGreen]));
            ASSERT_NE(green, nullptr);
            EXPECT_NEAR(cmsEstimateGamma(green, 0.001), 1.8, 0.005) << where;
        }
    }
}

// The RGB monitor profiles of the colour packages, v2 and v3 only.
std::vector<std::string> PackagedDisplayProfiles() {
    std::vector<std::string> found;
    for (const char* pattern :
         {"/usr/share/color/icc/*.ic[cm]", "/usr/share/color/icc/*/*.ic[cm]",
          "/usr/share/color/argyll/ref/*.ic[cm]", "/usr/libexec/installed-tests/colord/*.icc"}) {
        glob_t matches = {};
        if (glob(pattern, 0, nullptr, &matches) == 0) {
            for (size_t i = 0; i < matches.gl_pathc; ++i) {
                const Bytes head = ReadFile(matches.gl_pathv[i]);
                if (head.size() >= 132 && head[8] <= 3 && Get32(head, 12) == Sig("mntr") &&
                    Get32(head, 16) == Sig("RGB ")) {
                    found.push_back(matches.gl_pathv[i]);
                }
            }
        }
        globfree(&matches);
    }
    return found;
}

struct Reference {
    Chromaticity white;
    Chromaticity primaries[3];
    double gamma[3];
};

// White from 'wtpt'; primaries adapted back from the PCS illuminant to that
// white with LittleCMS's Bradford transform.
bool ReferenceValues(const std::string& path, Reference* out) {
    LcmsProfile profile(path);
    if (profile.get() == nullptr) {
        return false;
    }
    const cmsCIEXYZ* white = profile.Xyz(cmsSigMediaWhitePointTag);
    if (white == nullptr) {
        return false;
    }
    const cmsCIExyY whiteXy = XyOf(*white);
    out->white = {whiteXy.x, whiteXy.y};
    for (int c = 0; c < 3; ++c) {
        const cmsCIEXYZ* colorant = profile.Xyz(kColorants[c]);
        const cmsToneCurve* curve =
            static_cast<const cmsToneCurve*>(cmsReadTag(profile.get(), kCurves[c]));
        if (colorant == nullptr || curve == nullptr) {
            return false;
        }
        cmsCIEXYZ adapted;
        if (!cmsAdaptToIlluminant(&adapted, cmsD50_XYZ(), white, colorant)) {
            return false;
        }
        const cmsCIExyY xy = XyOf(adapted);
        out->primaries[c] = {xy.x, xy.y};
        // The mean of log y / log x over the curve, however far from a power.
        out->gamma[c] = cmsEstimateGamma(curve, 1e6);
    }
    return true;
}

enum class Expectation { kAccepted, kRefused, kBorderline };

// Whether the values are clearly inside or clearly outside the ranges a
// monitor may have. The two gamma estimators differ on curves far from a
// power (log curves by half a unit), so gammas count as clear only well
// inside their range.
Expectation Expect(const Reference& r) {
    bool inside = true;
    bool clearly = true;
    auto check = [&](double v, ValueRange range, double margin) {
        const bool in = v >= range.low && v <= range.high;
        inside = inside && in;
        if (std::fabs(v - range.low) < margin || std::fabs(v - range.high) < margin) {
            clearly = false;
        }
    };
    for (int c = 0; c < 3; ++c) {
        check(r.gamma[c], kProfileGammaRange, 0.6);
        check(r.primaries[c].x, kPhosphorRanges[c].x, 0.001);
        check(r.primaries[c].y, kPhosphorRanges[c].y, 0.001);
    }
    check(r.white.x, kWhitePointRange.x, 0.001);
    check(r.white.y, kWhitePointRange.y, 0.001);
    if (!inside) {
        return Expectation::kRefused;  // any value out is enough
    }
    return clearly ? Expectation::kAccepted : Expectation::kBorderline;
}

TEST(LcmsRealProfiles, LoadWithThePrimariesAndWhiteLcmsComputes) {
    const std::vector<std::string> files = PackagedDisplayProfiles();
    ASSERT_GE(files.size(), 10u) << "the colour packages are installed";
    int accepted = 0;
    int refused = 0;
    for (const std::string& file : files) {
        Reference reference;
        if (!ReferenceValues(file, &reference)) {
            continue;  // not a matrix/TRC profile by LittleCMS's reading either
        }
        const Expectation expectation = Expect(reference);
        MonitorSettings record = DefaultSettings();
        const int result = LoadMonitorProfile(file.c_str(), &record);
        if (expectation == Expectation::kRefused) {
            EXPECT_EQ(result, kNotRgbDisplay) << file;
            ++refused;
            continue;
        }
        if (expectation == Expectation::kBorderline) {
            continue;
        }
        ASSERT_EQ(result, 0) << file;
        ++accepted;
        EXPECT_NEAR(record.hardwareWhite.x, reference.white.x, 1e-6) << file;
        EXPECT_NEAR(record.hardwareWhite.y, reference.white.y, 1e-6) << file;
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(record.primaries[c].x, reference.primaries[c].x, 2e-4)
                << file << " primary " << c;
            EXPECT_NEAR(record.primaries[c].y, reference.primaries[c].y, 2e-4)
                << file << " primary " << c;
        }
        EXPECT_STREQ(record.profilePath, file.c_str());
        EXPECT_NE(record.description[0], '\0') << file;
    }
    EXPECT_GE(accepted, 5);
    EXPECT_GE(refused, 2);
}

}  // namespace
}  // namespace tonalis
