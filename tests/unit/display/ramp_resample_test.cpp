// Tables taken to the gamma sizes of real CRTCs (the dummy X server has only
// 256) and back: a straight line stays the straight line through its ends, and
// a calibration table survives the way out and back.
#include <gtest/gtest.h>

#include <cmath>

#include "display/ramp_resample.h"
#include "model/gamma_ramp.h"
#include "profile/vcgt_curves.h"

namespace tonalis {
namespace {

TEST(RampResample, IdentityBecomesTheFullLineAtEverySize) {
    for (int size : {2, 16, 256, 1024, 4096}) {
        const VcgtCurves identity = IdentityCurves();
        for (int c = 0; c < 3; ++c) {
            const std::vector<uint16_t> out = SampleVcgtCurve(identity, c, size);
            ASSERT_EQ(out.size(), static_cast<size_t>(size));
            for (int j = 0; j < size; ++j) {
                const double line = j * 65535.0 / (size - 1);
                ASSERT_LE(std::fabs(out[j] - line), 0.5 + 1e-9)
                    << "size " << size << " entry " << j << " gave " << out[j];
            }
        }
    }
}

TEST(RampResample, CalibrationTableSurvivesTheWayToEachSizeAndBack) {
    // gamma 2.2 on a nominal monitor: levels 0, 143 and 255 at inputs 0, 128, 255.
    const double gamma[3] = {2.2, 2.2, 2.2};
    const double factor[3] = {1.0, 1.0, 1.0};
    const GammaRamp ramp = BuildGammaRamp(gamma, factor, kFullPeaks);
    VcgtCurves curves;
    curves.table[kGreen].assign(ramp.Channel(kGreen), ramp.Channel(kGreen) + kRampSize);
    for (int size : {256, 1024, 4096}) {
        const std::vector<uint16_t> out = SampleVcgtCurve(curves, kGreen, size);
        EXPECT_EQ(out.front(), 0);
        EXPECT_EQ(out.back(), 65280);
        uint16_t back[kRampSize];
        ChannelFromSize(out.data(), size, back);
        // The table steps by 8-bit levels, so the line between two samples
        // cuts its corners; it stays well inside half a level.
        for (int i = 0; i < kRampSize; ++i) {
            ASSERT_LE(std::abs(back[i] - ramp.Channel(kGreen)[i]), 32)
                << "size " << size << " input " << i;
        }
        EXPECT_EQ(back[128], 36608) << "size " << size;
    }
}

}  // namespace
}  // namespace tonalis
