// The gamma of a sampled curve: the two tests, then the least-squares fit.
#include "icc/table_gamma_fit.h"

#include <cmath>

#include "icc/byte_order.h"

namespace tonalis::icc {

namespace {

constexpr double kSrgbThreshold = 0.03928;
constexpr double kSrgbOffset = 0.055;
constexpr double kSrgbScale = 0.9478672985781991;  // 1 / 1.055
constexpr double kSrgbExponent = 2.4;
constexpr double kSrgbLinearScale = 0.07739938080495357;  // 1 / 12.92
constexpr double kEntryScale = 1.5259021896696422e-5;     // 1 / 65535
constexpr double kTolerance = 0.0001;
constexpr double kMiddleLow = 0.01;
constexpr double kMiddleHigh = 0.99;
constexpr double kClampLow = 0.0625;
constexpr double kClampHigh = 16.0;
constexpr double kSrgbGamma = 2.2;
constexpr uint32_t kTestedCurveMinimum = 128;

double Clamp(double v, double low, double high) {
    return v < low ? low : (v > high ? high : v);
}

// y(k) = entry k / 65535 at x(k) = k / (n - 1).
class Samples {
  public:
    Samples(const uint8_t* entries, uint32_t count) : entries_(entries), count_(count) {}
    double X(uint32_t k) const { return double(k) / double(count_ - 1); }
    double Y(uint32_t k) const { return Entry(k) * kEntryScale; }
    uint16_t Entry(uint32_t k) const { return LoadBig16(entries_ + 2 * k); }
    uint32_t Count() const { return count_; }

  private:
    const uint8_t* entries_;
    uint32_t count_;
};

bool IsStandardRgbCurve(const Samples& s) {
    if (s.Count() < kTestedCurveMinimum) {
        return false;
    }
    for (uint32_t k = 0; k < s.Count(); ++k) {
        const double x = s.X(k);
        const double f = x > kSrgbThreshold
                             ? std::pow((x + kSrgbOffset) * kSrgbScale, kSrgbExponent)
                             : x * kSrgbLinearScale;
        if (std::fabs(s.Y(k) - f) > kTolerance) {
            return false;
        }
    }
    return true;
}

bool IsPowerCurve(const Samples& s, double* gamma) {
    if (s.Count() < kTestedCurveMinimum) {
        return false;
    }
    const uint32_t middle = s.Count() / 2;
    const double yMiddle = s.Y(middle);
    if (yMiddle < kMiddleLow || yMiddle > kMiddleHigh) {
        return false;
    }
    const double estimate = std::log(yMiddle) / std::log(s.X(middle));
    *gamma = estimate;
    for (uint32_t k = 0; k < s.Count(); ++k) {
        const double x = s.X(k);
        const double low = x * kClampLow;
        const double high = x * kClampHigh;
        const double y = Clamp(s.Y(k), low, high);
        const double f = Clamp(std::pow(x, estimate), low, high);
        if (std::fabs(y - f) > kTolerance) {
            return false;
        }
    }
    return true;
}

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

void TableGamma(const uint8_t* entries, uint32_t count, double* gamma, bool* simple) {
    const Samples s(entries, count);
    *simple = true;
    if (count == 2) {
        *gamma = 1.0;
        *simple = s.Entry(0) == 0 && s.Entry(1) == 65535;
        return;
    }
    if (IsStandardRgbCurve(s)) {
        *gamma = kSrgbGamma;
        return;
    }
    if (IsPowerCurve(s, gamma)) {
        return;
    }
    *gamma = FitTableGamma(entries, count);
    *simple = false;
}

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
