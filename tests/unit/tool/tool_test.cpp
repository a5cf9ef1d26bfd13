// The tonalis command-line tool, run as a separate program: its output in both
// forms, its agreement with the model it is built from, and its handling of
// bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "json_value.h"
#include "model/channel_peaks.h"
#include "model/colorimetry.h"
#include "model/gamma_ramp.h"
#include "model/presets.h"
#include "model/white_point.h"
#include "tool_runner.h"

namespace tonalis {
namespace {

using testing_json::Value;
using testing_tool::RunTool;
using testing_tool::ToolResult;

// Runs the tool with --json and reads its one object; fails the test on any
// other outcome.
Value RunJson(const std::string& arguments) {
    const ToolResult result = RunTool(arguments + " --json");
    EXPECT_EQ(result.status, 0) << arguments << ": " << result.err;
    EXPECT_EQ(result.err, "") << arguments;
    Value value;
    EXPECT_TRUE(testing_json::Parse(result.out, &value)) << arguments << ": " << result.out;
    EXPECT_EQ(value.kind, Value::kObject) << arguments;
    return value;
}

std::vector<int> Entries(const Value& json, const char* name) {
    std::vector<int> entries;
    for (const Value& item : json[name].items) {
        entries.push_back(static_cast<int>(item.number));
    }
    return entries;
}

TEST(ToolRamp, Gamma22GivesTheNominalLevels) {
    const Value json = RunJson("ramp --gamma 2.2");
    const int inputs[] = {0, 1, 2, 16, 64, 128, 192, 254, 255};
    const int levels[] = {0, 2, 4, 25, 80, 143, 201, 254, 255};
    for (const char* name : {"red", "green", "blue"}) {
        const std::vector<int> run = Entries(json, name);
        ASSERT_EQ(run.size(), 256u) << name;
        for (int k = 0; k < 9; ++k) {
            EXPECT_EQ(run[inputs[k]], levels[k] * 256) << name << " input " << inputs[k];
        }
    }
}

TEST(ToolRamp, OptionsReachTheModelPerChannel) {
    const struct {
        const char* arguments;
        double gamma[3];
        double factor[3];
        uint32_t whiteRgb;
    } cases[] = {
        {"ramp --gamma 1.8 --peaks 255,212,255", {1.8, 1.8, 1.8}, {1, 1, 1}, 0x00FFD4FF},
        {"ramp --gamma 1.8,2.2,2.6 --factor 0.5,1.25,2",
         {1.8, 2.2, 2.6},
         {0.5, 1.25, 2},
         kFullPeaks},
        {"ramp --gamma=2.2 --factor=0.84291187739463602",
         {2.2, 2.2, 2.2},
         {2.2 / 2.61, 2.2 / 2.61, 2.2 / 2.61},
         kFullPeaks},
    };
    for (const auto& c : cases) {
        const Value json = RunJson(c.arguments);
        const GammaRamp expected = BuildGammaRamp(c.gamma, c.factor, c.whiteRgb);
        const char* names[] = {"red", "green", "blue"};
        for (int ch = 0; ch < 3; ++ch) {
            const std::vector<int> run = Entries(json, names[ch]);
            ASSERT_EQ(run.size(), 256u);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(run[i], expected.Channel(ch)[i])
                    << c.arguments << " " << names[ch] << " input " << i;
            }
        }
    }
    // The third case is the identity ramp.
    const std::vector<int> identity = Entries(RunJson(cases[2].arguments), "green");
    EXPECT_EQ(identity[77], 77 * 256);
    EXPECT_EQ(Entries(RunJson(cases[0].arguments), "green")[128], 132 * 256);
}

TEST(ToolRamp, TextFormIsATableOfEntries) {
    const ToolResult result = RunTool("ramp --gamma 2.2");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\n  128  36608  36608  36608\n"), std::string::npos);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 257);
}

// The model's peaks for each preset target, with the native gamma given or
// the nominal one.
TEST(ToolPeaks, PresetTargetsOnAnHdtvMonitorAt6500K) {
    const Chromaticity* hdtv = kPhosphorPresets[1].primaries;
    const struct {
        const char* option;
        double factor[3];
    } factors[] = {{"", {1, 1, 1}},
                   {" --factor 0.8426", {0.8426, 0.8426, 0.8426}},
                   {" --factor 0.8,0.9,1.2", {0.8, 0.9, 1.2}}};
    const struct {
        const char* target;
        Chromaticity white;
    } cases[] = {
        {"5000K", {0.3457, 0.3587}}, {"0.3457,0.3587", {0.3457, 0.3587}},
        {"5500K", {0.3325, 0.3476}}, {"6500K", {0.3128, 0.3292}},
        {"7500K", {0.2991, 0.3150}}, {"9300k", {0.2831, 0.2970}},
    };
    for (const auto& f : factors) {
        for (const auto& c : cases) {
            uint32_t expected = 0;
            ASSERT_TRUE(WhitePointToPeaks(c.white, hdtv, {0.3128, 0.3292}, f.factor, &expected));
            const Value json =
                RunJson(std::string("peaks --primaries HDTV --target ") + c.target + f.option);
            EXPECT_EQ(json["red"].number, PeakOf(expected, kRed)) << c.target << f.option;
            EXPECT_EQ(json["green"].number, PeakOf(expected, kGreen)) << c.target << f.option;
            EXPECT_EQ(json["blue"].number, PeakOf(expected, kBlue)) << c.target << f.option;
            EXPECT_EQ(json["whiteRgb"].number, expected) << c.target << f.option;
        }
    }
    const ToolResult text = RunTool("peaks --target 5000K --factor 0.5");
    uint32_t expected = 0;
    const double half[3] = {0.5, 0.5, 0.5};
    ASSERT_TRUE(WhitePointToPeaks({0.3457, 0.3587}, hdtv, {0.3128, 0.3292}, half, &expected));
    char line[32];
    std::snprintf(line, sizeof line, "whiteRgb  0x%08X", expected);
    EXPECT_NE(text.out.find(line), std::string::npos) << text.out;
}

// Exactly the model's doubles: nothing is lost in printing.
TEST(ToolWhitePoint, ReversesPeaksAtFullPrecision) {
    const Chromaticity* trinitron = kPhosphorPresets[5].primaries;
    const double nominal[3] = {1, 1, 1};
    const double mixed[3] = {0.8, 0.9, 1.2};
    Chromaticity expected = {0, 0}, mixedWhite = {0, 0};
    ASSERT_TRUE(PeaksToWhitePoint(0x00A0C0FF, trinitron, {0.2831, 0.2970}, nominal, &expected));
    ASSERT_TRUE(PeaksToWhitePoint(0x00A0C0FF, trinitron, {0.2831, 0.2970}, mixed, &mixedWhite));
    const Value other =
        RunJson("whitepoint --peaks 255,192,160 --primaries Trinitron --hardware-white 9300K");
    EXPECT_EQ(other["x"].number, expected.x);
    EXPECT_EQ(other["y"].number, expected.y);
    const Value factored = RunJson(
        "whitepoint --peaks 255,192,160 --primaries Trinitron --hardware-white 9300K "
        "--factor 0.8,0.9,1.2");
    EXPECT_EQ(factored["x"].number, mixedWhite.x);
    EXPECT_EQ(factored["y"].number, mixedWhite.y);
}

TEST(ToolMatrix, RowsOfTheRgbToXyzMatrix) {
    const double published[3][3] = {
        {0.41235, 0.21262, 0.01933}, {0.35766, 0.71531, 0.11922}, {0.18018, 0.07207, 0.94894}};
    const Value json = RunJson("matrix");
    ASSERT_EQ(json["rows"].items.size(), 3u);
    for (int r = 0; r < 3; ++r) {
        ASSERT_EQ(json["rows"][r].items.size(), 3u);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(json["rows"][r][c].number, published[r][c], 5e-6);
        }
    }
    // The text form: a header and the three rows.
    const std::string text = RunTool("matrix").out;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
    EXPECT_NE(text.find("\nblue      0.180"), std::string::npos) << text;

    const Chromaticity custom[3] = {{0.63, 0.34}, {0.29, 0.6}, {0.15, 0.07}};
    Matrix3 expected;
    ASSERT_EQ(RgbToXyzMatrix(custom, {0.2991, 0.3150}, &expected), 0);
    const Value other = RunJson("matrix --primaries 0.63,0.34,0.29,0.6,0.15,0.07 --white 7500K");
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(other["rows"][r][c].number, expected.m[r][c]);
        }
    }
}

// Every refusal: status 2, nothing on stdout, one line on stderr that names
// the offending value.
TEST(ToolErrors, BadInputIsRefusedWithOneLine) {
    const struct {
        const char* arguments;
        const char* named;
    } cases[] = {
        {"", "no command"},
        {"calibrate", "calibrate"},
        {"ramp", "--gamma"},
        {"ramp --gamma 3.8", "3.8"},
        {"ramp --gamma 0.7,2.2,2.2", "0.7"},
        {"ramp --gamma 2.2,2.2", "2.2,2.2"},
        {"ramp --gamma 2,2x", "2x"},
        {"ramp --gamma nan", "nan"},
        {"ramp --gamma 2.2 --factor 2.01", "2.01"},
        {"ramp --gamma 2.2 --factor 0.49", "0.49"},
        {"ramp --gamma 2.2 --peaks 255,256,0", "256"},
        {"ramp --gamma 2.2 --peaks 255,-1,0", "-1"},
        {"ramp --gamma 2.2 --speed 3", "--speed"},
        {"ramp --gamma 2.2 --gamma 1.8", "--gamma"},
        {"ramp --gamma 2.2 stray", "stray"},
        {"ramp --gamma", "--gamma"},
        {"peaks --target 6000K",
         "\"6000K\": unknown white point; use a preset (5000K, 5500K, "
         "6500K, 7500K or 9300K) or x,y"},
        {"peaks --target 0.4,0.35", "0.4,0.35"},
        {"peaks --target 0.3128", "0.3128"},
        {"peaks --target 1.2,0.3", "1.2"},
        {"peaks --target 0.7,0.5", "0.7"},
        {"peaks --primaries Plasma",
         "\"Plasma\": unknown phosphor set; use a preset (EBU/ITU, "
         "HDTV, NTSC, P22-EBU, SMPTE-C or Trinitron)"},
        {"peaks --primaries 0.64,0.33,0.30,0.60,0.15", "0.64,0.33,0.30,0.60,0.15"},
        {"peaks --primaries 0.64,0.33,0.30,0.60,0.25,0.06", "0.25,0.06"},
        {"peaks --primaries 0.58,0.33,0.30,0.60,0.15,0.06", "0.58,0.33"},
        {"peaks --primaries 0.64,0.33,0.35,0.5,0.2,0.001 --target 0.2788,0.292", "0.2788,0.292"},
        {"whitepoint --primaries 0.64,0.33,0.35,0.5,0.2,0.001 --peaks 1,1,1 --hardware-white "
         "0.2788,0.292",
         "0.2788,0.292"},
        {"whitepoint", "--peaks"},
        {"whitepoint --peaks 0,0,0", "0,0,0"},
        {"matrix --white 0.33", "0.33"},
        {"matrix --json=yes", "--json"},
        {"apply --install-logon --output DUMMY0", "take no other argument"},
    };
    for (const auto& c : cases) {
        const ToolResult result = RunTool(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1)
            << c.arguments << ": " << result.err;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << c.arguments << ": " << result.err;
    }
}

TEST(ToolHelp, DocumentsEverySubcommand) {
    const ToolResult help = RunTool("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"ramp", "peaks", "whitepoint", "matrix"}) {
        EXPECT_NE(help.out.find(std::string("tonalis ") + command + " "), std::string::npos)
            << command;
        const ToolResult page = RunTool(std::string(command) + " --help");
        EXPECT_EQ(page.status, 0) << command;
        EXPECT_NE(page.out.find(std::string("Usage: tonalis ") + command), std::string::npos);
    }
    for (const char* value :
         {"--json", "--factor", "--hardware-white", "WHITE", "SET", "Trinitron"}) {
        EXPECT_NE(help.out.find(value), std::string::npos) << value;
    }
}

// --install-autostart and --remove-autostart in a home of their own: the
// profile the entry names, and what the entry cannot hold.
TEST(ToolKeep, AutostartTakesALoneProfileWithEqualsAndRefusesANewlineWritingNothing) {
    char home[] = "/tmp/tonalis_autostart_XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const std::string entry = std::string(home) + "/autostart/tonalis-keep.desktop";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(home), 0);
    setenv("XDG_CONFIG_HOME", home, 1);
    ASSERT_EQ(RunTool("make -o a=b.icc").status + RunTool("make -o 'new\nline.icc'").status, 0);

    // The file a=b.icc, not output a's b.icc.
    EXPECT_EQ(RunTool("keep a=b.icc --install-autostart").status, 0);
    const auto contents = [&] {
        return (std::stringstream() << std::ifstream(entry).rdbuf()).str();
    };
    const std::string written = contents();
    EXPECT_NE(written.find(" keep \"" + std::string(home) + "/a=b.icc\"\n"), std::string::npos)
        << written;
    const auto refused = RunTool("keep 'new\nline.icc' --install-autostart");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("line.icc\" holds a newline"), std::string::npos) << refused.err;
    EXPECT_EQ(contents(), written);

    EXPECT_EQ(RunTool("keep --remove-autostart").out, "removed " + entry + "\n");
    EXPECT_EQ(RunTool("keep --remove-autostart").out, "there was no " + entry + "\n");
    ASSERT_EQ(chdir(previous), 0);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(std::system(("rm -rf " + std::string(home)).c_str()), 0);
}

}  // namespace
}  // namespace tonalis
