// tonalis info, make and vcgt run as a separate program: what make writes is
// what info and LittleCMS read, the source's other tags survive, and every
// refusal exits 2 with its string number and leaves the files alone.
#include <gtest/gtest.h>

#include <lcms2.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "json_value.h"
#include "model/channel_peaks.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "model/white_point.h"
#include "tool_runner.h"
#include "unit/profile/profile_test_support.h"

namespace tonalis {
namespace {

using profile_testing::ReadFile;
using profile_testing::TagNames;
using testing_json::Value;
using testing_tool::RunTool;
using testing_tool::ToolResult;

const char kSrgb[] = "/usr/share/color/argyll/ref/sRGB.icm";          // v2, no 'vcgt'
const char kProPhoto[] = "/usr/share/color/argyll/ref/ProPhoto.icm";  // blue outside range
const char kPrinter[] = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

class ProfileCommands : public profile_testing::ScratchFolderTest {
  protected:
    Value Json(const std::string& arguments) {
        const ToolResult result = RunTool(arguments + " --json");
        EXPECT_EQ(result.status, 0) << arguments << ": " << result.err;
        Value value;
        EXPECT_TRUE(testing_json::Parse(result.out, &value)) << arguments << ": " << result.out;
        return value;
    }

    // A refusal: status 2, nothing on stdout, the string number on stderr.
    void ExpectRefused(const std::string& arguments, const std::string& expected) {
        const ToolResult result = RunTool(arguments);
        EXPECT_EQ(result.status, 2) << arguments << ": " << result.err;
        EXPECT_EQ(result.out, "") << arguments;
        EXPECT_NE(result.err.find(expected), std::string::npos)
            << arguments << " said: " << result.err;
    }
};

TEST_F(ProfileCommands, MakeWritesWhatInfoAndLcmsReadBack) {
    const std::string out = Path("made.icc");
    const ToolResult made =
        RunTool("make -o '" + out + "' --gamma 1.8,2.2,2.4 --primaries NTSC --white 9300K" +
                " --adjusted-white 6500K --factor 0.9,1.0,1.1 --description 'Made here'");
    ASSERT_EQ(made.status, 0) << made.err;

    Chromaticity ntsc[3];
    GetPhosphorPreset(2, ntsc);
    const Chromaticity hardware = GetWhitePreset(4);
    uint32_t whiteRgb = 0;
    const double factor[3] = {0.9, 1.0, 1.1};
    ASSERT_TRUE(WhitePointToPeaks(GetWhitePreset(2), ntsc, hardware, factor, &whiteRgb));
    const double gamma[3] = {1.8, 2.2, 2.4};

    const Value info = Json("info '" + out + "'");
    EXPECT_EQ(info["description"].text, "Made here");
    EXPECT_EQ(info["vcgt"].kind, Value::kBool);
    EXPECT_EQ(info["vcgt"].number, 1);
    EXPECT_EQ(uint32_t(info["whiteRgb"].number), whiteRgb);
    const std::string text = RunTool("info '" + out + "'").out;
    const size_t primariesLine = text.find("\nprimaries ");
    ASSERT_NE(primariesLine, std::string::npos) << text;
    Chromaticity shown[3];
    ASSERT_EQ(
        std::sscanf(&text[primariesLine], " primaries red %lf,%lf green %lf,%lf blue %lf,%lf",
                    &shown[0].x, &shown[0].y, &shown[1].x, &shown[1].y, &shown[2].x, &shown[2].y),
        6)
        << text;
    const char* names[3] = {"red", "green", "blue"};
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(info["gamma"][c].number, std::trunc(0.5 + 256 * gamma[c]) / 256);
        EXPECT_NEAR(info["primaries"][names[c]]["x"].number, ntsc[c].x, 1e-4);
        EXPECT_NEAR(info["primaries"][names[c]]["y"].number, ntsc[c].y, 1e-4);
        EXPECT_NEAR(shown[c].x, ntsc[c].x, 1e-4) << "info as text";
        EXPECT_NEAR(shown[c].y, ntsc[c].y, 1e-4) << "info as text";
        EXPECT_EQ(int(info["peaks"][c].number), PeakOf(whiteRgb, Channel(c)));
    }
    EXPECT_NEAR(info["hardwareWhite"]["x"].number, hardware.x, 1e-4);
    EXPECT_NEAR(info["hardwareWhite"]["y"].number, hardware.y, 1e-4);
    EXPECT_NEAR(info["adjustedWhite"]["x"].number, 0.3128, 0.002);
    EXPECT_NEAR(info["adjustedWhite"]["y"].number, 0.3292, 0.002);
    EXPECT_NEAR(info["gammaFactor"][0].number, 0.9 * info["gamma"][0].number / 1.8, 0.02);

    // The table in the file is the one the model computes for those settings,
    // as tonalis vcgt prints it and as LittleCMS reads it.
    const GammaRamp expected = BuildGammaRamp(gamma, factor, whiteRgb);
    const Value table = Json("vcgt '" + out + "'");
    cmsHPROFILE profile = cmsOpenProfileFromFile(out.c_str(), "r");
    ASSERT_NE(profile, nullptr);
    auto curves = static_cast<cmsToneCurve**>(cmsReadTag(profile, cmsSigVcgtTag));
    ASSERT_NE(curves, nullptr);
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(table[names[c]].items.size(), 256u);
        const cmsUInt16Number* lcms = cmsGetToneCurveEstimatedTable(curves[c]);
        for (int i = 0; i < kRampSize; ++i) {
            ASSERT_EQ(int(table[names[c]][i].number), expected.Channel(c)[i]) << c << " " << i;
            ASSERT_EQ(lcms[i], expected.Channel(c)[i]) << c << " " << i;
        }
    }
    cmsCloseProfile(profile);
}

TEST_F(ProfileCommands, MakeFromAProfileKeepsItsOtherTags) {
    const std::string out = Path("updated.icc");
    const ToolResult made = RunTool("make -o '" + out + "' --from " + kSrgb + " --gamma 2.4");
    ASSERT_EQ(made.status, 0) << made.err;
    std::vector<std::string> expected = TagNames(ReadFile(kSrgb));
    expected.push_back("nwpt");
    expected.push_back("vcgt");
    EXPECT_EQ(TagNames(ReadFile(out)), expected);
    expected.erase(expected.end() - 2);

    const Value info = Json("info '" + out + "'");
    EXPECT_EQ(info["description"].text,
              "sRGB IEC61966-2.1 (Equivalent to www.srgb.com 1998 HP profile)");
    EXPECT_EQ(info["gamma"][1].number, std::trunc(0.5 + 256 * 2.4) / 256);
    EXPECT_NEAR(info["primaries"]["green"]["x"].number, 0.30, 1e-4);

    // Updating the file in place, without a table: the table stays, and
    // 'wtpt' is the monitor's own white again.
    const std::vector<uint8_t> before = ReadFile(out);
    const ToolResult again =
        RunTool("make -o '" + out + "' --from '" + out + "' --primaries EBU/ITU --no-vcgt");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(TagNames(ReadFile(out)), expected);
    const Value reread = Json("info '" + out + "'");
    EXPECT_NEAR(reread["primaries"]["green"]["x"].number, 0.29, 1e-4);
    EXPECT_EQ(Json("vcgt '" + out + "'")["red"].items.size(), 256u);
    EXPECT_NE(ReadFile(out), before);
}

TEST_F(ProfileCommands, RefusalsGiveTheStringAndChangeNoFile) {
    const std::string out = Path("kept.icc");
    ASSERT_EQ(RunTool("make -o '" + out + "'").status, 0);
    const std::vector<uint8_t> kept = ReadFile(out);
    const std::string missing = Path("missing.icc");

    ExpectRefused(std::string("info ") + kProPhoto, "(string 3411)");
    ExpectRefused("info '" + missing + "'", "(string 3410)");
    ExpectRefused(std::string("vcgt ") + kPrinter, "(string 3411)");
    ExpectRefused("make -o '" + out + "' --from " + kProPhoto, "(string 3411)");
    ExpectRefused("make -o '" + out + "' --from '" + missing + "'", "(string 3410)");
    ExpectRefused("make -o '" + folder_ + "' --gamma 2.2", "(string 3415)");
    ExpectRefused("make -o '" + out + "' --gamma 3.8", "--gamma");
    ExpectRefused("make -o '" + out + "' --white 0.40,0.35", "--white");
    ExpectRefused("make -o '" + out +
                      "' --primaries 0.64,0.33,0.35,0.5,0.2,0.001 --adjusted-white 0.2788,0.292",
                  "--adjusted-white");
    // A primary with y = 0 has no XYZ: refused where it is typed, in every
    // command that takes primaries.
    const std::string noLuminance =
        " y 0: The phosphor values are out of range, please enter correct values. (string 3436)";
    ExpectRefused("make -o '" + out + "' --primaries 0.64,0.33,0.30,0.60,0.15,0",
                  "blue" + noLuminance);
    ExpectRefused("make -o '" + missing + "' --primaries 0.64,0,0.30,0.60,0.15,0.06",
                  "red" + noLuminance);
    ExpectRefused("matrix --primaries 0.64,0.33,0.30,0,0.15,0.06", "green" + noLuminance);
    ExpectRefused("matrix --primaries 0.64,0.33,0.30,0.60,0.15,0", "blue" + noLuminance);
    // The white of the source and new primaries, each fine alone.
    const std::string edge = Path("edge.icc");
    ASSERT_EQ(RunTool("make -o '" + edge + "' --white 0.2788,0.292").status, 0);
    ExpectRefused(
        "make -o '" + out + "' --from '" + edge + "' --primaries 0.64,0.33,0.35,0.5,0.2,0.001",
        "outside the gamut");
    ExpectRefused("make -o '" + out + "' --description " + std::string(256, 'x'), "--description");
    ExpectRefused("make -o '" + out + "' --description 'Caf\xe9'", "--description");
    ExpectRefused("make -o '" + out + "' --description \"$(printf 'two\\tlines')\"",
                  "--description");
    EXPECT_EQ(ReadFile(out), kept);
    EXPECT_FALSE(access(missing.c_str(), F_OK) == 0);
}

TEST_F(ProfileCommands, OperandsAndOptionsAreChecked) {
    const std::string out = Path("a.icc");
    ASSERT_EQ(RunTool("make -o '" + out + "'").status, 0);
    ExpectRefused("info", "PROFILE is required");
    ExpectRefused("vcgt --csv", "PROFILE is required");
    ExpectRefused("info '" + out + "' '" + out + "'", "unexpected argument");
    ExpectRefused("make --gamma 2.2", "-o OUT is required");
    ExpectRefused("make '" + out + "'", "unexpected argument");
    ExpectRefused("make -o", "-o needs a value");
    ExpectRefused("info '" + out + "' --csv", "unknown option --csv");
}

TEST_F(ProfileCommands, VcgtPrintsTheTableOrSaysThereIsNone) {
    const std::string out = Path("table.icc");
    ASSERT_EQ(RunTool("make -o '" + out + "' --gamma 2.2").status, 0);
    const ToolResult csv = RunTool("vcgt '" + out + "' --csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, 21), "input,red,green,blue\n");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 257);
    // The levels of gamma 2.2 on a nominal monitor: input 128 gives 143.
    EXPECT_NE(csv.out.find("\n128,36608,36608,36608\n"), std::string::npos);

    const ToolResult none = RunTool(std::string("vcgt ") + kSrgb);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "no usable vcgt table\n");
    const Value json = Json(std::string("vcgt ") + kSrgb);
    EXPECT_EQ(json["vcgt"].kind, Value::kBool);
    EXPECT_EQ(json["vcgt"].number, 0);
    EXPECT_EQ(json.members.size(), 1u);
}

// Python's strict reader: the member as ascii() prints it, or nothing when
// the text is not JSON in UTF-8.
std::string ParsedByPython(const std::string& path, const char* key) {
    const std::string command =
        "python3 -c 'import json, sys; print(ascii(json.load(open(sys.argv[1], \"rb\"))"
        "[sys.argv[2]]))' '" +
        path + "' " + key + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    const std::string text = pipe != nullptr ? testing_tool::ReadAll(pipe) : "";
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return text;
}

// Names are bytes in some code page: a byte that is no part of a well-formed
// UTF-8 sequence comes out as the Latin-1 character it would be. Descriptions
// are UTF-8, up to 255 UTF-16 units.
TEST_F(ProfileCommands, JsonOutputParsesWhateverBytesTheTextsHold) {
    const std::string out = Path("d\xe9.icc"), json = Path("out.json");
    const std::string made = RunTool("make -o '" + out +
                                     "' --description 'Caf\xc3\xa9 12\xe2\x82\xac "
                                     "\xf0\x9f\x98\x80 " +
                                     std::string(243, 'x') + "' --json")
                                 .out;
    profile_testing::WriteFile(json, profile_testing::Bytes(made.begin(), made.end()));
    EXPECT_EQ(ParsedByPython(json, "saved"), "'" + folder_ + "/d\\xe9.icc'\n") << made;
    const std::string info = RunTool("info '" + out + "' --json").out;
    profile_testing::WriteFile(json, profile_testing::Bytes(info.begin(), info.end()));
    EXPECT_EQ(ParsedByPython(json, "description"),
              "'Caf\\xe9 12\\u20ac \\U0001f600 " + std::string(243, 'x') + "'\n")
        << info;
}

// What the eye matched, given to make: one point at a half is --factor's
// table; five points on a crushing display make a table that, saved, loaded
// and saved again, writes the same file; points that fall are refused.
TEST_F(ProfileCommands, MakeTakesTheMatchedPoints) {
    const std::string factor = Path("factor.icc");
    const std::string half = Path("half.icc");
    ASSERT_EQ(RunTool("make -o '" + factor + "' --factor 1.21").status, 0);
    const double drive = 255 * std::pow(0.5, 1 / (NominalCrtGamma * 1.21));
    char points[64];
    std::snprintf(points, sizeof points, "0.5:%.17g", drive);
    ASSERT_EQ(RunTool("make -o '" + half + "' --match " + points).status, 0);
    EXPECT_EQ(ReadFile(half), ReadFile(factor));

    // 16-235 into a full-range display: light ((d - 16) / 219)^2.2.
    const std::string first = Path("first.icc");
    const std::string second = Path("second.icc");
    const std::string third = Path("third.icc");
    const char* seen = "0:25.48,0.25:132.62,0.5:175.81,0.75:208.16,1:234.0";
    const ToolResult made = RunTool("make -o '" + first + "' --match " + seen);
    ASSERT_EQ(made.status, 0) << made.err;
    const Value table = Json("vcgt '" + first + "'");
    EXPECT_NEAR(table["green"][128].number / 256, 16 + 219 * 128 / 255.0, 2.0);
    EXPECT_NEAR(table["green"][254].number / 256, 16 + 219 * 254 / 255.0, 2.0);
    ASSERT_EQ(RunTool("make --from '" + first + "' -o '" + second + "'").status, 0);
    ASSERT_EQ(RunTool("make --from '" + second + "' -o '" + third + "'").status, 0);
    EXPECT_EQ(ReadFile(third), ReadFile(second));

    ExpectRefused("make -o '" + third + "' --match 0.25:150,0.5:140", "rise");
    ExpectRefused("make -o '" + third + "' --match-red 0.5:300", "0 to 255");
}

}  // namespace
}  // namespace tonalis
