// Bradford chromatic adaptation.
#include "icc/bradford.h"

namespace tonalis::icc {

namespace {

constexpr double kToCone[3][3] = {
    {0.8951, 0.2664, -0.1614},
    {-0.7502, 1.7135, 0.0367},
    {0.0389, -0.0685, 1.0296},
};

constexpr double kFromCone[3][3] = {
    {0.9869929055, -0.1470542564, 0.1599626517},
    {0.4323052697, 0.5183602715, 0.0492912282},
    {-0.0085286646, 0.0400428217, 0.9684866958},
};

void Apply(const double m[3][3], const double in[3], double out[3]) {
    for (int r = 0; r < 3; ++r) {
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
    }
}

}  // namespace

bool BradfordAdapt(double xyz[3], const double sourceWhite[3], const double destinationWhite[3]) {
    double source[3];
    double destination[3];
    Apply(kToCone, sourceWhite, source);
    Apply(kToCone, destinationWhite, destination);
    for (int i = 0; i < 3; ++i) {
        // Written so that NaN fails too.
        if (!(source[i] > 0.0) || !(destination[i] > 0.0)) {
            return false;
        }
    }
    double cone[3];
    Apply(kToCone, xyz, cone);
    for (int i = 0; i < 3; ++i) {
        cone[i] *= destination[i] / source[i];
    }
    Apply(kFromCone, cone, xyz);
    return true;
}

}  // namespace tonalis::icc
