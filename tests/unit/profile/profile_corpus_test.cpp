// Every ICC profile in five Debian packages, read as the applet reads it (the
// library's extraction, LoadMonitorProfile and `tonalis info --json`) beside
// what LittleCMS computes for the same file; and each profile the applet
// loads, saved over and read back by LittleCMS.
#include <lcms2.h>
#include <lcms2_plugin.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "icc/icc_library.h"
#include "profile/load_monitor_profile.h"
#include "profile/save_monitor_profile.h"
#include "profile_test_support.h"
#include "unit/icc/table_gamma_rule.h"
#include "unit/tool/json_value.h"
#include "unit/tool/tool_runner.h"

namespace tonalis {
namespace {

using namespace profile_testing;

constexpr double kXyTolerance = 0.0005;
constexpr double kGammaTolerance = 0.03;
constexpr uint32_t kParametricSamples = 256;

// The profiles a package installed: its files that carry an ICC header.
std::vector<std::string> PackageProfiles(const std::string& package) {
    std::vector<std::string> files;
    const std::string command = "dpkg-query -L " + package + " 2>/dev/null";
    std::FILE* list = popen(command.c_str(), "r");
    if (list == nullptr) {
        return files;
    }
    char line[1024];
    while (std::fgets(line, sizeof line, list) != nullptr) {
        std::string path(line);
        path.erase(path.find_last_not_of("\r\n") + 1);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr) {
            continue;
        }
        unsigned char header[40] = {};
        const bool icc = std::fread(header, 1, sizeof header, f) == sizeof header &&
                         std::memcmp(header + 36, "acsp", 4) == 0;
        std::fclose(f);
        if (icc) {
            files.push_back(path);
        }
    }
    pclose(list);
    return files;
}

struct Xy {
    double x = 0;
    double y = 0;
};

Xy XyOfXyz(const cmsCIEXYZ& v) {
    const double sum = v.X + v.Y + v.Z;
    return {v.X / sum, v.Y / sum};
}

Xy XyOfArray(const double v[3]) {
    return XyOfXyz({v[0], v[1], v[2]});
}

bool Near(Xy a, Xy b, double tolerance) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

std::vector<uint16_t> LcmsSamples(const cmsToneCurve* curve, size_t count) {
    std::vector<uint16_t> samples(count);
    for (size_t k = 0; k < count; ++k) {
        const double y = cmsEvalToneCurveFloat(curve, cmsFloat32Number(double(k) / (count - 1)));
        samples[k] = uint16_t(std::lround(std::fmin(std::fmax(y, 0.0), 1.0) * 65535.0));
    }
    return samples;
}

uint32_t Big32(const uint8_t* b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// The description a Chinese reader is shown, as LittleCMS picks it: zh-CN
// (else the first zh) when there is a Chinese text, else en-US (else the
// first en, else the first).
std::wstring ChineseReaderText(cmsHPROFILE profile) {
    const auto* texts =
        static_cast<const cmsMLU*>(cmsReadTag(profile, cmsSigProfileDescriptionTag));
    bool chinese = false;
    for (cmsUInt32Number i = 0; texts != nullptr && i < cmsMLUtranslationsCount(texts); ++i) {
        char language[3] = {}, country[3] = {};
        cmsMLUtranslationsCodes(texts, i, language, country);
        chinese = chinese || std::string(language) == "zh";
    }
    wchar_t text[300] = {};
    cmsGetProfileInfo(profile, cmsInfoDescription, chinese ? "zh" : "en", chinese ? "CN" : "US",
                      text, sizeof text);
    return std::wstring(text).substr(0, 255);
}

// UTF-8 as wide characters, through the C library.
std::wstring Wide(const char* utf8) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    wchar_t text[300] = {};
    return std::mbstowcs(text, utf8, 299) == size_t(-1) ? L"?" : text;
}

// What LittleCMS makes of one file.
struct Reference {
    bool rgbDisplay = false;
    bool curvesKnown = true;
    Xy white;
    std::vector<Xy> primaries[3];  // the choices the colorants allow
    double gamma[3] = {};
    std::wstring description;
    bool vcgtTable = false;
    uint16_t vcgt[kRampEntries] = {};
};

bool IsRgbDisplay(cmsHPROFILE h) {
    if (cmsGetDeviceClass(h) != cmsSigDisplayClass || cmsGetColorSpace(h) != cmsSigRgbData ||
        cmsGetPCS(h) != cmsSigXYZData) {
        return false;
    }
    for (cmsTagSignature tag :
         {cmsSigProfileDescriptionTag, cmsSigCopyrightTag, cmsSigMediaWhitePointTag,
          cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag, cmsSigRedTRCTag,
          cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        if (!cmsIsTag(h, tag)) {
            return false;
        }
    }
    return true;
}

const cmsTagSignature kColorants[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                       cmsSigBlueColorantTag};
const cmsTagSignature kCurves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

// The gamma by the rule for LittleCMS's samples of the curve, by its type in
// the file: a 'curv' at its own entries (1024 samples for a single gamma), a
// 'para' of type 0 its gamma, the other 'para' types at 256 samples, as a
// table would have them. False for any other type.
bool ReferenceGamma(cmsHPROFILE h, cmsTagSignature tag, double* gamma) {
    uint8_t raw[12] = {};
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(h, tag));
    if (cmsReadRawTag(h, tag, raw, sizeof raw) < 10 || curve == nullptr) {
        return false;
    }
    const uint32_t type = Big32(raw);
    if (type == Sig("curv")) {
        const uint32_t count = Big32(raw + 8);
        if (count == 0) {
            *gamma = 1.0;
            return true;
        }
        std::vector<uint16_t> samples(count < 2 ? 1024 : count);
        for (size_t k = 0; k < samples.size(); ++k) {
            samples[k] = cmsEvalToneCurve16(
                curve, cmsUInt16Number(std::lround(k * 65535.0 / double(samples.size() - 1))));
        }
        *gamma = icc::testing::GammaByTableRule(samples).gamma;
        return true;
    }
    if (type == Sig("para")) {
        const int function = raw[8] << 8 | raw[9];
        *gamma = function == 0
                     ? cmsGetToneCurveParams(curve)[0]
                     : icc::testing::GammaByTableRule(LcmsSamples(curve, kParametricSamples)).gamma;
        return true;
    }
    return false;
}

void ReadVcgt(cmsHPROFILE h, Reference* r) {
    uint8_t raw[18] = {};
    if (cmsReadRawTag(h, cmsSigVcgtTag, raw, sizeof raw) < sizeof raw) {
        return;
    }
    const uint32_t channels = uint32_t(raw[12]) << 8 | raw[13];
    const uint32_t entries = uint32_t(raw[14]) << 8 | raw[15];
    const auto* const* curves = static_cast<cmsToneCurve* const*>(cmsReadTag(h, cmsSigVcgtTag));
    if (Big32(raw + 8) != 0 || channels != 3 || entries != 256 || curves == nullptr) {
        return;
    }
    r->vcgtTable = true;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < kRampSize; ++i) {
            r->vcgt[c * kRampSize + i] = cmsEvalToneCurve16(curves[c], cmsUInt16Number(i * 257));
        }
    }
}

// White and primaries: through the inverse of 'chad' for v4; for v2 the
// white point, and the colorants either Bradford-adapted back to it or
// scaled in X and Z.
void ReadWhiteAndPrimaries(cmsHPROFILE h, const Bytes& image, Reference* r) {
    const cmsCIEXYZ white = *static_cast<const cmsCIEXYZ*>(cmsReadTag(h, cmsSigMediaWhitePointTag));
    const auto* chad = static_cast<const cmsMAT3*>(cmsReadTag(h, cmsSigChromaticAdaptationTag));
    cmsMAT3 inverse;
    if (chad != nullptr && cmsGetEncodedICCversion(h) >= 0x04000000 &&
        _cmsMAT3inverse(chad, &inverse)) {
        auto undo = [&inverse](const cmsCIEXYZ& v) {
            cmsVEC3 in, out;
            _cmsVEC3init(&in, v.X, v.Y, v.Z);
            _cmsMAT3eval(&out, &inverse, &in);
            return cmsCIEXYZ{out.n[0], out.n[1], out.n[2]};
        };
        r->white = XyOfXyz(undo(white));
        for (int c = 0; c < 3; ++c) {
            r->primaries[c] = {
                XyOfXyz(undo(*static_cast<const cmsCIEXYZ*>(cmsReadTag(h, kColorants[c]))))};
        }
        return;
    }
    r->white = XyOfXyz(white);
    const cmsCIEXYZ illuminant = {int32_t(Get32(image, 68)) / 65536.0,
                                  int32_t(Get32(image, 72)) / 65536.0,
                                  int32_t(Get32(image, 76)) / 65536.0};
    for (int c = 0; c < 3; ++c) {
        const cmsCIEXYZ stored = *static_cast<const cmsCIEXYZ*>(cmsReadTag(h, kColorants[c]));
        cmsCIEXYZ bradford;
        cmsAdaptToIlluminant(&bradford, &illuminant, &white, &stored);
        cmsCIEXYZ scaled = {std::fmin(std::fmax(stored.X, 0.0), 1.999969482421875),
                            std::fmin(std::fmax(stored.Y, 0.0), 1.999969482421875),
                            std::fmin(std::fmax(stored.Z, 0.0), 1.999969482421875)};
        scaled.X *= white.X / illuminant.X;
        scaled.Z *= white.Z / illuminant.Z;
        r->primaries[c] = {XyOfXyz(bradford), XyOfXyz(scaled)};
    }
}

Reference ReadReference(const std::string& path) {
    Reference r;
    const Bytes image = ReadFile(path);
    LcmsProfile lcms(image);
    if (lcms.get() == nullptr || !IsRgbDisplay(lcms.get())) {
        return r;
    }
    r.rgbDisplay = true;
    for (int c = 0; c < 3; ++c) {
        r.curvesKnown = ReferenceGamma(lcms.get(), kCurves[c], &r.gamma[c]) && r.curvesKnown;
    }
    ReadWhiteAndPrimaries(lcms.get(), image, &r);
    r.description = ChineseReaderText(lcms.get());
    ReadVcgt(lcms.get(), &r);
    return r;
}

struct Loaded {
    double gamma[3];
    Xy white;
    Xy primaries[3];
};

// Checks the loaded values against the reference; the name says whose.
void ExpectValues(const Loaded& got, const Reference& r, const std::string& who) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(got.gamma[c], r.gamma[c], kGammaTolerance) << who << " gamma " << c;
        bool matched = false;
        for (Xy choice : r.primaries[c]) {
            matched = matched || Near(got.primaries[c], choice, kXyTolerance);
        }
        EXPECT_TRUE(matched) << who << " primary " << c << ": " << got.primaries[c].x << ","
                             << got.primaries[c].y << " against LittleCMS's " << r.primaries[c][0].x
                             << "," << r.primaries[c][0].y;
    }
    EXPECT_NEAR(got.white.x, r.white.x, kXyTolerance) << who << " white x";
    EXPECT_NEAR(got.white.y, r.white.y, kXyTolerance) << who << " white y";
}

// Whether the values lie in the ranges a monitor may have (all bounds
// included, gammas as a user may set them); the values are the library's
// own, checked above. The file moves a value on a bound by up to 2e-4 (as in
// NTSC-RGB's red, x + y = 1, and EktaSpacePS5's blue, x = 0.11), and no
// profile here lies nearer than that outside a bound.
bool Plausible(const Loaded& v) {
    const double m = 2e-4;
    struct Range {
        double xLow, xHigh, yLow, yHigh;
    };
    const Range primaries[3] = {
        {0.59, 0.77, 0.25, 0.40}, {0.05, 0.35, 0.5, 0.85}, {0.11, 0.2, 0.0, 0.12}};
    const Range white = {0.2788, 0.3621, 0.292, 0.3709};
    auto in = [m](Xy p, const Range& r) {
        return p.x + p.y <= 1.0 + m && p.x >= r.xLow - m && p.x <= r.xHigh + m &&
               p.y >= r.yLow - m && p.y <= r.yHigh + m;
    };
    bool plausible = in(v.white, white);
    for (int c = 0; c < 3; ++c) {
        plausible = plausible && v.gamma[c] >= 0.75 && v.gamma[c] <= 3.75 &&
                    in(v.primaries[c], primaries[c]);
    }
    return plausible;
}

class ProfileCorpusTest : public ScratchFolderTest,
                          public ::testing::WithParamInterface<const char*> {
  protected:
    // The library's extraction; 0 or its code.
    static int32_t Extract(const std::string& path, Loaded* out) {
        const Bytes image = ReadFile(path);
        const AllocatorHooks hooks = DefaultAllocatorHooks();
        EXPECT_EQ(IccLibInit(&hooks), 0);
        ProfileInfo info = {};
        info.kind = kProfileInfoImage;
        info.image = image.data();
        IccProfile* profile = nullptr;
        int32_t code = image.size() >= 132 && Get32(image, 0) <= image.size()
                           ? IccOpenProfile(kIccInterfaceVersion, &info, &profile)
                           : -2;
        if (code == 0) {
            info.kind = kProfileInfoValues;
            uint8_t simple;
            code = IccExtractInfo(kIccInterfaceVersion, profile, &info, &simple);
        }
        if (code == 0) {
            for (int c = 0; c < 3; ++c) {
                out->gamma[c] = info.gamma[c];
                out->primaries[c] = XyOfArray(info.primaries[c]);
            }
            out->white = XyOfArray(info.white);
        }
        IccCloseProfile(profile);
        IccLibShutdown();
        return code;
    }

    static Loaded FromSettings(const MonitorSettings& s) {
        Loaded v;
        for (int c = 0; c < 3; ++c) {
            v.gamma[c] = s.gamma[c];
            v.primaries[c] = {s.primaries[c].x, s.primaries[c].y};
        }
        v.white = {s.hardwareWhite.x, s.hardwareWhite.y};
        return v;
    }

    static Loaded FromJson(const testing_json::Value& json) {
        Loaded v;
        const char* names[3] = {"red", "green", "blue"};
        for (int c = 0; c < 3; ++c) {
            v.gamma[c] = json["gamma"][size_t(c)].number;
            v.primaries[c] = {json["primaries"][names[c]]["x"].number,
                              json["primaries"][names[c]]["y"].number};
        }
        v.white = {json["hardwareWhite"]["x"].number, json["hardwareWhite"]["y"].number};
        return v;
    }

    // Saved over by the applet's save, the result read back by LittleCMS and
    // by the applet's load.
    void CheckSaveOver(const std::string& path, const MonitorSettings& loaded,
                       const std::string& name) {
        const std::string out = Path("saved.icc");
        ASSERT_EQ(SaveMonitorProfile(path.c_str(), out.c_str(), loaded.description, loaded, true),
                  0)
            << name;
        const Bytes image = ReadFile(out);
        for (const TableEntry& e : TagTable(image)) {
            const std::string type(reinterpret_cast<const char*>(&image[e.offset]), 4);
            for (const char* v4 :
                 {"mluc", "para", "mAB ", "mBA ", "mpet", "dict", "clro", "clrt", "cicp"}) {
                EXPECT_NE(type, v4) << name << " saved: " << e.signature;
            }
        }
        LcmsProfile lcms(image);
        ASSERT_NE(lcms.get(), nullptr) << name;
        EXPECT_EQ(cmsGetEncodedICCversion(lcms.get()), 0x02100000u) << name;
        EXPECT_FALSE(cmsIsTag(lcms.get(), cmsSigChromaticAdaptationTag)) << name;
        // The description was not changed: a v4 text keeps its Unicode form too.
        if (ReadFile(path)[8] == 4) {
            const std::wstring wide = ChineseReaderText(LcmsProfile(path).get());
            EXPECT_EQ(Wide(loaded.description), wide) << name;
            Bytes units;
            for (const wchar_t* w = wide.c_str(); *w != 0; ++w) {
                units.insert(units.end(), {uint8_t(*w >> 8), uint8_t(*w)});
            }
            EXPECT_NE(std::search(image.begin(), image.end(), units.begin(), units.end()),
                      image.end())
                << name << ": the Unicode description is lost";
        } else {
            EXPECT_EQ(Wide(loaded.description), ChineseReaderText(lcms.get())) << name;
        }
        // Saved with the table: the white that the table shows.
        const cmsCIEXYZ white = *lcms.Xyz(cmsSigMediaWhitePointTag);
        EXPECT_TRUE(Near(XyOfXyz(white), {loaded.adjustedWhite.x, loaded.adjustedWhite.y}, 1e-4))
            << name;
        for (int c = 0; c < 3; ++c) {
            cmsCIEXYZ primary;
            cmsAdaptToIlluminant(&primary, cmsD50_XYZ(), &white, lcms.Xyz(kColorants[c]));
            EXPECT_TRUE(
                Near(XyOfXyz(primary), {loaded.primaries[c].x, loaded.primaries[c].y}, 1e-4))
                << name << " primary " << c;
            const auto* curve =
                static_cast<const cmsToneCurve*>(cmsReadTag(lcms.get(), kCurves[c]));
            ASSERT_NE(curve, nullptr) << name;
            EXPECT_NEAR(cmsEstimateGamma(curve, 0.01), loaded.gamma[c], 1.0 / 256) << name;
        }
        const auto* const* vcgt =
            static_cast<cmsToneCurve* const*>(cmsReadTag(lcms.get(), cmsSigVcgtTag));
        ASSERT_NE(vcgt, nullptr) << name;
        for (int i = 0; i < kRampEntries; i += 17) {
            EXPECT_EQ(cmsEvalToneCurve16(vcgt[i / kRampSize], cmsUInt16Number(i % kRampSize * 257)),
                      loaded.ramp.entries[i])
                << name << " vcgt " << i;
        }
    }
};

TEST_P(ProfileCorpusTest, LoadsWithTheValuesLittleCmsComputesOrIsRefused) {
    cmsSetLogErrorHandler([](cmsContext, cmsUInt32Number, const char*) {});
    const std::vector<std::string> files = PackageProfiles(GetParam());
    if (files.empty()) {
        GTEST_SKIP() << GetParam() << " is not installed";
    }
    int rgbDisplays = 0;
    std::string implausible;
    for (const std::string& path : files) {
        const std::string name = path.substr(path.find_last_of('/') + 1);
        const Reference r = ReadReference(path);
        rgbDisplays += r.rgbDisplay ? 1 : 0;

        // The library's extraction.
        Loaded extracted;
        const int32_t code = Extract(path, &extracted);
        if (!r.rgbDisplay || !r.curvesKnown) {
            EXPECT_EQ(code, -2) << name;
        } else {
            ASSERT_EQ(code, 0) << name;
            ExpectValues(extracted, r, name + " (extracted)");
        }
        const bool loads = code == 0 && Plausible(extracted);
        if (code == 0 && !loads) {
            implausible += " " + name;
        }

        // The applet's load: the values, or 3411 and the record untouched.
        MonitorSettings settings = DefaultSettings();
        const MonitorSettings before = settings;
        const int loaded = LoadMonitorProfile(path.c_str(), &settings);
        if (loads) {
            ASSERT_EQ(loaded, 0) << name;
            ExpectValues(FromSettings(settings), r, name + " (loaded)");
            if (!r.description.empty()) {
                EXPECT_EQ(Wide(settings.description), r.description) << name;
            }
            const uint16_t* expectedRamp = r.vcgtTable ? r.vcgt : before.ramp.entries;
            EXPECT_EQ(std::memcmp(settings.ramp.entries, expectedRamp, sizeof(GammaRamp)), 0)
                << name << (r.vcgtTable ? " ramp from its vcgt" : " ramp kept");
        } else {
            EXPECT_EQ(loaded, kNotRgbDisplay) << name;
            EXPECT_EQ(std::memcmp(&settings, &before, sizeof settings), 0) << name;
        }

        // The native tool.
        const testing_tool::ToolResult info = testing_tool::RunTool("info --json '" + path + "'");
        if (loads) {
            ASSERT_EQ(info.status, 0) << name << ": " << info.err;
            testing_json::Value json;
            ASSERT_TRUE(testing_json::Parse(info.out, &json)) << name << ": " << info.out;
            ExpectValues(FromJson(json), r, name + " (tonalis info)");
            EXPECT_EQ(json["vcgt"].number == 1, r.vcgtTable) << name;
            CheckSaveOver(path, settings, name);
        } else {
            EXPECT_EQ(info.status, 2) << name;
            EXPECT_EQ(info.out, "") << name;
            EXPECT_NE(info.err.find("(string 3411)"), std::string::npos)
                << name << ": " << info.err;
        }
        if (r.rgbDisplay && r.vcgtTable) {
            const testing_tool::ToolResult table =
                testing_tool::RunTool("vcgt --json '" + path + "'");
            testing_json::Value json;
            ASSERT_TRUE(testing_json::Parse(table.out, &json)) << name << ": " << table.err;
            const char* names[3] = {"red", "green", "blue"};
            for (int i = 0; i < kRampEntries; ++i) {
                ASSERT_EQ(json[names[i / kRampSize]][size_t(i % kRampSize)].number, r.vcgt[i])
                    << name << " vcgt " << i;
            }
        }
    }
    EXPECT_GT(rgbDisplays, 0) << "every package has RGB display profiles";
    std::printf("%s: %zu profiles, %d RGB display; refused for their values:%s\n", GetParam(),
                files.size(), rgbDisplays, implausible.empty() ? " none" : implausible.c_str());
}

INSTANTIATE_TEST_SUITE_P(DebianPackages, ProfileCorpusTest,
                         ::testing::Values("colord-data", "colord-tests", "icc-profiles-free",
                                           "argyll-ref", "libgs-common"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& ch : name) {
                                 ch = std::isalnum((unsigned char)ch) ? ch : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace tonalis
