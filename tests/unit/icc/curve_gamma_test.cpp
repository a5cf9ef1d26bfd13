// One gamma from any tone curve: the sRGB test, the power test and the fit.
#include <cmath>
#include <functional>
#include <string>

#include "icc/curve_tag.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

double Srgb(double x) {
    return x > 0.04045 ? std::pow((x + 0.055) / 1.055, 2.4) : x / 12.92;
}

std::vector<uint16_t> Sampled(uint32_t n, const std::function<double(double)>& f) {
    std::vector<uint16_t> entries(n);
    for (uint32_t k = 0; k < n; ++k) {
        const double y = f(double(k) / (n - 1));
        entries[k] = uint16_t(std::lround(std::fmin(std::fmax(y, 0.0), 1.0) * 65535.0));
    }
    return entries;
}

class CurveGammaTest : public IccTest {
  protected:
    // The hooks of this test are installed only in SetUp.
    void SetUp() override {
        IccTest::SetUp();
        pool_ = MemoryPool(MemoryPool::kWithInstalledHooks);
    }
    void TearDown() override {
        pool_.ReleaseAll();
        IccTest::TearDown();
    }
    MemoryPool pool_;
};

TEST_F(CurveGammaTest, GammaFromEveryKindOfCurve) {
    auto power = [](double g) { return [g](double x) { return std::pow(x, g); }; };
    std::vector<uint16_t> middleZero = Sampled(1024, power(2.2));
    middleZero[512] = 0;
    std::vector<uint16_t> lifted = Sampled(256, [](double x) { return 0.05 + 0.95 * x * x; });

    const struct {
        std::string name;
        std::vector<uint16_t> entries;
        double gamma;
        double tolerance;
        bool simple;
    } cases[] = {
        {"no entry", {}, 1.0, 0.0, true},
        {"one entry", {461}, 1.80078125, 0.0, true},
        {"identity pair", {0, 65535}, 1.0, 0.0, true},
        {"short pair", {0, 65000}, 1.0, 0.0, false},
        {"sRGB 256", Sampled(256, Srgb), 2.2, 0.0, true},
        {"sRGB 1024", Sampled(1024, Srgb), 2.2, 0.0, true},
        {"power 1.8", Sampled(256, power(1.8)), 1.8, 0.005, true},
        {"power 2.5", Sampled(1024, power(2.5)), 2.5, 0.005, true},
        // Below 128 entries only the fit applies.
        {"power 1.8 of 100", Sampled(100, power(1.8)), 1.8, 0.01, false},
        // The fit of an sRGB curve lands between 1.8 and 2.4, nowhere exact.
        {"sRGB 127", Sampled(127, Srgb), 2.1, 0.3, false},
        {"middle entry zero", middleZero, 2.2, 0.05, false},
        {"lifted black", lifted, 1.0, 1.0, false},
    };
    for (const auto& c : cases) {
        const Bytes bytes = CurveBytes(c.entries);
        CurveTag* curve = new (&pool_)
            CurveTag(&pool_, nullptr, Sig("rTRC"), bytes.data(), uint32_t(bytes.size()));
        double gamma = -1;
        bool simple = !c.simple;
        curve->GetGamma(&gamma, &simple);
        EXPECT_NEAR(gamma, c.gamma, c.tolerance) << c.name;
        EXPECT_EQ(simple, c.simple) << c.name;
    }
}

TEST_F(CurveGammaTest, PowerTestToleratesOnlyTinyDeviations) {
    // The power test compares within 0.0001 after clamping to [x/16, 16x]:
    // a bump of 20/65535 in one entry is enough to fall through to the fit.
    std::vector<uint16_t> entries = Sampled(256, [](double x) { return std::pow(x, 2.0); });
    double gamma;
    bool simple;
    const Bytes exact = CurveBytes(entries);
    CurveTag* clean =
        new (&pool_) CurveTag(&pool_, nullptr, Sig("rTRC"), exact.data(), uint32_t(exact.size()));
    clean->GetGamma(&gamma, &simple);
    EXPECT_TRUE(simple);

    entries[200] = uint16_t(entries[200] + 20);
    const Bytes bumped = CurveBytes(entries);
    CurveTag* curve =
        new (&pool_) CurveTag(&pool_, nullptr, Sig("rTRC"), bumped.data(), uint32_t(bumped.size()));
    curve->GetGamma(&gamma, &simple);
    EXPECT_FALSE(simple);
    EXPECT_NEAR(gamma, 2.0, 0.01);
}

}  // namespace
}  // namespace tonalis::icc::testing
