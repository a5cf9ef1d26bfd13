// Chromaticity and tristimulus conversions and the 3 x 3 matrices between a
// monitor's linear RGB and CIE XYZ. Colours are row vectors multiplied on the
// right by a matrix (XYZ = rgb x M), so the rows of an RGB-to-XYZ matrix are
// the XYZ of full red, green and blue.
#pragma once

#include <array>

#include "model/monitor_settings.h"

namespace tonalis {

// Result of the operations that can fail, besides 0 for success: a zero sum,
// a zero divisor, a singular matrix or a negative component.
constexpr int kUnusableValue = -131;

struct Tristimulus {
    double X;
    double Y;
    double Z;
};

// Linear RGB (0 to 1 inside the gamut) or any other row of three.
using Vector3 = std::array<double, 3>;

struct Matrix3 {
    double m[3][3];  // row by row
};

inline Vector3 AsVector(const Tristimulus& t) {
    return {t.X, t.Y, t.Z};
}
inline Tristimulus AsTristimulus(const Vector3& v) {
    return {v[0], v[1], v[2]};
}

// The tristimulus value with Y = 1; c.y must not be 0.
Tristimulus XyToXyz(Chromaticity c);
// The checking form: false, with the output untouched, when c.y is 0.
bool CheckedXyToXyz(Chromaticity c, Tristimulus* out);

// 0, or kUnusableValue with the output untouched when X + Y + Z is 0.
int XyzToXy(const Tristimulus& t, Chromaticity* out);
// The same with a boolean result.
bool CheckedXyzToXy(const Tristimulus& t, Chromaticity* out);

// Inverse by cofactors; false, with the output untouched, when the
// determinant is exactly 0.
bool InvertMatrix3(const Matrix3& m, Matrix3* inverse);
Vector3 RowTimesMatrix3(const Vector3& row, const Matrix3& m);
// False, with the output untouched, when a component is exactly 0.
bool ReciprocalVector3(const Vector3& v, Vector3* out);
// Row r multiplied by s[r].
Matrix3 ScaleRows(const Vector3& s, const Matrix3& m);
// Column c multiplied by s[c].
Matrix3 ScaleColumns(const Matrix3& m, const Vector3& s);

// The matrix whose rows are the XYZ of full red, green and blue for a monitor
// with these primaries (red, green, blue) and white; the rows add up to the
// white with Y = 1. 0, or kUnusableValue with the output untouched (singular
// primaries, or a white with y = 0).
int RgbToXyzMatrix(const Chromaticity primaries[3], Chromaticity white, Matrix3* out);
// The inverse of RgbToXyzMatrix: rgb = XYZ x result.
int XyzToRgbMatrix(const Chromaticity primaries[3], Chromaticity white, Matrix3* out);

// Scales the triple so that its largest component is 1 when that is above 1.
// A negative, infinite or not-a-number component gives kUnusableValue and
// leaves the triple unchanged.
int NormalizeToUnitMax(Vector3* rgb);

// Each component c becomes c^(1 / gamma[c]). A gamma of exactly 0 gives
// kUnusableValue, leaving that and the later components as they were. A
// negative component has no real power and becomes 0.
int ApplyInverseGamma(Vector3* rgb, const double gamma[3]);

}  // namespace tonalis
