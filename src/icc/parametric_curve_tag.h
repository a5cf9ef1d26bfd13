// 'para' tags: tone curves given as one of the five parametric functions.
#pragma once

#include "icc/tone_curve_tag.h"

namespace tonalis::icc {

// Layout: 'para', 4 reserved bytes, function type (16 bits), 2 reserved
// bytes, then the function's parameters as s15Fixed16: g for type 0; g, a, b
// for 1; g, a, b, c for 2; g, a, b, c, d for 3; g, a, b, c, d, e, f for 4.
class ParametricCurveTag : public ToneCurveTag {
  public:
    // Samples of types 1 to 4 that the gamma rule of a table goes through.
    static constexpr uint32_t kSamples = 256;

    using ToneCurveTag::ToneCurveTag;

    // Type 0 gives its g exactly, as a simple gamma; types 1 to 4 are sampled
    // as a 16-bit table and get a table's gamma (the standard RGB curve 2.2).
    // Throws -2 for another function type or data too short for its
    // parameters.
    void GetGamma(double* gamma, bool* simple) const override;

    // The function at x in [0, 1], clamped to [0, 1]. Throws -2 as GetGamma.
    double Evaluate(double x) const;

  private:
    struct Function {
        uint16_t type;
        double p[7];  // g, a, b, c, d, e, f as far as the type has them
    };
    Function Read() const;
    static double Evaluate(const Function& fn, double x);
};

}  // namespace tonalis::icc
