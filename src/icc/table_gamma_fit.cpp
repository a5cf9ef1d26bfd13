// The least-squares gamma of a sampled curve.
#include "icc/table_gamma_fit.h"

#include <cmath>

namespace tonalis::icc {

namespace {

// Natural logarithms of the integers the fit meets, without a library call
// per sample: the sample positions k from a table made once, and any other
// integer v = 2^e m as e ln 2 + ln c + ln(1 + d), where c = 1 + j / 1024 is m
// cut to its leading bits, |d| < 1/1024 and the series of ln(1 + d) stops
// after d^5 with a remainder below 2e-19. Every value lies within one unit in
// the last place of std::log's, so the fit changes only by rounding.
class IntegerLogs {
  public:
    static constexpr uint32_t kTabulated = 4096;

    IntegerLogs() {
        for (uint32_t k = 1; k < kTabulated; ++k) {
            small_[k] = std::log(double(k));
        }
        for (int j = 0; j <= kSteps; ++j) {
            lnStep_[j] = std::log(1.0 + double(j) / kSteps);
            inverseStep_[j] = double(kSteps) / double(kSteps + j);
        }
    }

    double operator()(uint32_t v) const {
        if (v < kTabulated) {
            return small_[v];
        }
        return Computed(v);
    }

    double Computed(uint32_t v) const {
        const int e = 31 - __builtin_clz(v);
        // m - 1 in units of 2^-32, exactly, split into j and the rest.
        const uint64_t fraction = (uint64_t(v) << (32 - e)) & 0xFFFFFFFFull;
        const int j = int(fraction >> (32 - kStepBits));
        const double rest = double(fraction & ((1ull << (32 - kStepBits)) - 1)) * kFractionUnit;
        const double d = rest * inverseStep_[j];
        const double series = d * (1.0 - d * (0.5 - d * (1.0 / 3 - d * (0.25 - d * 0.2))));
        return e * kLn2 + lnStep_[j] + series;
    }

  private:
    static constexpr int kStepBits = 10;
    static constexpr int kSteps = 1 << kStepBits;
    static constexpr double kFractionUnit = 1.0 / 4294967296.0;  // 2^-32
    static constexpr double kLn2 = 0.6931471805599453094;
    double small_[kTabulated] = {};
    double lnStep_[kSteps + 1];
    double inverseStep_[kSteps + 1];
};

}  // namespace

// ln x(k) = ln k - ln(count - 1) and ln y(k) = ln entry - ln 65535, with the
// logarithms of the constants and of the positions taken once per process.
double FitTableGamma(const uint8_t* entries, uint32_t count) {
    static const IntegerLogs ln;
    const double lastIndexLog = ln(count - 1);
    const double fullScaleLog = ln(65535);
    double sxx = 0.0;
    double sxy = 0.0;
    for (uint32_t k = 1; k < count; ++k) {
        const uint32_t entry = uint32_t(entries[2 * k]) << 8 | entries[2 * k + 1];
        if (entry == 0) {
            continue;
        }
        const double lx = ln(k) - lastIndexLog;
        sxx += lx * lx;
        sxy += lx * (ln(entry) - fullScaleLog);
    }
    return sxx == 0.0 ? 1.0 : sxy / sxx;
}

}  // namespace tonalis::icc
