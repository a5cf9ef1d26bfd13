// 'para' tone curves: each function type evaluated as LittleCMS evaluates
// it, the gamma each type gives, and the curves that profiles must not get
// past extraction.
#include <cmath>
#include <string>
#include <vector>

#include "icc/exception.h"
#include "icc/parametric_curve_tag.h"
#include "table_gamma_rule.h"
#include "v4_lcms_profiles.h"

namespace tonalis::icc::testing {
namespace {

struct FunctionCase {
    std::string name;
    uint16_t type;
    std::vector<double> parameters;
};

// Curves as profiles carry them: a plain gamma, CIE 122-1966, IEC 61966-3,
// the sRGB curve and one with both offsets.
const FunctionCase kFunctions[] = {
    {"type 0 gamma 2.2", 0, {2.2}},
    {"type 1 CIE 122", 1, {2.4, 1.1, -0.1}},
    {"type 2 IEC 61966-3", 2, {2.2, 0.95, 0.05, 0.01}},
    {"type 3 sRGB", 3, {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045}},
    {"type 4 offsets", 4, {2.0, 0.9, 0.1, 0.08, 0.05, 0.002, 0.001}},
};

constexpr uint32_t kSamples = 256;

std::vector<uint16_t> LcmsSamples(const cmsToneCurve* curve, uint32_t count) {
    std::vector<uint16_t> entries(count);
    for (uint32_t k = 0; k < count; ++k) {
        const double y = cmsEvalToneCurveFloat(curve, cmsFloat32Number(double(k) / (count - 1)));
        entries[k] = uint16_t(std::lround(std::fmin(std::fmax(y, 0.0), 1.0) * 65535.0));
    }
    return entries;
}

class ParametricCurveTest : public PoolTest {
  protected:
    ParametricCurveTag* Read(const Bytes& bytes) {
        return new (&pool_)
            ParametricCurveTag(&pool_, nullptr, Sig("rTRC"), bytes.data(), uint32_t(bytes.size()));
    }
};

TEST_F(ParametricCurveTest, EveryFunctionTypeEvaluatesAsLittleCmsDoes) {
    for (const auto& f : kFunctions) {
        ParametricCurveTag* tag = Read(ParaBytes(f.type, f.parameters));
        cmsToneCurve* curve = LcmsParametric(f.type, AsStored(f.parameters));
        ASSERT_NE(curve, nullptr) << f.name;
        for (int i = 0; i <= 64; ++i) {
            const double x = i / 64.0;
            // Ours stays within [0, 1], as a table entry would.
            const double expected =
                std::fmin(std::fmax(cmsEvalToneCurveFloat(curve, cmsFloat32Number(x)), 0.0), 1.0);
            EXPECT_NEAR(tag->Evaluate(x), expected, 2e-6) << f.name << " at " << x;
        }
        cmsFreeToneCurve(curve);
    }
}

// Types 1 to 4 read as the same curve stored as a 256-entry table would: the
// sRGB curve as 2.2.
TEST_F(ParametricCurveTest, TypeZeroIsItsGammaAndTheOthersGetATablesGamma) {
    for (const auto& f : kFunctions) {
        double gamma = 0.0;
        bool simple = false;
        Read(ParaBytes(f.type, f.parameters))->GetGamma(&gamma, &simple);
        if (f.type == 0) {
            EXPECT_EQ(gamma, Fixed(f.parameters[0]) / 65536.0) << f.name;
            EXPECT_TRUE(simple) << f.name;
            continue;
        }
        cmsToneCurve* curve = LcmsParametric(f.type, AsStored(f.parameters));
        const RuleGamma expected = GammaByTableRule(LcmsSamples(curve, kSamples));
        EXPECT_NEAR(gamma, expected.gamma, 1e-4) << f.name;
        EXPECT_EQ(simple, expected.simple) << f.name;
        cmsFreeToneCurve(curve);
    }
}

TEST_F(ParametricCurveTest, ExtractionTakesEachChannelByItsType) {
    const Bytes type0 = ParaBytes(0, {1.8});
    const Bytes type3 = ParaBytes(3, kFunctions[3].parameters);
    const Bytes type4 = ParaBytes(4, kFunctions[4].parameters);
    const Bytes table = CurveBytes({0, 4000, 16000, 40000, 65535});
    const struct {
        const char* name;
        Bytes red, green, blue;
        uint8_t simple;
    } cases[] = {
        {"all type 0", type0, type0, type0, 1},
        {"type 0 beside a one-entry curv", type0, CurveBytes({563}), type0, 1},
        {"the sRGB curve", type0, type3, type0, 1},
        {"one fitted", type0, type4, type0, 0},
        {"para and a table", type3, table, type0, 0},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags[6].data = c.red;
        tags[7].data = c.green;
        tags[8].data = c.blue;
        IccProfile* profile = nullptr;
        ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0) << c.name;
        ProfileInfo info = {};
        info.kind = kProfileInfoValues;
        uint8_t simple = 2;
        ASSERT_EQ(IccExtractInfo(1, profile, &info, &simple), 0) << c.name;
        EXPECT_EQ(simple, c.simple) << c.name;
        const Bytes* curves[3] = {&c.red, &c.green, &c.blue};
        for (int ch = 0; ch < 3; ++ch) {
            if (Get32(*curves[ch], 0) == Sig("para") && Get16(*curves[ch], 8) == 0) {
                EXPECT_EQ(info.gamma[ch], Fixed(1.8) / 65536.0) << c.name << " " << ch;
            } else {
                EXPECT_GT(info.gamma[ch], 1.0) << c.name << " " << ch;
            }
        }
        IccCloseProfile(profile);
    }
}

TEST_F(ParametricCurveTest, CurvesOfNoKnownFormRefuseTheProfileAtExtraction) {
    const struct {
        const char* name;
        Bytes trc;
    } cases[] = {
        {"function type 5", ParaBytes(5, {2.2, 1, 0, 0, 0, 0, 0})},
        {"type 3 missing its threshold", ParaBytes(3, {2.4, 0.9, 0.1, 0.08})},
        {"type 4 missing f", ParaBytes(4, {2.4, 0.9, 0.1, 0.08, 0.04, 0.0})},
        {"no room for the function type", TypeHeader("para", 10)},
        {"an XYZ where a curve should be", XyzBytes(0.5, 0.5, 0.5)},
        {"a table type", TypeHeader("sf32", 16)},
    };
    for (const auto& c : cases) {
        IccProfile* profile = nullptr;
        char text[kProfileTextSize] = {};
        // The description still reads: only the values are unusable.
        ASSERT_EQ(OpenImage(MakeImage(RgbDisplayTags(c.trc)), &profile, text), 0) << c.name;
        EXPECT_STREQ(text, "Test display") << c.name;
        ProfileInfo info = {};
        info.kind = kProfileInfoValues;
        uint8_t simple = 0;
        EXPECT_EQ(IccExtractInfo(1, profile, &info, &simple), -2) << c.name;
        IccCloseProfile(profile);
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
