// 'curv' tags and the derivation of one gamma value from any curve.
#include "icc/curve_tag.h"

#include <cmath>
#include <cstring>

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "icc/table_gamma_fit.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kCountOffset = 8;
constexpr uint32_t kEntriesOffset = 12;

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
constexpr double kU8Fixed8Step = 0.00390625;       // 1 / 256
constexpr double kTo8Bit = 0.0038910505836575876;  // 1 / 257
constexpr uint32_t kTestedCurveMinimum = 128;

double Clamp(double v, double low, double high) {
    return v < low ? low : (v > high ? high : v);
}

// Sampled curves: y(k) = entry k / 65535 at x(k) = k / (n - 1).
class Samples {
  public:
    Samples(const uint8_t* entries, uint32_t count) : entries_(entries), count_(count) {}
    double X(uint32_t k) const { return double(k) / double(count_ - 1); }
    double Y(uint32_t k) const { return Entry(k) * kEntryScale; }
    uint16_t Entry(uint32_t k) const { return LoadBig16(entries_ + 2 * k); }
    const uint8_t* Entries() const { return entries_; }
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

uint16_t GammaToU8Fixed8(double gamma) {
    const double scaled = gamma * 256.0 + 0.5;
    if (!(scaled > 0.0)) {
        return 0;
    }
    return scaled >= 65535.0 ? 65535 : uint16_t(scaled);
}

}  // namespace

CurveTag::CurveTag(MemoryPool* pool, Tag* after, uint32_t signature, double gamma)
    : ToneCurveTag(pool, after, signature) {
    ReplaceBuffer(kSingleGammaSize);
    SetGamma(gamma);
}

uint32_t CurveTag::EntryCount() const {
    const uint32_t size = Size();
    if (size < kEntriesOffset) {
        throw Exception(kNotAcceptable, Pool());
    }
    const uint32_t count = LoadBig32(Data() + kCountOffset);
    if (count > (size - kEntriesOffset) / 2) {
        throw Exception(kNotAcceptable, Pool());
    }
    return count;
}

const uint8_t* CurveTag::Entries() const {
    return Data() + kEntriesOffset;
}

void CurveTag::GetTable(bool eightBit, void* out) const {
    const uint32_t count = EntryCount();
    const uint8_t* entries = Entries();
    for (uint32_t k = 0; k < count; ++k) {
        const uint16_t v = LoadBig16(entries + 2 * k);
        if (!eightBit) {
            static_cast<uint16_t*>(out)[k] = v;
            continue;
        }
        uint8_t level;
        if (v == 0) {
            level = 0;
        } else if (v == 65535) {
            level = 255;
        } else {
            level = uint8_t(v * kTo8Bit + 0.5);
        }
        static_cast<uint8_t*>(out)[k] = level;
    }
}

void CurveTag::GetGamma(double* gamma, bool* simple) const {
    if (TypeSignature() != Sig("curv")) {
        throw Exception(kNotAcceptable, Pool());
    }
    const Samples s(Entries(), EntryCount());
    *simple = true;
    if (s.Count() == 0) {
        *gamma = 1.0;
        return;
    }
    if (s.Count() == 1) {
        *gamma = s.Entry(0) * kU8Fixed8Step;
        return;
    }
    if (s.Count() == 2) {
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
    *gamma = FitTableGamma(s.Entries(), s.Count());
    *simple = false;
}

void CurveTag::SetGamma(double gamma) {
    uint8_t* data;
    if (!HasOwnData() || Size() < kSingleGammaSize) {
        data = ReplaceBuffer(kSingleGammaSize);
    } else {
        data = MutableData();
        if (LoadBig32(data + kCountOffset) != 1) {
            SetSize(kSingleGammaSize);
        }
    }
    // Whatever type the curve was read as, it is now a one-entry 'curv'.
    StoreBig32(data, Sig("curv"));
    StoreBig32(data + 4, 0);
    StoreBig32(data + kCountOffset, 1);
    StoreBig16(data + kEntriesOffset, GammaToU8Fixed8(gamma));
}

}  // namespace tonalis::icc
