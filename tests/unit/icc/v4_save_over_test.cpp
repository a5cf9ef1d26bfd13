// Saving over a v4 profile: the update writes a version 2.1 profile, with
// every tag of a type v2 knows, the texts kept, no stale 'chad' and no
// profile ID; LittleCMS and our own reader both find the values written.
#include <algorithm>
#include <string>
#include <vector>

#include "v4_lcms_profiles.h"

namespace tonalis::icc::testing {
namespace {

const Xy kP22[3] = {{0.625, 0.340}, {0.280, 0.595}, {0.155, 0.070}};
const Xy k9300K = {0.2848, 0.2932};

// A v4 profile as a measuring tool leaves it: 'para' curves, two of them
// sharing one block, a device maker in 'mluc', a 'meta' dictionary, and an
// 'mAB ' table.
Bytes MeasuredV4Profile() {
    const std::vector<double> srgb = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curves[3] = {LcmsParametric(3, srgb), LcmsParametric(3, srgb),
                               LcmsParametric(0, {2.2})};
    return LcmsV4Display(kP22, k9300K, curves, [](cmsHPROFILE h) {
        cmsLinkTag(h, cmsSigGreenTRCTag, cmsSigRedTRCTag);
        cmsMLU* maker = cmsMLUalloc(nullptr, 1);
        cmsMLUsetASCII(maker, "en", "US", "ACME Displays");
        cmsWriteTag(h, cmsSigDeviceMfgDescTag, maker);
        cmsMLUfree(maker);
        cmsHANDLE dict = cmsDictAlloc(nullptr);
        cmsDictAddEntry(dict, L"prefix", L"CAL_", nullptr, nullptr);
        cmsWriteTag(h, cmsSigMetaTag, dict);
        cmsDictFree(dict);
        cmsToneCurve* identity = cmsBuildGamma(nullptr, 1.0);
        cmsToneCurve* three[3] = {identity, identity, identity};
        cmsPipeline* lut = cmsPipelineAlloc(nullptr, 3, 3);
        cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, three));
        cmsWriteTag(h, cmsSigAToB0Tag, lut);
        cmsPipelineFree(lut);
        cmsFreeToneCurve(identity);
    });
}

std::string TypeOf(const Bytes& image, const char (&signature)[5]) {
    for (const TableEntry& entry : TagTable(image)) {
        if (entry.signature == Sig(signature)) {
            return SigText(Get32(image, entry.offset));
        }
    }
    return "";
}

class SaveOverV4Test : public IccTest {
  protected:
    // The source updated with the record and written.
    Bytes Updated(const Bytes& source, ProfileInfo* record) {
        IccProfile* profile = nullptr;
        EXPECT_EQ(OpenImage(source, &profile), 0);
        if (profile == nullptr) {
            return {};
        }
        EXPECT_EQ(IccUpdateProfile(1, profile, record), 0);
        const Bytes image = Serialise(profile);
        IccCloseProfile(profile);
        return image;
    }
};

TEST_F(SaveOverV4Test, TheSourceReallyIsAV4ProfileOfEveryKindOfTag) {
    const Bytes source = MeasuredV4Profile();
    EXPECT_EQ(Get32(source, 8) >> 24, 4u);
    EXPECT_NE(Get32(source, 84), 0u) << "profile ID";
    for (const char* expected : {"desc:mluc", "cprt:mluc", "rTRC:para", "gTRC:para", "bTRC:para",
                                 "dmnd:mluc", "meta:dict", "A2B0:mAB "}) {
        const std::vector<std::string> found = Version4Types(source);
        EXPECT_NE(std::find(found.begin(), found.end(), expected), found.end()) << expected;
    }
    EXPECT_EQ(TypeOf(source, "chad"), "sf32");
}

TEST_F(SaveOverV4Test, TheResultIsAVersion21ProfileWithOnlyV2Types) {
    char text[kProfileTextSize] = "Calibrated 9300K";
    ProfileInfo record = ValuesRecord(kHdtv, kD65, 2.0, text);
    const Bytes image = Updated(MeasuredV4Profile(), &record);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(Get32(image, 8), 0x02100000u);
    EXPECT_EQ(Version4Types(image), std::vector<std::string>());
    EXPECT_EQ(TypeOf(image, "chad"), "") << "the colorants are Bradford's now";
    for (size_t at = 84; at < 100; ++at) {
        EXPECT_EQ(image[at], 0) << "profile ID byte " << at;
    }
    EXPECT_EQ(TypeOf(image, "desc"), "desc");
    EXPECT_EQ(TypeOf(image, "cprt"), "text");
    EXPECT_EQ(TypeOf(image, "dmnd"), "desc");
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) {
        const Bytes data = [&] {
            for (const TableEntry& e : TagTable(image)) {
                if (e.signature == Sig(*reinterpret_cast<const char(*)[5]>(trc))) {
                    return Bytes(image.begin() + e.offset, image.begin() + e.offset + e.size);
                }
            }
            return Bytes();
        }();
        EXPECT_EQ(data, CurveBytes({512})) << trc;
    }
    EXPECT_EQ(TypeOf(image, "A2B0"), "") << "a v4 table has no place in v2.1";
}

TEST_F(SaveOverV4Test, LittleCmsReadsTheValuesWeWrote) {
    for (bool newText : {true, false}) {
        char text[kProfileTextSize] = "Calibrated";
        ProfileInfo record = ValuesRecord(kHdtv, kD65, 2.2, newText ? text : nullptr);
        record.gamma[1] = 1.8;
        const Bytes image = Updated(MeasuredV4Profile(), &record);
        LcmsHandle lcms(image);
        ASSERT_NE(lcms.get(), nullptr);
        EXPECT_EQ(cmsGetEncodedICCversion(lcms.get()), 0x02100000u);
        EXPECT_TRUE(cmsIsMatrixShaper(lcms.get()));
        EXPECT_FALSE(cmsIsTag(lcms.get(), cmsSigChromaticAdaptationTag));
        EXPECT_EQ(lcms.Text(cmsInfoDescription), newText ? "Calibrated" : "Test display v4");
        EXPECT_EQ(lcms.Text(cmsInfoManufacturer), "ACME Displays");
        EXPECT_EQ(lcms.Text(cmsInfoCopyright), "No copyright, use freely Modified using Tonalis");

        const Xyz white = XyToXyz(kD65);
        const Xyz storedWhite = lcms.ReadXyz(cmsSigMediaWhitePointTag);
        const cmsTagSignature colorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                              cmsSigBlueColorantTag};
        const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(storedWhite[size_t(i)], white[size_t(i)], 1.0 / 65536);
        }
        for (int ch = 0; ch < 3; ++ch) {
            const Xyz expected =
                Adapted({record.primaries[ch][0], record.primaries[ch][1], record.primaries[ch][2]},
                        white, kD50);
            const Xyz stored = lcms.ReadXyz(colorants[ch]);
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(stored[size_t(i)], expected[size_t(i)], 1e-4) << ch;
            }
            const auto* curve =
                static_cast<const cmsToneCurve*>(cmsReadTag(lcms.get(), curves[ch]));
            ASSERT_NE(curve, nullptr);
            EXPECT_NEAR(cmsEstimateGamma(curve, 0.01), record.gamma[ch], 1.0 / 256) << ch;
        }
    }
}

// The Unicode part of a v2 'desc', read from its layout: ASCII count at 8,
// the Unicode count (units with their zero) 4 bytes after the ASCII text,
// the units, and the 70 bytes of the ScriptCode part still inside the tag.
std::u16string UnicodeDescription(const Bytes& image) {
    for (const TableEntry& e : TagTable(image)) {
        if (e.signature != Sig("desc")) {
            continue;
        }
        const size_t unicode = e.offset + 12 + Get32(image, e.offset + 8);
        const uint32_t count = Get32(image, unicode + 4);
        EXPECT_LE(unicode + 8 + 2 * count + 70, size_t(e.offset) + e.size);
        std::u16string text;
        for (uint32_t i = 0; i < count; ++i) {
            text.push_back(char16_t(Get16(image, unicode + 8 + 2 * i)));
        }
        EXPECT_TRUE(count == 0 || text.back() == 0) << "the units end with a zero";
        return count == 0 ? text : text.substr(0, count - 1);
    }
    return u"no desc";
}

TEST_F(SaveOverV4Test, AnUnchangedDescriptionKeepsItsUnicodeText) {
    std::vector<cmsToneCurve*> curves = GammaCurves(2.2);
    const Bytes source = LcmsV4Display(kP22, k9300K, curves.data(), [](cmsHPROFILE h) {
        cmsMLU* text = cmsMLUalloc(nullptr, 2);
        cmsMLUsetWide(text, "en", "US", L"\u00C9cran \u2603 test");
        cmsMLUsetWide(text, "de", "DE", L"Bildschirm");
        cmsWriteTag(h, cmsSigProfileDescriptionTag, text);
        cmsMLUfree(text);
    });
    for (bool changed : {false, true}) {
        char text[kProfileTextSize] = "Calibrated";
        ProfileInfo record = ValuesRecord(kP22, k9300K, 2.2, changed ? text : nullptr);
        const Bytes image = Updated(source, &record);
        EXPECT_EQ(UnicodeDescription(image), changed ? u"" : u"\u00C9cran \u2603 test") << changed;
        // LittleCMS 2.14 shows the ASCII part only.
        LcmsHandle lcms(image);
        ASSERT_NE(lcms.get(), nullptr);
        EXPECT_EQ(lcms.Text(cmsInfoDescription), changed ? "Calibrated" : "cran  test");
    }
}

TEST_F(SaveOverV4Test, OurReaderGetsTheSameCalibrationBack) {
    char text[kProfileTextSize] = "Round trip";
    ProfileInfo record = ValuesRecord(kP22, k9300K, 2.4, text);
    const Bytes image = Updated(MeasuredV4Profile(), &record);
    IccProfile* profile = nullptr;
    char readText[kProfileTextSize] = {};
    ASSERT_EQ(OpenImage(image, &profile, readText), 0);
    EXPECT_STREQ(readText, "Round trip");
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    uint8_t simple = 0;
    ASSERT_EQ(IccExtractInfo(1, profile, &info, &simple), 0);
    EXPECT_EQ(simple, 1);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_NEAR(info.gamma[ch], 2.4, 1.0 / 256);
        const Xy got = XyzToXy(info.primaries[ch]);
        EXPECT_NEAR(got.x, kP22[ch].x, 1e-4) << ch;
        EXPECT_NEAR(got.y, kP22[ch].y, 1e-4) << ch;
    }
    const Xy white = XyzToXy(info.white);
    EXPECT_NEAR(white.x, k9300K.x, 1e-4);
    EXPECT_NEAR(white.y, k9300K.y, 1e-4);
    IccCloseProfile(profile);
}

}  // namespace
}  // namespace tonalis::icc::testing
