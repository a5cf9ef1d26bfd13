// Independent colour arithmetic through LittleCMS, for expected values.
#pragma once

#include <lcms2.h>
#include <lcms2_plugin.h>

#include <array>

#include "icc/profile_info.h"

namespace tonalis::icc::testing {

using Xyz = std::array<double, 3>;

struct Xy {
    double x;
    double y;
};

inline Xyz XyToXyz(Xy c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

inline Xy XyzToXy(const double* xyz) {
    const double sum = xyz[0] + xyz[1] + xyz[2];
    return {xyz[0] / sum, xyz[1] / sum};
}

// XYZ of full red, green and blue relative to the white (Y of white = 1).
inline std::array<Xyz, 3> PrimariesXyz(const Xy primaries[3], Xy white) {
    cmsMAT3 columns;
    for (int c = 0; c < 3; ++c) {
        const Xyz p = XyToXyz(primaries[c]);
        for (int r = 0; r < 3; ++r) {
            columns.v[r].n[c] = p[size_t(r)];
        }
    }
    const Xyz w = XyToXyz(white);
    cmsVEC3 target;
    _cmsVEC3init(&target, w[0], w[1], w[2]);
    cmsVEC3 amounts;
    _cmsMAT3solve(&amounts, &columns, &target);
    std::array<Xyz, 3> rows;
    for (int c = 0; c < 3; ++c) {
        const Xyz p = XyToXyz(primaries[c]);
        for (int i = 0; i < 3; ++i) {
            rows[size_t(c)][size_t(i)] = p[size_t(i)] * amounts.n[c];
        }
    }
    return rows;
}

// LittleCMS's Bradford adaptation of one colour between two whites.
inline Xyz Adapted(const Xyz& colour, const Xyz& from, const Xyz& to) {
    const cmsCIEXYZ source = {from[0], from[1], from[2]};
    const cmsCIEXYZ destination = {to[0], to[1], to[2]};
    const cmsCIEXYZ value = {colour[0], colour[1], colour[2]};
    cmsCIEXYZ result;
    cmsAdaptToIlluminant(&result, &source, &destination, &value);
    return {result.X, result.Y, result.Z};
}

inline const Xyz kD50 = {0.964202880859375, 1.0, 0.8249053955078125};
inline const Xy kHdtv[3] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
inline const Xy kD65 = {0.3127, 0.3290};

// A calibration record for these primaries and white, one gamma for all.
inline ProfileInfo ValuesRecord(const Xy primaries[3], Xy white, double gamma, char* text) {
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    const std::array<Xyz, 3> rows = PrimariesXyz(primaries, white);
    const Xyz w = XyToXyz(white);
    for (int c = 0; c < 3; ++c) {
        info.gamma[c] = gamma;
        for (int i = 0; i < 3; ++i) {
            info.primaries[c][i] = rows[size_t(c)][size_t(i)];
        }
        info.white[c] = w[size_t(c)];
    }
    info.text = text;
    return info;
}

}  // namespace tonalis::icc::testing
