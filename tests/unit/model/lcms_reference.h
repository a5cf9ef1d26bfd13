// Reference colour arithmetic through LittleCMS's matrix routines, so that the
// model's own matrices are checked against an independent implementation.
#pragma once

#include <lcms2.h>
#include <lcms2_plugin.h>

#include <array>

#include "model/monitor_settings.h"

namespace tonalis::reference {

// LittleCMS multiplies column vectors (v' = M v), so its matrices are the
// transposes of the row-vector matrices of the model.
inline cmsMAT3 Transposed(const std::array<std::array<double, 3>, 3>& rows) {
    cmsMAT3 m;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m.v[c].n[r] = rows[r][c];
        }
    }
    return m;
}

// Rows: XYZ of full red, green and blue for a monitor with this white (Y = 1).
inline std::array<std::array<double, 3>, 3> RgbToXyzRows(const Chromaticity primaries[3],
                                                         Chromaticity white) {
    std::array<std::array<double, 3>, 3> p;
    for (int r = 0; r < 3; ++r) {
        p[r] = {primaries[r].x, primaries[r].y, 1.0 - primaries[r].x - primaries[r].y};
    }
    cmsMAT3 columns = Transposed(p);
    cmsVEC3 w;
    _cmsVEC3init(&w, white.x / white.y, 1.0, (1.0 - white.x - white.y) / white.y);
    cmsVEC3 amounts;
    _cmsMAT3solve(&amounts, &columns, &w);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            p[r][c] *= amounts.n[r];
        }
    }
    return p;
}

// rgb such that rgb x RgbToXyzRows = xyz.
inline std::array<double, 3> XyzToRgb(const Chromaticity primaries[3], Chromaticity white,
                                      const std::array<double, 3>& xyz) {
    cmsMAT3 columns = Transposed(RgbToXyzRows(primaries, white));
    cmsVEC3 target;
    _cmsVEC3init(&target, xyz[0], xyz[1], xyz[2]);
    cmsVEC3 rgb;
    _cmsMAT3solve(&rgb, &columns, &target);
    return {rgb.n[0], rgb.n[1], rgb.n[2]};
}

}  // namespace tonalis::reference
