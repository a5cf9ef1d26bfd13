// Loading settings from a profile file: refusals that leave the record as it
// was, the plausibility bounds, the lookup table in its usable and unusable
// forms, and the reduced reads of description and table.
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"
#include "unit/tool/json_value.h"
#include "unit/tool/tool_runner.h"

namespace tonalis {
namespace {

using namespace profile_testing;

class LoadTest : public ScratchFolderTest {
  protected:
    // A record whose every byte is known, so that any write shows.
    static MonitorSettings Sentinel() {
        MonitorSettings record;
        std::memset(&record, 0xA5, sizeof record);
        return record;
    }

    std::string Saved(const std::string& name, const MonitorSettings& settings,
                      const char* description = "Saved", bool writeRamp = true) {
        const std::string path = Path(name);
        EXPECT_EQ(SaveMonitorProfile("", path.c_str(), description, settings, writeRamp), 0);
        return path;
    }

    std::string Written(const std::string& name, const Bytes& bytes) {
        const std::string path = Path(name);
        WriteFile(path, bytes);
        return path;
    }

    void ExpectRefused(const char* what, const std::string& path, int expected) {
        MonitorSettings record = Sentinel();
        const MonitorSettings before = record;
        EXPECT_EQ(LoadMonitorProfile(path.c_str(), &record), expected) << what;
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << what << ": record changed";
    }
};

TEST_F(LoadTest, FilesThatCannotBeReadOrAreNoRgbMonitorProfile) {
    const Bytes good = ReadFile(Saved("good.icc", DefaultSettings()));
    Bytes cut = good;
    cut.resize(good.size() - 1);
    Bytes tooSmall(100, 0);
    Put32(tooSmall, 0, 100);
    Bytes printer = good;
    Put32(printer, 12, Sig("prtr"));

    MonitorSettings record = Sentinel();
    EXPECT_EQ(LoadMonitorProfile(nullptr, &record), kInternalError);
    EXPECT_EQ(LoadMonitorProfile(Path("good.icc").c_str(), nullptr), kInternalError);
    ExpectRefused("no such file", Path("absent.icc"), kUnreadable);
    ExpectRefused("empty file", Written("empty.icc", {}), kUnreadable);
    ExpectRefused("fewer bytes than announced", Written("cut.icc", cut), kUnreadable);
    ExpectRefused("1048577 bytes announced, four present", Written("huge.icc", {0, 0x10, 0, 1}),
                  kNotRgbDisplay);
    ExpectRefused("less than a header", Written("small.icc", tooSmall), kNotRgbDisplay);
    ExpectRefused("printer class", Written("printer.icc", printer), kNotRgbDisplay);
    ExpectRefused("no bTRC", Written("no-trc.icc", WithoutTag(good, "bTRC")), kNotRgbDisplay);
    // A tag that reaches past the announced size, with the bytes it would
    // read present in the file: refused, not read.
    Bytes beyond = good;
    beyond.resize(good.size() + 4096, 0x5A);
    Put32(beyond, 132 + 12 * 0 + 4, uint32_t(good.size()));
    ExpectRefused("a tag beyond the image", Written("beyond.icc", beyond), kNotRgbDisplay);
}

TEST_F(LoadTest, ValuesOutsideThePlausibleRangesAreRefused) {
    const struct {
        const char* what;
        void (*change)(MonitorSettings*);
        bool accepted;
    } cases[] = {
        // Every gamma a user may set loads again.
        {"gamma 3.75", [](MonitorSettings* s) { s->gamma[kBlue] = 3.75; }, true},
        {"gamma 0.75", [](MonitorSettings* s) { s->gamma[kRed] = 0.75; }, true},
        {"gamma 3.77", [](MonitorSettings* s) { s->gamma[kBlue] = 3.77; }, false},
        {"gamma 0.73", [](MonitorSettings* s) { s->gamma[kGreen] = 0.73; }, false},
        {"white x 0.2787",
         [](MonitorSettings* s) {
             s->hardwareWhite = {0.2787, 0.30};
         },
         false},
        {"white y 0.372",
         [](MonitorSettings* s) {
             s->hardwareWhite = {0.31, 0.372};
         },
         false},
        {"white inside",
         [](MonitorSettings* s) {
             s->hardwareWhite = {0.2789, 0.2921};
         },
         true},
        {"red x 0.58",
         [](MonitorSettings* s) {
             s->primaries[kRed] = {0.58, 0.33};
         },
         false},
        {"green y 0.49",
         [](MonitorSettings* s) {
             s->primaries[kGreen] = {0.30, 0.49};
         },
         false},
        {"blue x 0.21",
         [](MonitorSettings* s) {
             s->primaries[kBlue] = {0.21, 0.06};
         },
         false},
        {"blue y 0.13",
         [](MonitorSettings* s) {
             s->primaries[kBlue] = {0.15, 0.13};
         },
         false},
    };
    for (const auto& c : cases) {
        MonitorSettings settings = DefaultSettings();
        c.change(&settings);
        const std::string path = Saved(std::string(c.what) + ".icc", settings);
        if (c.accepted) {
            MonitorSettings record = DefaultSettings();
            EXPECT_EQ(LoadMonitorProfile(path.c_str(), &record), 0) << c.what;
        } else {
            ExpectRefused(c.what, path, kNotRgbDisplay);
        }
    }
}

// The file moves a value saved on a bound a little; it must load again, and
// come back within 1e-4. Red x 0.77 has no y in range with x + y <= 1, so
// red's right edge is the line x + y = 1; blue y = 0 is refused at entry.
TEST_F(LoadTest, ValuesOnEveryEdgeOfTheRangesLoadBack) {
    constexpr int kWhite = 3;
    const struct {
        int colour;
        Chromaticity value;
    } cases[] = {
        {kWhite, {0.2788, 0.292}},  {kWhite, {0.2788, 0.3709}}, {kWhite, {0.3621, 0.292}},
        {kWhite, {0.3621, 0.3709}}, {kRed, {0.59, 0.25}},       {kRed, {0.59, 0.4}},
        {kRed, {0.75, 0.25}},       {kRed, {0.6, 0.4}},         {kGreen, {0.05, 0.5}},
        {kGreen, {0.05, 0.85}},     {kGreen, {0.35, 0.5}},      {kGreen, {0.35, 0.65}},
        {kGreen, {0.15, 0.85}},     {kBlue, {0.11, 0.0001}},    {kBlue, {0.2, 0.0001}},
        {kBlue, {0.11, 0.12}},      {kBlue, {0.2, 0.12}},       {kBlue, {0.2, 0.06}},
    };
    for (const auto& c : cases) {
        MonitorSettings settings = DefaultSettings();
        Chromaticity* edited =
            c.colour == kWhite ? &settings.hardwareWhite : &settings.primaries[c.colour];
        *edited = c.value;
        const std::string what = std::to_string(c.colour) + " at " + std::to_string(c.value.x) +
                                 "," + std::to_string(c.value.y);
        const std::string path = Saved("edge.icc", settings);
        MonitorSettings loaded = DefaultSettings();
        ASSERT_EQ(LoadMonitorProfile(path.c_str(), &loaded), 0) << what;
        const Chromaticity got =
            c.colour == kWhite ? loaded.hardwareWhite : loaded.primaries[c.colour];
        EXPECT_NEAR(got.x, c.value.x, 1e-4) << what;
        EXPECT_NEAR(got.y, c.value.y, 1e-4) << what;
    }
}

TEST_F(LoadTest, UnusableTablesAreIgnoredAndTheRecordKeepsItsRamp) {
    const Bytes plain = WithoutTag(ReadFile(Saved("plain.icc", DefaultSettings())), "vcgt");
    GammaRamp marked = IdentityRamp();
    marked.entries[1] = 999;
    const struct {
        const char* what;
        Bytes vcgt;
    } cases[] = {
        {"no table at all", {}},
        {"two channels", VcgtTable(marked, 2, 384, 2, 1584)},
        {"cut one byte short", VcgtTable(marked, 3, 256, 2, 1553)},
        {"8-bit, cut one byte short", VcgtTable(marked, 3, 256, 1, 18 + 767)},
        {"too short for a gamma type", Bytes{'v', 'c', 'g', 't', 0, 0, 0, 0}},
        {"an unknown gamma type",
         [&] {
             Bytes b = VcgtTable(marked, 3, 256, 2, 1584);
             Put32(b, 8, 2);
             return b;
         }()},
    };
    for (const auto& c : cases) {
        const Bytes image = c.vcgt.empty() ? plain : WithTag(plain, "vcgt", c.vcgt);
        const std::string path = Written("table.icc", image);
        MonitorSettings record = DefaultSettings();
        record.ramp = IdentityRamp();
        ASSERT_EQ(LoadMonitorProfile(path.c_str(), &record), 0) << c.what;
        const GammaRamp identity = IdentityRamp();
        EXPECT_EQ(std::memcmp(&record.ramp, &identity, sizeof identity), 0) << c.what;
        // The identity ramp: full peaks, and the factor of a monitor whose own
        // gamma is the target.
        EXPECT_EQ(record.whiteRgb, kFullPeaks) << c.what;
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_NEAR(record.gammaFactor[ch], record.gamma[ch] / 2.61, 1e-12) << c.what;
        }
        EXPECT_NEAR(record.adjustedWhite.x, record.hardwareWhite.x, 1e-9) << c.what;
        bool present = true;
        GammaRamp ramp = IdentityRamp();
        EXPECT_EQ(ReadProfileRamp(path.c_str(), &ramp, &present), 0) << c.what;
        EXPECT_FALSE(present) << c.what;
    }
}

// Each table the loader takes is the record's and info's: 16-bit entries
// however padded, the old layout (size field 1, 1584 bytes), 8-bit entries
// padded or not (levels x 257), and a 1024-entry line and a formula at 256.
TEST_F(LoadTest, TablesAreReadAsTheLoaderReadsThem) {
    const Bytes plain = WithoutTag(ReadFile(Saved("plain.icc", DefaultSettings())), "vcgt");
    const double gamma[3] = {2.2, 2.2, 2.2}, factor[3] = {1.0, 1.2, 0.9};
    const GammaRamp ramp = BuildGammaRamp(gamma, factor, 0x009DD4FF);
    GammaRamp levels, straight, formula;
    Bytes eightBit = VcgtTable({}, 3, 256, 1, 1600), line = VcgtTable({}, 3, 1024, 2, 6162);
    for (int i = 0; i < 3 * 1024; ++i) {
        Put16(line, 18 + 2 * i, uint16_t(std::lround(i % 1024 * 65535.0 / 1023)));
    }
    for (int i = 0; i < kRampEntries; ++i) {
        eightBit[18 + i] = uint8_t(ramp.entries[i] >> 8);
        levels.entries[i] = uint16_t((ramp.entries[i] >> 8) * 257);
        straight.entries[i] = uint16_t(i % 256 * 257);
        formula.entries[i] = uint16_t(std::lround(65535 * std::pow(i % 256 / 255.0, 2.2)));
    }
    const struct {
        const char* what;
        Bytes vcgt;
        const GammaRamp& expected;
    } cases[] = {
        {"16-bit", VcgtTable(ramp, 3, 256, 2, 1554), ramp},
        {"16-bit, padded", VcgtTable(ramp, 3, 256, 2, 2000), ramp},
        {"the old layout", VcgtTable(ramp, 3, 256, 1, 1584), ramp},
        {"8-bit, padded", eightBit, levels},
        {"8-bit", Bytes(eightBit.begin(), eightBit.begin() + 18 + 768), levels},
        {"1024 entries", line, straight},
        {"a formula", VcgtFormula(), formula},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Written("table.icc", WithTag(plain, "vcgt", c.vcgt));
        MonitorSettings record = DefaultSettings();
        ASSERT_EQ(LoadMonitorProfile(path.c_str(), &record), 0);
        for (int i = 0; i < kRampEntries; ++i) {
            ASSERT_NEAR(record.ramp.entries[i], c.expected.entries[i], 1) << "entry " << i;
        }
        testing_json::Value info;
        ASSERT_TRUE(testing_json::Parse(testing_tool::RunTool("info --json " + path).out, &info));
        EXPECT_EQ(info["vcgt"].number, 1);
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_EQ(info["peaks"][ch].number, c.expected.Channel(ch)[255] >> 8) << ch;
        }
    }
}

TEST_F(LoadTest, ATableCurveLoadsWithItsEstimatedGamma) {
    Bytes image = ReadFile(Saved("curves.icc", DefaultSettings()));
    Bytes curve(12 + 2 * 256, 0);
    Put32(curve, 0, Sig("curv"));
    Put32(curve, 8, 256);
    for (int i = 0; i < 256; ++i) {
        Put16(curve, 12 + 2 * i, uint16_t(std::lround(65535.0 * std::pow(i / 255.0, 1.9))));
    }
    for (const char* trc : {"rTRC", "gTRC", "bTRC"}) {
        image = WithTag(WithoutTag(image, trc), trc, curve);
    }
    const std::string path = Written("curves.icc", image);
    MonitorSettings record = DefaultSettings();
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &record), 0);
    for (double gamma : record.gamma) {
        EXPECT_NEAR(gamma, 1.9, 0.02);
    }
}

TEST_F(LoadTest, DescriptionAndPathReachTheRecord) {
    // A folder deep enough that the path needs more than the 360 bytes the
    // record keeps.
    std::string folder = folder_;
    while (folder.size() < 400) {
        folder += "/" + std::string(60, 'd');
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    const std::string path = folder + "/long.icc";
    ASSERT_EQ(SaveMonitorProfile("", path.c_str(), "Far away", DefaultSettings(), true), 0);
    MonitorSettings record = Sentinel();
    ASSERT_EQ(LoadMonitorProfile(path.c_str(), &record), 0);
    EXPECT_STREQ(record.description, "Far away");
    EXPECT_EQ(std::string(record.profilePath), path.substr(0, kProfilePathSize - 1));

    // Loading from the record's own path field.
    const std::string near = Saved("near.icc", DefaultSettings(), "Near");
    std::strcpy(record.profilePath, near.c_str());
    ASSERT_EQ(LoadMonitorProfile(record.profilePath, &record), 0);
    EXPECT_STREQ(record.profilePath, near.c_str());
    EXPECT_STREQ(record.description, "Near");
}

TEST_F(LoadTest, DescriptionPreviewChecksTheKindButNotThePlausibility) {
    MonitorSettings steep = DefaultSettings();
    steep.gamma[kRed] = 3.5;
    const std::string path = Saved("steep.icc", steep, "A rather long description");
    char text[256];
    ASSERT_EQ(ReadProfileDescription(path.c_str(), text, sizeof text), 0);
    EXPECT_STREQ(text, "A rather long description");
    char shortText[9];
    std::memset(shortText, 'x', sizeof shortText);
    ASSERT_EQ(ReadProfileDescription(path.c_str(), shortText, sizeof shortText), 0);
    EXPECT_STREQ(shortText, "A rather");
    // The longest description a profile keeps, into a buffer one byte short.
    const std::string longest = Saved("longest.icc", steep, std::string(300, 'd').c_str());
    char cut[255];
    ASSERT_EQ(ReadProfileDescription(longest.c_str(), cut, sizeof cut), 0);
    EXPECT_EQ(std::string(cut), std::string(254, 'd'));

    Bytes printer = ReadFile(path);
    Put32(printer, 12, Sig("prtr"));
    const std::string notMonitor = Written("printer.icc", printer);
    std::strcpy(text, "untouched");
    EXPECT_EQ(ReadProfileDescription(notMonitor.c_str(), text, sizeof text), kNotRgbDisplay);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(ReadProfileDescription(Path("absent.icc").c_str(), text, sizeof text), kUnreadable);
    EXPECT_EQ(ReadProfileDescription(nullptr, text, sizeof text), kInternalError);
    EXPECT_EQ(ReadProfileDescription(path.c_str(), text, 0), kInternalError);
}

}  // namespace
}  // namespace tonalis
