// 'para' tags and the gamma of a parametric curve.
#include "icc/parametric_curve_tag.h"

#include <cmath>

#include "icc/byte_order.h"
#include "icc/exception.h"
#include "icc/table_gamma_fit.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kFunctionTypeOffset = 8;
constexpr uint32_t kParametersOffset = 12;
constexpr uint16_t kLastFunctionType = 4;
constexpr uint32_t kParameterCounts[kLastFunctionType + 1] = {1, 3, 4, 5, 7};

// (a x + b)^g, 0 where the base is not positive (pow would give NaN).
double PowerOfLine(double g, double a, double b, double x) {
    const double base = a * x + b;
    return base > 0.0 ? std::pow(base, g) : 0.0;
}

}  // namespace

ParametricCurveTag::Function ParametricCurveTag::Read() const {
    if (TypeSignature() != Sig("para") || Size() < kParametersOffset) {
        throw Exception(kNotAcceptable, Pool());
    }
    Function fn = {};
    fn.type = LoadBig16(Data() + kFunctionTypeOffset);
    if (fn.type > kLastFunctionType) {
        throw Exception(kNotAcceptable, Pool());
    }
    const uint32_t count = kParameterCounts[fn.type];
    if ((Size() - kParametersOffset) / 4 < count) {
        throw Exception(kNotAcceptable, Pool());
    }
    for (uint32_t i = 0; i < count; ++i) {
        fn.p[i] = S15Fixed16ToDouble(int32_t(LoadBig32(Data() + kParametersOffset + 4 * i)));
    }
    return fn;
}

// The thresholds of types 1 and 2 (x >= -b/a) are taken as a x + b >= 0,
// which is the same for a > 0 and needs no division.
double ParametricCurveTag::Evaluate(const Function& fn, double x) {
    const double g = fn.p[0], a = fn.p[1], b = fn.p[2], c = fn.p[3], d = fn.p[4], e = fn.p[5],
                 f = fn.p[6];
    double y;
    switch (fn.type) {
        case 0:
            y = x > 0.0 ? std::pow(x, g) : 0.0;
            break;
        case 1:
            y = PowerOfLine(g, a, b, x);
            break;
        case 2:
            y = PowerOfLine(g, a, b, x) + c;
            break;
        case 3:
            y = x >= d ? PowerOfLine(g, a, b, x) : c * x;
            break;
        default:
            y = x >= d ? PowerOfLine(g, a, b, x) + e : c * x + f;
            break;
    }
    // Written so that NaN becomes 0.
    if (!(y > 0.0)) {
        return 0.0;
    }
    return y < 1.0 ? y : 1.0;
}

double ParametricCurveTag::Evaluate(double x) const {
    return Evaluate(Read(), x);
}

void ParametricCurveTag::GetGamma(double* gamma, bool* simple) const {
    const Function fn = Read();
    if (fn.type == 0) {
        *gamma = fn.p[0];
        *simple = true;
        return;
    }
    // Sampled as a table of kSamples 16-bit entries, so that the curve gets
    // the gamma it would get stored as that table.
    uint8_t entries[2 * kSamples];
    for (uint32_t k = 0; k < kSamples; ++k) {
        const double y = Evaluate(fn, double(k) / double(kSamples - 1));
        StoreBig16(entries + 2 * k, uint16_t(y * 65535.0 + 0.5));
    }
    TableGamma(entries, kSamples, gamma, simple);
}

}  // namespace tonalis::icc
