// 'mluc' texts: which record is taken, which characters are kept, hostile
// record tables, and descriptions and copyrights read through the library.
#include <string>
#include <vector>

#include "icc/multi_localized_text_tag.h"
#include "v4_lcms_profiles.h"

namespace tonalis::icc::testing {
namespace {

class LocalizedTextTest : public PoolTest {
  protected:
    std::string TextOf(const Bytes& bytes) {
        auto* tag = new (&pool_) MultiLocalizedTextTag(&pool_, nullptr, Sig("desc"), bytes.data(),
                                                       uint32_t(bytes.size()));
        char out[kTextBufferSize];
        std::memset(out, 'x', sizeof out);
        tag->GetText(out);
        return std::string(out, strnlen(out, sizeof out - 1)) +
               (out[strnlen(out, sizeof out - 1)] == '\0' ? "" : "<unterminated>");
    }
};

TEST_F(LocalizedTextTest, TheUsEnglishRecordElseTheFirstWithOnlyAsciiKept) {
    const std::u16string longText(300, u'a');
    const struct {
        const char* name;
        std::vector<MlucRecord> records;
        std::string expected;
    } cases[] = {
        {"en-US among others",
         {{"de", "DE", u"Bildschirm"}, {"en", "US", u"Display"}, {"fr", "FR", u"Écran"}},
         "Display"},
        {"no en-US: the first",
         {{"de", "DE", u"Bildschirm"}, {"en", "GB", u"Monitor"}},
         "Bildschirm"},
        {"one record", {{"ja", "JP", u"Panel 27"}}, "Panel 27"},
        {"non-ASCII dropped", {{"en", "US", u"Écran Ω 27″ ✓"}}, "cran  27 "},
        {"up to the first zero", {{"en", "US", std::u16string(u"Left\0Right", 10)}}, "Left"},
        {"at most 255", {{"en", "US", longText}}, std::string(255, 'a')},
        {"no record", {}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextOf(MlucBytes(c.records)), c.expected) << c.name;
    }
}

TEST_F(LocalizedTextTest, RecordsAndStringsAreReadNoFurtherThanTheData) {
    const std::vector<MlucRecord> two = {{"de", "DE", u"Erster"}, {"en", "US", u"Second"}};
    Bytes countTooLarge = MlucBytes(two);
    Put32(countTooLarge, 8, 0xFFFFFFFF);
    Bytes offsetPastEnd = MlucBytes({{"en", "US", u"Text"}});
    Put32(offsetPastEnd, 24, 0xFFFFFFF0);
    Bytes lengthPastEnd = MlucBytes({{"en", "US", u"Text"}});
    Put32(lengthPastEnd, 20, 0x7FFFFFFF);
    Bytes recordSizeTooSmall = MlucBytes({{"en", "US", u"Text"}});
    Put32(recordSizeTooSmall, 12, 8);
    Bytes recordSizeHuge = MlucBytes(two);
    Put32(recordSizeHuge, 12, 0xFFFFFFFF);
    Bytes secondRecordCut = MlucBytes(two);
    secondRecordCut.resize(16 + 12 + 6);  // the first record whole, the second not
    Put32(secondRecordCut, 8, 2);
    const struct {
        const char* name;
        Bytes bytes;
        std::string expected;
    } cases[] = {
        {"record count beyond the table", countTooLarge, "Second"},
        {"string offset past the end", offsetPastEnd, ""},
        {"string length past the end", lengthPastEnd, "Text"},
        {"record size below 12", recordSizeTooSmall, ""},
        {"record size of 4 GiB: only the first fits", recordSizeHuge, "Erster"},
        {"table cut inside the second record", secondRecordCut, ""},
        {"header only", TypeHeader("mluc", 16), ""},
        {"shorter than its header", TypeHeader("mluc", 9), ""},
        {"larger records", MlucBytes(two, 20), "Second"},
    };
    for (const auto& c : cases) {
        // An exact-size copy, so that AddressSanitizer sees any read past it.
        EXPECT_EQ(TextOf(c.bytes), c.expected) << c.name;
    }
}

TEST_F(LocalizedTextTest, DescriptionOfAV4ProfileReadsAsLittleCmsReadsIt) {
    const Xy p22[3] = {{0.625, 0.340}, {0.280, 0.595}, {0.155, 0.070}};
    std::vector<cmsToneCurve*> curves = GammaCurves(2.2);
    const Bytes image = LcmsV4Display(p22, kD65, curves.data());
    IccProfile* profile = nullptr;
    char text[kProfileTextSize] = {};
    ASSERT_EQ(OpenImage(image, &profile, text), 0);
    LcmsHandle lcms(image);
    EXPECT_EQ(std::string(text), lcms.Text(cmsInfoDescription));
    EXPECT_EQ(std::string(text), "Test display v4");
    IccCloseProfile(profile);
}

TEST_F(LocalizedTextTest, HandMadeDescriptionReadsInChineseElseEnglishElseTheFirst) {
    const struct {
        std::vector<MlucRecord> records;
        const char* expected;
    } cases[] = {
        {{{"en", "US", u"Office"}, {"zh", "TW", u"顯示器"}, {"zh", "CN", u"显示器"}}, u8"显示器"},
        {{{"en", "US", u"Office"}, {"zh", "TW", u"顯示器"}}, u8"顯示器"},
        {{{"de", "DE", u"Bildschirm"}, {"en", "GB", u"Office 😀"}}, u8"Office 😀"},
        {{{"de", "DE", u"Bildschirm"}, {"fr", "FR", u"Écran"}}, "Bildschirm"},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags[0].data = MlucBytes(c.records);
        tags[1].data = MlucBytes({{"en", "US", u"Copyright © Someone"}});
        IccProfile* profile = nullptr;
        char text[kProfileTextSize] = {};
        ASSERT_EQ(OpenImage(MakeImage(tags), &profile, text), 0);
        EXPECT_STREQ(text, c.expected);
        IccCloseProfile(profile);
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
