// LittleCMS as an independent reader: the profiles we build must read the
// same in it, and real RGB display profiles from Debian's packages must
// give us the colorants and white that it reads.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "icc/curve_tag.h"
#include "icc/display_profile.h"
#include "icc/xyz_tag.h"
#include "icc_test_support.h"
#include "lcms_reference.h"
#include "table_gamma_rule.h"

namespace tonalis::icc::testing {
namespace {

struct LcmsProfile {
    explicit LcmsProfile(const Bytes& image)
        : handle(cmsOpenProfileFromMem(image.data(), cmsUInt32Number(image.size()))) {}
    ~LcmsProfile() {
        if (handle != nullptr) {
            cmsCloseProfile(handle);
        }
    }
    Xyz ReadXyz(cmsTagSignature tag) const {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(handle, tag));
        return xyz == nullptr ? Xyz{-1, -1, -1} : Xyz{xyz->X, xyz->Y, xyz->Z};
    }
    cmsHPROFILE handle;
};

const cmsTagSignature kLcmsColorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                           cmsSigBlueColorantTag};
const cmsTagSignature kLcmsCurves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
const uint32_t kColorants[3] = {Sig("rXYZ"), Sig("gXYZ"), Sig("bXYZ")};
const uint32_t kCurves[3] = {Sig("rTRC"), Sig("gTRC"), Sig("bTRC")};

Xyz OurXyz(IccProfile* profile, uint32_t signature) {
    Xyz v = {-1, -1, -1};
    if (auto* tag = dynamic_cast<XYZTag*>(profile->FindTag(signature))) {
        tag->GetXYZ(v.data());
    }
    return v;
}

void ExpectNear(const Xyz& a, const double* b, double tolerance, const std::string& what) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(a[size_t(i)], b[i], tolerance) << what << " component " << i;
    }
}

class LcmsCrossCheckTest : public IccTest {
  protected:
    void SetUp() override {
        IccTest::SetUp();
        cmsSetLogErrorHandler([](cmsContext, cmsUInt32Number, const char*) {});
    }

    // Gamma by the rule, written out in the tests, from samples of the curve
    // as LittleCMS reads it: as many as the table has, 1024 for a single
    // gamma.
    double GammaOfLcmsSamples(const LcmsProfile& lcms, int channel, uint32_t count) {
        const auto* curve =
            static_cast<const cmsToneCurve*>(cmsReadTag(lcms.handle, kLcmsCurves[channel]));
        EXPECT_NE(curve, nullptr);
        std::vector<uint16_t> samples(count < 2 ? 1024 : count);
        for (size_t k = 0; k < samples.size(); ++k) {
            samples[k] = cmsEvalToneCurve16(
                curve, cmsUInt16Number(std::lround(k * 65535.0 / double(samples.size() - 1))));
        }
        return GammaByTableRule(samples).gamma;
    }
};

TEST_F(LcmsCrossCheckTest, BuiltAndUpdatedProfilesReadTheSameInLittleCms) {
    const Xy hdtv[3] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
    const Xy p22[3] = {{0.625, 0.340}, {0.280, 0.595}, {0.155, 0.070}};
    const struct {
        const Xy* primaries;
        Xy white;
        double gamma[3];
        const char* text;
    } cases[] = {
        {hdtv, {0.3127, 0.3290}, {2.2, 2.2, 2.2}, "HDTV 6500K"},
        {p22, {0.2848, 0.2932}, {1.8, 2.0, 2.4}, "P22 9300K"},
        {hdtv, {0.3457, 0.3585}, {1.0, 1.5, 3.0}, ""},
    };
    const Bytes fromElsewhere = MakeImage(RgbDisplayTags(CurveBytes({0, 20000, 65535})));
    for (bool update : {false, true}) {
        for (const auto& c : cases) {
            char text[kProfileTextSize];
            std::strcpy(text, c.text);
            ProfileInfo info = ValuesRecord(c.primaries, c.white, 0.0, text);
            std::copy(c.gamma, c.gamma + 3, info.gamma);
            const Xyz white = XyToXyz(c.white);
            IccProfile* profile = nullptr;
            if (update) {
                ASSERT_EQ(OpenImage(fromElsewhere, &profile), 0);
                ASSERT_EQ(IccUpdateProfile(1, profile, &info), 0);
            } else {
                ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);
            }
            const Bytes image = Serialise(profile);
            EXPECT_EQ(IccCloseProfile(profile), 0);

            LcmsProfile lcms(image);
            ASSERT_NE(lcms.handle, nullptr) << c.text;
            EXPECT_EQ(cmsGetDeviceClass(lcms.handle), cmsSigDisplayClass);
            EXPECT_EQ(cmsGetColorSpace(lcms.handle), cmsSigRgbData);
            EXPECT_EQ(cmsGetPCS(lcms.handle), cmsSigXYZData);
            EXPECT_EQ(cmsGetEncodedICCversion(lcms.handle), 0x02100000u);
            EXPECT_TRUE(cmsIsMatrixShaper(lcms.handle));
            char description[256];
            cmsGetProfileInfoASCII(lcms.handle, cmsInfoDescription, "en", "US", description, 256);
            EXPECT_STREQ(description, c.text[0] != '\0' ? c.text : "RGB Display Profile");

            const Xyz storedWhite = lcms.ReadXyz(cmsSigMediaWhitePointTag);
            ExpectNear(storedWhite, white.data(), 1.0 / 65536, "white");
            for (int ch = 0; ch < 3; ++ch) {
                const Xyz adapted =
                    Adapted({info.primaries[ch][0], info.primaries[ch][1], info.primaries[ch][2]},
                            white, kD50);
                ExpectNear(lcms.ReadXyz(kLcmsColorants[ch]), adapted.data(), 1e-4, "colorant");
                const auto* curve =
                    static_cast<const cmsToneCurve*>(cmsReadTag(lcms.handle, kLcmsCurves[ch]));
                ASSERT_NE(curve, nullptr);
                EXPECT_NEAR(cmsEstimateGamma(curve, 0.01), c.gamma[ch], 1.0 / 256) << ch;
            }

            cmsHPROFILE srgb = cmsCreate_sRGBProfile();
            cmsHTRANSFORM transform =
                cmsCreateTransform(lcms.handle, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
            EXPECT_NE(transform, nullptr);
            if (transform != nullptr) {
                cmsDeleteTransform(transform);
            }
            cmsCloseProfile(srgb);
        }
    }
}

std::vector<std::filesystem::path> ProfileFiles() {
    std::vector<std::filesystem::path> files;
    for (const char* dir : {"/usr/share/color/icc", "/usr/share/color/argyll/ref",
                            "/usr/libexec/installed-tests/colord"}) {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(dir, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            const std::string ext = it->path().extension().string();
            if (ext == ".icc" || ext == ".icm" || ext == ".ICM") {
                files.push_back(it->path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsRgbDisplayProfile(const LcmsProfile& lcms) {
    if (cmsGetDeviceClass(lcms.handle) != cmsSigDisplayClass ||
        cmsGetColorSpace(lcms.handle) != cmsSigRgbData || cmsGetPCS(lcms.handle) != cmsSigXYZData) {
        return false;
    }
    for (cmsTagSignature tag :
         {cmsSigProfileDescriptionTag, cmsSigCopyrightTag, cmsSigMediaWhitePointTag}) {
        if (!cmsIsTag(lcms.handle, tag)) {
            return false;
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (!cmsIsTag(lcms.handle, kLcmsColorants[c]) || !cmsIsTag(lcms.handle, kLcmsCurves[c])) {
            return false;
        }
    }
    return true;
}

TEST_F(LcmsCrossCheckTest, RealProfilesReadWithTheSameColorantsAndWhite) {
    int rgbDisplays = 0;
    int extracted = 0;
    int refused = 0;
    for (const auto& path : ProfileFiles()) {
        const Bytes image = ReadFile(path);
        if (image.size() < 132 || image.size() > 1048576 || Get32(image, 0) != image.size()) {
            continue;
        }
        LcmsProfile lcms(image);
        if (lcms.handle == nullptr) {
            continue;
        }
        const std::string name = path.filename().string();
        IccProfile* profile = nullptr;
        const int32_t code = OpenImage(image, &profile);
        if (!IsRgbDisplayProfile(lcms)) {
            EXPECT_EQ(code, -2) << name;
            ++refused;
            continue;
        }
        ++rgbDisplays;
        ASSERT_EQ(code, 0) << name;

        const Xyz white = lcms.ReadXyz(cmsSigMediaWhitePointTag);
        ExpectNear(white, OurXyz(profile, Sig("wtpt")).data(), 1e-12, name + " white");
        std::array<Xyz, 3> colorants;
        bool allCurv = true;
        for (int c = 0; c < 3; ++c) {
            colorants[size_t(c)] = lcms.ReadXyz(kLcmsColorants[c]);
            ExpectNear(colorants[size_t(c)], OurXyz(profile, kColorants[c]).data(), 1e-12,
                       name + " colorant");
            allCurv = allCurv && profile->FindTag(kCurves[c])->TypeSignature() == Sig("curv");
        }

        // Extraction as the applet uses it, for profiles whose curves are
        // 'curv' tables or gammas and that leave the adaptation to be guessed
        // (those with a 'chad' are checked in the v4 tests).
        if (allCurv && !cmsIsTag(lcms.handle, cmsSigChromaticAdaptationTag)) {
            ProfileInfo info = {};
            info.kind = kProfileInfoValues;
            uint8_t simple;
            ASSERT_EQ(IccExtractInfo(1, profile, &info, &simple), 0) << name;
            ++extracted;
            ExpectNear(white, info.white, 1e-12, name + " extracted white");
            const Xyz illuminant = {Get32(image, 68) / 65536.0, Get32(image, 72) / 65536.0,
                                    Get32(image, 76) / 65536.0};
            for (int c = 0; c < 3; ++c) {
                const Xyz a = Adapted(colorants[size_t(c)], illuminant, white);
                Xyz b;
                for (int i = 0; i < 3; ++i) {
                    b[size_t(i)] =
                        std::clamp(colorants[size_t(c)][size_t(i)], 0.0, 1.999969482421875);
                }
                b[0] *= white[0] / illuminant[0];
                b[2] *= white[2] / illuminant[2];
                double nearest = 0;
                for (int i = 0; i < 3; ++i) {
                    nearest =
                        std::max(nearest, std::min(std::fabs(info.primaries[c][i] - a[size_t(i)]),
                                                   std::fabs(info.primaries[c][i] - b[size_t(i)])));
                }
                EXPECT_LT(nearest, 1e-4) << name << " primary " << c;
                const uint32_t count =
                    dynamic_cast<CurveTag*>(profile->FindTag(kCurves[c]))->EntryCount();
                EXPECT_NEAR(info.gamma[c], GammaOfLcmsSamples(lcms, c, count), 0.03)
                    << name << " gamma " << c;
            }
        }
        EXPECT_EQ(IccCloseProfile(profile), 0);
    }
    // The test set-up installs icc-profiles-free, colord-data, colord-tests,
    // argyll-ref and libgs-common.
    EXPECT_GE(rgbDisplays, 30);
    EXPECT_GE(extracted, 15);
    EXPECT_GE(refused, 5);
}

}  // namespace
}  // namespace tonalis::icc::testing
