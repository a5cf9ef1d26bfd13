// 'chad' tags and undoing their adaptation.
#include "icc/chromatic_adaptation.h"

#include <cmath>

#include "icc/byte_order.h"
#include "icc/exception.h"

namespace tonalis::icc {

namespace {

constexpr uint32_t kMatrixOffset = 8;
// Below this the matrix is taken as singular: a real adaptation matrix has a
// determinant near 1, and the smallest s15Fixed16 step is 1.5e-5.
constexpr double kSmallestDeterminant = 1e-6;

}  // namespace

void ChromaticAdaptationTag::GetInverse(double inverse[3][3]) const {
    if (TypeSignature() != Sig("sf32") || Size() < kSize) {
        throw Exception(kNotAcceptable, Pool());
    }
    double m[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r][c] = S15Fixed16ToDouble(
                int32_t(LoadBig32(Data() + kMatrixOffset + 4 * uint32_t(3 * r + c))));
        }
    }
    // The adjugate over the determinant.
    const double adjugate[3][3] = {
        {m[1][1] * m[2][2] - m[1][2] * m[2][1], m[0][2] * m[2][1] - m[0][1] * m[2][2],
         m[0][1] * m[1][2] - m[0][2] * m[1][1]},
        {m[1][2] * m[2][0] - m[1][0] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0],
         m[0][2] * m[1][0] - m[0][0] * m[1][2]},
        {m[1][0] * m[2][1] - m[1][1] * m[2][0], m[0][1] * m[2][0] - m[0][0] * m[2][1],
         m[0][0] * m[1][1] - m[0][1] * m[1][0]},
    };
    const double determinant =
        m[0][0] * adjugate[0][0] + m[0][1] * adjugate[1][0] + m[0][2] * adjugate[2][0];
    if (!(std::fabs(determinant) >= kSmallestDeterminant)) {
        throw Exception(kNotAcceptable, Pool());
    }
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            inverse[r][c] = adjugate[r][c] / determinant;
        }
    }
}

void ApplyMatrix(const double m[3][3], double xyz[3]) {
    const double in[3] = {xyz[0], xyz[1], xyz[2]};
    for (int r = 0; r < 3; ++r) {
        xyz[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
    }
}

}  // namespace tonalis::icc
