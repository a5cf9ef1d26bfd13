// The table fit against the least-squares sum written with std::log: the
// faster logarithms may change the gamma only by rounding, for every entry
// value and for positions past the tabulated ones.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "icc/table_gamma_fit.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

double PlainFit(const std::vector<uint16_t>& entries) {
    double sxx = 0.0;
    double sxy = 0.0;
    for (size_t k = 1; k < entries.size(); ++k) {
        if (entries[k] != 0) {
            const double lx = std::log(double(k) / double(entries.size() - 1));
            sxx += lx * lx;
            sxy += lx * std::log(entries[k] / 65535.0);
        }
    }
    return sxx == 0.0 ? 1.0 : sxy / sxx;
}

double OurFit(const std::vector<uint16_t>& entries) {
    const Bytes bytes = CurveBytes(entries);
    return FitTableGamma(bytes.data() + 12, uint32_t(entries.size()));
}

TEST(TableGammaFitTest, AgreesWithThePlainSumToRounding) {
    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::vector<uint16_t>>> cases;
    // Every 16-bit value once, at every position of a 65536-entry table.
    std::vector<uint16_t> all(65536);
    for (size_t k = 0; k < all.size(); ++k) {
        all[k] = uint16_t(k);
    }
    cases.push_back({"every value", all});
    std::vector<uint16_t> reversed(all.rbegin(), all.rend());
    cases.push_back({"every value reversed", reversed});
    for (uint32_t count : {3u, 128u, 256u, 1024u, 4095u, 4096u, 4097u, 9000u}) {
        for (double gamma : {0.45, 1.0, 1.8, 2.2, 3.5}) {
            std::vector<uint16_t> entries(count);
            for (uint32_t k = 0; k < count; ++k) {
                const double noise = (int(random() % 401) - 200) / 65535.0;
                const double y = std::pow(double(k) / (count - 1), gamma) + noise;
                entries[k] = uint16_t(std::lround(std::fmin(std::fmax(y, 0.0), 1.0) * 65535.0));
            }
            cases.push_back({std::to_string(count) + " at " + std::to_string(gamma), entries});
        }
    }
    cases.push_back({"all zero but one", {0, 0, 0, 7}});
    cases.push_back({"all zero", {0, 0, 0, 0}});
    for (const auto& c : cases) {
        const double plain = PlainFit(c.second);
        EXPECT_NEAR(OurFit(c.second), plain, 1e-13 * std::fabs(plain)) << c.first;
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
