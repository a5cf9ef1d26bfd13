// Chromaticity, tristimulus and matrix arithmetic in 64-bit floating point.
#include "model/colorimetry.h"

#include <cmath>

namespace tonalis {

Tristimulus XyToXyz(Chromaticity c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

bool CheckedXyToXyz(Chromaticity c, Tristimulus* out) {
    if (c.y == 0.0) {
        return false;
    }
    *out = XyToXyz(c);
    return true;
}

int XyzToXy(const Tristimulus& t, Chromaticity* out) {
    const double sum = t.X + t.Y + t.Z;
    if (sum == 0.0) {
        return kUnusableValue;
    }
    *out = {t.X / sum, t.Y / sum};
    return 0;
}

bool CheckedXyzToXy(const Tristimulus& t, Chromaticity* out) {
    return XyzToXy(t, out) == 0;
}

bool InvertMatrix3(const Matrix3& matrix, Matrix3* inverse) {
    const auto& m = matrix.m;
    // Cofactors of the first row; the rest follow below.
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double determinant = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    if (determinant == 0.0) {
        return false;
    }
    const double d = 1.0 / determinant;
    // The inverse is the transposed cofactor matrix over the determinant.
    Matrix3 result;
    result.m[0][0] = c00 * d;
    result.m[1][0] = c01 * d;
    result.m[2][0] = c02 * d;
    result.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * d;
    result.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * d;
    result.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * d;
    result.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * d;
    result.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * d;
    result.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * d;
    *inverse = result;
    return true;
}

Vector3 RowTimesMatrix3(const Vector3& a, const Matrix3& matrix) {
    const auto& m = matrix.m;
    Vector3 out;
    for (int j = 0; j < 3; ++j) {
        out[j] = a[0] * m[0][j] + a[1] * m[1][j] + a[2] * m[2][j];
    }
    return out;
}

bool ReciprocalVector3(const Vector3& v, Vector3* out) {
    if (v[0] == 0.0 || v[1] == 0.0 || v[2] == 0.0) {
        return false;
    }
    *out = {1.0 / v[0], 1.0 / v[1], 1.0 / v[2]};
    return true;
}

Matrix3 ScaleRows(const Vector3& s, const Matrix3& matrix) {
    Matrix3 out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            out.m[r][c] = matrix.m[r][c] * s[r];
        }
    }
    return out;
}

Matrix3 ScaleColumns(const Matrix3& matrix, const Vector3& s) {
    Matrix3 out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            out.m[r][c] = matrix.m[r][c] * s[c];
        }
    }
    return out;
}

namespace {

// The rows (x, y, 1 - x - y) of the primaries, the inverse of that matrix, and
// the amounts of each primary that add up to the white.
struct PrimaryAmounts {
    Matrix3 chromaticities;
    Matrix3 inverse;
    Vector3 amounts;
};

int ComputePrimaryAmounts(const Chromaticity primaries[3], Chromaticity white,
                          PrimaryAmounts* out) {
    PrimaryAmounts result;
    for (int r = 0; r < 3; ++r) {
        const Chromaticity p = primaries[r];
        result.chromaticities.m[r][0] = p.x;
        result.chromaticities.m[r][1] = p.y;
        result.chromaticities.m[r][2] = 1.0 - p.x - p.y;
    }
    if (!InvertMatrix3(result.chromaticities, &result.inverse)) {
        return kUnusableValue;
    }
    Tristimulus whiteXyz;
    if (!CheckedXyToXyz(white, &whiteXyz)) {
        return kUnusableValue;
    }
    result.amounts = RowTimesMatrix3(AsVector(whiteXyz), result.inverse);
    *out = result;
    return 0;
}

}  // namespace

int RgbToXyzMatrix(const Chromaticity primaries[3], Chromaticity white, Matrix3* out) {
    PrimaryAmounts p;
    if (ComputePrimaryAmounts(primaries, white, &p) != 0) {
        return kUnusableValue;
    }
    *out = ScaleRows(p.amounts, p.chromaticities);
    return 0;
}

int XyzToRgbMatrix(const Chromaticity primaries[3], Chromaticity white, Matrix3* out) {
    PrimaryAmounts p;
    if (ComputePrimaryAmounts(primaries, white, &p) != 0) {
        return kUnusableValue;
    }
    Vector3 reciprocal;
    if (!ReciprocalVector3(p.amounts, &reciprocal)) {
        return kUnusableValue;
    }
    *out = ScaleColumns(p.inverse, reciprocal);
    return 0;
}

int NormalizeToUnitMax(Vector3* rgb) {
    double largest = 0.0;
    for (double component : *rgb) {
        if (!(component >= 0.0) || std::isinf(component)) {
            return kUnusableValue;
        }
        if (component > largest) {
            largest = component;
        }
    }
    if (largest == 0.0 || largest < 1.0) {
        return 0;
    }
    const double scale = 1.0 / largest;
    for (double& component : *rgb) {
        component *= scale;
    }
    return 0;
}

int ApplyInverseGamma(Vector3* rgb, const double gamma[3]) {
    for (int c = 0; c < 3; ++c) {
        if (gamma[c] == 0.0) {
            return kUnusableValue;
        }
        double& component = (*rgb)[c];
        component = component < 0.0 ? 0.0 : std::exp(std::log(component) * (1.0 / gamma[c]));
    }
    return 0;
}

}  // namespace tonalis
