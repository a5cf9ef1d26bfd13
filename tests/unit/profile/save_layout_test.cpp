// What a save writes: the tags of a new profile, the TRC and 'vcgt' bytes,
// the colorimetric values handed to the library, and what an update of an
// existing profile keeps.
#include <algorithm>
#include <string>

#include "profile/save_monitor_profile.h"
#include "profile/settings_conversion.h"
#include "profile_test_support.h"

namespace tonalis {
namespace {

using namespace profile_testing;

class SaveLayoutTest : public ScratchFolderTest {
  protected:
    Bytes Save(const MonitorSettings& settings, const char* description, bool writeRamp,
               const std::string& source = "") {
        const std::string path = Path("out.icc");
        EXPECT_EQ(
            SaveMonitorProfile(source.c_str(), path.c_str(), description, settings, writeRamp), 0);
        return ReadFile(path);
    }

    static std::string Description(const Bytes& image) {
        LcmsProfile profile(image);
        char text[256] = {};
        cmsGetProfileInfoASCII(profile.get(), cmsInfoDescription, "en", "US", text, sizeof text);
        return text;
    }

    // A profile of another writer: the default settings saved, then an
    // 'A2B0' and a private tag put in beside ours.
    std::string ForeignProfile(const Bytes& extraVcgt = {}) {
        Bytes image = Save(DefaultSettings(), "Foreign", false);
        image = WithTag(image, "A2B0", a2b0_);
        image = WithTag(image, "priv", private_);
        if (!extraVcgt.empty()) {
            image = WithTag(image, "vcgt", extraVcgt);
        }
        const std::string path = Path("foreign.icc");
        WriteFile(path, image);
        return path;
    }

    Bytes a2b0_ = [] {
        Bytes b(64, 0);
        Put32(b, 0, Sig("mft2"));  // a v2 type, kept as raw bytes: its shape does not fit
        for (size_t k = 8; k < b.size(); ++k) b[k] = uint8_t(k * 3);
        return b;
    }();
    Bytes private_ = [] {
        Bytes b(23, 0);
        Put32(b, 0, Sig("data"));
        for (size_t k = 8; k < b.size(); ++k) b[k] = uint8_t(200 - k);
        return b;
    }();
};

TEST_F(SaveLayoutTest, ANewProfileHasExactlyTheCalibrationTagsAndTheTableLast) {
    for (bool writeRamp : {true, false}) {
        const Bytes image = Save(DefaultSettings(), "New", writeRamp);
        std::vector<std::string> names = TagNames(image);
        ASSERT_FALSE(names.empty());
        if (writeRamp) {
            EXPECT_EQ(names.back(), "vcgt");
        }
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = {"bTRC", "bXYZ", "bkpt", "cprt", "desc",
                                             "gTRC", "gXYZ", "rTRC", "rXYZ", "wtpt"};
        if (writeRamp) {
            expected.push_back("vcgt");
            expected.push_back("nwpt");  // the monitor's own white, apart from the shown one
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected) << "writeRamp " << writeRamp;
        EXPECT_EQ(Get32(image, 0), image.size());
        EXPECT_EQ(Get32(image, 8), 0x02100000u) << "version 2.1";
        EXPECT_EQ(Get32(image, 12), Sig("mntr"));
        EXPECT_EQ(Get32(image, 16), Sig("RGB "));
    }
}

TEST_F(SaveLayoutTest, GammaIsStoredAsEightDotEightAndTheTableAsDefined) {
    MonitorSettings settings = DefaultSettings();
    settings.ramp = IdentityRamp();
    settings.ramp.entries[5] = 0xBEEF;  // the table is written as it stands
    const Bytes image = Save(settings, "Bytes", true);
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) {
        const Bytes curve = TagData(image, trc);
        ASSERT_EQ(curve.size(), 14u) << trc;
        EXPECT_EQ(Get32(curve, 0), Sig("curv"));
        EXPECT_EQ(Get32(curve, 8), 1u) << "one entry: a plain gamma";
        EXPECT_EQ(Get16(curve, 12), 563) << "trunc(0.5 + 256 x 2.2)";
    }
    const Bytes vcgt = TagData(image, "vcgt");
    ASSERT_EQ(vcgt.size(), 1584u);
    const uint8_t start[18] = {0x76, 0x63, 0x67, 0x74, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 1, 0, 0, 2};
    EXPECT_TRUE(std::equal(start, start + 18, vcgt.begin()));
    for (int i = 0; i < kRampEntries; ++i) {
        ASSERT_EQ(Get16(vcgt, 18 + 2 * i), settings.ramp.entries[i]) << "entry " << i;
    }
    EXPECT_TRUE(std::all_of(vcgt.begin() + 1554, vcgt.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(SaveLayoutTest, DefaultSettingsGiveThePublishedColorimetry) {
    ProfileInfo info = {};
    ASSERT_TRUE(BuildProfileInfo(DefaultSettings(), false, &info));
    const double white[3] = {0.95018, 1.0, 1.08748};
    const double primaries[3][3] = {
        {0.41235, 0.21262, 0.01933}, {0.35766, 0.71531, 0.11922}, {0.18018, 0.07207, 0.94894}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(info.white[k], white[k], 5e-6);
        EXPECT_EQ(info.black[k], 0.0);
        EXPECT_EQ(info.gamma[k], 2.2);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(info.primaries[c][k], primaries[c][k], 5e-6) << c << "," << k;
        }
    }
}

TEST_F(SaveLayoutTest, SettingsThatCannotBeExpressedAreRefused) {
    struct Case {
        const char* what;
        void (*spoil)(MonitorSettings*);
    } cases[] = {
        {"zero y of a primary", [](MonitorSettings* s) { s->primaries[kBlue].y = 0.0; }},
        {"zero y of the white", [](MonitorSettings* s) { s->hardwareWhite.y = 0.0; }},
        {"two equal primaries",
         [](MonitorSettings* s) { s->primaries[kGreen] = s->primaries[kRed]; }},
        {"not a number", [](MonitorSettings* s) { s->hardwareWhite.x = std::nan(""); }},
        // Profiles that would not load again: a primary with a negative or
        // vanishing share of the white.
        {"a white outside the gamut",
         [](MonitorSettings* s) {
             s->primaries[kGreen] = {0.35, 0.5};
             s->primaries[kBlue] = {0.2, 0.001};
             s->hardwareWhite = {0.2788, 0.292};
         }},
        {"a white halfway between green and blue",
         [](MonitorSettings* s) {
             s->hardwareWhite = {0.225, 0.33};
         }},
    };
    for (const Case& c : cases) {
        MonitorSettings settings = DefaultSettings();
        c.spoil(&settings);
        ProfileInfo info = {};
        EXPECT_FALSE(BuildProfileInfo(settings, true, &info)) << c.what;
        const std::string path = Path(std::string(c.what) + ".icc");
        EXPECT_EQ(SaveMonitorProfile("", path.c_str(), "", settings, true), kNotRgbDisplay)
            << c.what;
        EXPECT_FALSE(FileExists(path)) << c.what;
    }
}

TEST_F(SaveLayoutTest, DescriptionIsWrittenOnlyWhenItChanged) {
    EXPECT_EQ(Description(Save(DefaultSettings(), "", true)), "RGB Display Profile")
        << "an empty description on a new profile gives the default";
    EXPECT_EQ(Description(Save(DefaultSettings(), "Mine", true)), "Mine");

    // The same text leaves the stored tag byte for byte, whatever its form.
    const std::string source = ForeignProfile();
    Bytes image = ReadFile(source);
    const Bytes storedDesc = TagData(image, "desc");
    const Bytes updated = Save(DefaultSettings(), "Foreign", true, source);
    EXPECT_EQ(TagData(updated, "desc"), storedDesc);
    EXPECT_EQ(Description(Save(DefaultSettings(), "Renamed", true, source)), "Renamed");
}

TEST_F(SaveLayoutTest, UpdatingAProfileKeepsTheTagsItDoesNotManage) {
    const std::string source = ForeignProfile();
    MonitorSettings settings = DefaultSettings();
    GetPhosphorPreset(4, settings.primaries);
    const Bytes image = Save(settings, "Updated", true, source);
    EXPECT_EQ(TagData(image, "A2B0"), a2b0_);
    EXPECT_EQ(TagData(image, "priv"), private_);
    EXPECT_EQ(TagNames(image).back(), "vcgt");
    // The table and the monitor's own white.
    EXPECT_EQ(TagNames(image).size(), TagNames(ReadFile(source)).size() + 2);
}

TEST_F(SaveLayoutTest, ATableOfTheSameSizeIsReplacedInPlace) {
    MonitorSettings settings = DefaultSettings();
    settings.ramp = IdentityRamp();
    const std::string source = ForeignProfile(VcgtTable(IdentityRamp(), 3, 256, 2, 1584));
    std::vector<std::string> before = TagNames(ReadFile(source));
    before.push_back("nwpt");
    settings.ramp.entries[300] = 0x1234;
    const Bytes image = Save(settings, "Foreign", true, source);
    EXPECT_EQ(TagNames(image), before) << "same tags in the same order, then the native white";
    EXPECT_EQ(Get16(TagData(image, "vcgt"), 18 + 2 * 300), 0x1234);
}

TEST_F(SaveLayoutTest, ATableOfAnotherSizeOrFormIsReplacedByTheOneTheUserSees) {
    const struct {
        const char* what;
        Bytes vcgt;
    } cases[] = {
        {"a table without padding", VcgtTable(IdentityRamp(), 3, 256, 2, 1554)},
        {"a formula", VcgtFormula()},
        {"an 8-bit table", VcgtTable(IdentityRamp(), 3, 256, 1, 18 + 768)},
    };
    for (const auto& c : cases) {
        const std::string source = ForeignProfile(c.vcgt);
        MonitorSettings settings = DefaultSettings();
        const Bytes image = Save(settings, "Foreign", true, source);
        const std::vector<std::string> names = TagNames(image);
        EXPECT_EQ(std::count(names.begin(), names.end(), "vcgt"), 1) << c.what;
        const Bytes vcgt = TagData(image, "vcgt");
        ASSERT_EQ(vcgt.size(), 1584u) << c.what;
        for (int i = 0; i < kRampEntries; ++i) {
            ASSERT_EQ(Get16(vcgt, 18 + 2 * i), settings.ramp.entries[i]) << c.what << " " << i;
        }
        EXPECT_EQ(TagData(image, "A2B0"), a2b0_) << c.what;
        EXPECT_EQ(TagData(image, "priv"), private_) << c.what;
    }
}

TEST_F(SaveLayoutTest, WithoutTheRampFlagNoTableIsWrittenOrChanged) {
    EXPECT_TRUE(TagData(Save(DefaultSettings(), "", false), "vcgt").empty());
    const Bytes theirs = VcgtTable(IdentityRamp(), 3, 256, 2, 1554);
    const std::string source = ForeignProfile(theirs);
    EXPECT_EQ(TagData(Save(DefaultSettings(), "", false, source), "vcgt"), theirs);
}

}  // namespace
}  // namespace tonalis
