// Chromaticity conversions and the RGB/XYZ matrices, checked against the
// published HDTV matrix and against LittleCMS's matrix solver.
#include "model/colorimetry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lcms_reference.h"
#include "model/presets.h"

namespace tonalis {
namespace {

constexpr Matrix3 kSentinelMatrix = {{{7, 7, 7}, {7, 7, 7}, {7, 7, 7}}};

void ExpectSentinel(const Matrix3& m) {
    for (const auto& row : m.m) {
        for (double v : row) {
            EXPECT_EQ(v, 7.0);
        }
    }
}

TEST(RgbToXyzMatrix, HdtvAt6500KGivesThePublishedRows) {
    const double expected[3][3] = {
        {0.41235, 0.21262, 0.01933}, {0.35766, 0.71531, 0.11922}, {0.18018, 0.07207, 0.94894}};
    Matrix3 m;
    ASSERT_EQ(RgbToXyzMatrix(kPhosphorPresets[1].primaries, kWhitePresets[2].white, &m), 0);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(m.m[r][c], expected[r][c], 5e-6) << "row " << r << " column " << c;
        }
    }
}

// Every phosphor preset under every white preset: the rows agree with an
// independent solver, keep each primary's chromaticity, and add up to the white;
// the XYZ-to-RGB matrix is their inverse.
TEST(RgbToXyzMatrix, AgreesWithLittleCmsForEveryPreset) {
    for (const PhosphorPreset& phosphors : kPhosphorPresets) {
        for (const WhitePreset& white : kWhitePresets) {
            SCOPED_TRACE(testing::Message()
                         << "phosphors " << phosphors.stringId << " white " << white.stringId);
            Matrix3 toXyz;
            Matrix3 toRgb;
            ASSERT_EQ(RgbToXyzMatrix(phosphors.primaries, white.white, &toXyz), 0);
            ASSERT_EQ(XyzToRgbMatrix(phosphors.primaries, white.white, &toRgb), 0);
            const auto reference = reference::RgbToXyzRows(phosphors.primaries, white.white);
            const Tristimulus w = XyToXyz(white.white);
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(toXyz.m[r][c], reference[r][c], 1e-12);
                }
                const double sum = toXyz.m[r][0] + toXyz.m[r][1] + toXyz.m[r][2];
                EXPECT_NEAR(toXyz.m[r][0] / sum, phosphors.primaries[r].x, 1e-12);
                EXPECT_NEAR(toXyz.m[r][1] / sum, phosphors.primaries[r].y, 1e-12);
            }
            const Vector3 white_sum = RowTimesMatrix3({1, 1, 1}, toXyz);
            EXPECT_NEAR(white_sum[0], w.X, 1e-12);
            EXPECT_NEAR(white_sum[1], 1.0, 1e-12);
            EXPECT_NEAR(white_sum[2], w.Z, 1e-12);
            for (int r = 0; r < 3; ++r) {
                Vector3 unit = {0, 0, 0};
                unit[r] = 1;
                const Vector3 back = RowTimesMatrix3(RowTimesMatrix3(unit, toXyz), toRgb);
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(back[c], unit[c], 1e-12);
                }
            }
        }
    }
}

TEST(RgbToXyzMatrix, UnusablePrimariesOrWhiteLeaveTheOutputUntouched) {
    // Binary fractions throughout, so that the determinants and amounts come
    // out exactly 0 rather than a rounding error away from it.
    const Chromaticity same[3] = {{0.5, 0.25}, {0.5, 0.25}, {0.25, 0.5}};
    // Blue halfway between red and green: the chromaticity matrix is singular.
    const Chromaticity collinear[3] = {{0.5, 0.25}, {0.25, 0.5}, {0.375, 0.375}};
    // Blue at the white point: no red or green is needed, and a zero amount
    // has no reciprocal.
    const Chromaticity blueAtWhite[3] = {{0.5, 0.25}, {0.25, 0.5}, {0.25, 0.25}};
    const struct {
        const char* name;
        const Chromaticity* primaries;
        Chromaticity white;
        bool toXyzFails;
    } cases[] = {
        {"repeated primary", same, {0.3128, 0.3292}, true},
        {"collinear primaries", collinear, {0.3128, 0.3292}, true},
        {"white with y = 0", kPhosphorPresets[1].primaries, {0.3, 0.0}, true},
        {"zero amounts", blueAtWhite, {0.25, 0.25}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix3 toRgb = kSentinelMatrix;
        EXPECT_EQ(XyzToRgbMatrix(c.primaries, c.white, &toRgb), kUnusableValue);
        ExpectSentinel(toRgb);
        Matrix3 toXyz = kSentinelMatrix;
        EXPECT_EQ(RgbToXyzMatrix(c.primaries, c.white, &toXyz), c.toXyzFails ? kUnusableValue : 0);
        if (c.toXyzFails) {
            ExpectSentinel(toXyz);
        }
    }
}

TEST(XyToXyz, D65GivesItsTristimulusValue) {
    const Tristimulus t = XyToXyz({0.312727, 0.329023});
    EXPECT_NEAR(t.X, 0.95047, 5e-6);
    EXPECT_EQ(t.Y, 1.0);
    EXPECT_NEAR(t.Z, 1.08883, 5e-6);
}

TEST(XyzToXy, ZeroSumFailsAndLeavesTheOutput) {
    for (const Tristimulus t : {Tristimulus{0, 0, 0}, Tristimulus{1, -1, 0}}) {
        Chromaticity out = {0.25, 0.5};
        EXPECT_EQ(XyzToXy(t, &out), kUnusableValue);
        EXPECT_FALSE(CheckedXyzToXy(t, &out));
        EXPECT_EQ(out.x, 0.25);
        EXPECT_EQ(out.y, 0.5);
    }
}

TEST(XyToXyz, CheckedFormRefusesZeroY) {
    Tristimulus out = {1, 2, 3};
    EXPECT_FALSE(CheckedXyToXyz({0.3, 0.0}, &out));
    EXPECT_EQ(out.X, 1.0);
    EXPECT_EQ(out.Z, 3.0);
    EXPECT_TRUE(CheckedXyToXyz({0.3, 0.3}, &out));
    EXPECT_EQ(out.Y, 1.0);
}

TEST(InvertMatrix3, ProductWithTheInverseIsTheIdentity) {
    const Matrix3 cases[] = {
        {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
        {{{2, 0, 0}, {0, 4, 0}, {0, 0, 0.5}}},
        {{{0, 1, 2}, {3, 4, 5}, {6, 7, 9}}},        // needs the cofactors of a zero pivot
        {{{1, 1e-9, 0}, {0, 1e-9, 0}, {0, 0, 1}}},  // tiny, but not zero, determinant
    };
    for (const Matrix3& m : cases) {
        Matrix3 inverse;
        ASSERT_TRUE(InvertMatrix3(m, &inverse));
        for (int r = 0; r < 3; ++r) {
            Vector3 unit = {0, 0, 0};
            unit[r] = 1;
            const Vector3 back = RowTimesMatrix3(RowTimesMatrix3(unit, m), inverse);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(back[c], unit[c], 1e-9) << "row " << r;
            }
        }
    }
}

TEST(InvertMatrix3, SingularMatrixFailsAndLeavesTheOutput) {
    const Matrix3 rankTwo = {{{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}};
    Matrix3 out = kSentinelMatrix;
    EXPECT_FALSE(InvertMatrix3(rankTwo, &out));
    ExpectSentinel(out);
}

TEST(MatrixProducts, RowVectorsMultiplyOnTheLeft) {
    const Matrix3 m = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}};
    const Vector3 second = RowTimesMatrix3({0, 1, 0}, m);
    EXPECT_EQ(second, (Vector3{4, 5, 6}));
    EXPECT_EQ(RowTimesMatrix3({1, 1, 1}, m), (Vector3{12, 15, 19}));

    const Matrix3 rows = ScaleRows({1, 10, 100}, m);
    const Matrix3 columns = ScaleColumns(m, {1, 10, 100});
    EXPECT_EQ(rows.m[2][0], 700.0);
    EXPECT_EQ(rows.m[0][2], 3.0);
    EXPECT_EQ(columns.m[2][0], 7.0);
    EXPECT_EQ(columns.m[0][2], 300.0);
}

TEST(ReciprocalVector3, ZeroComponentFailsAndLeavesTheOutput) {
    Vector3 out = {9, 9, 9};
    EXPECT_FALSE(ReciprocalVector3({1, 0.0, 2}, &out));
    EXPECT_EQ(out, (Vector3{9, 9, 9}));
    EXPECT_TRUE(ReciprocalVector3({2, -4, 0.5}, &out));
    EXPECT_EQ(out, (Vector3{0.5, -0.25, 2}));
}

TEST(NormalizeToUnitMax, ScalesOnlyWhenTheLargestExceedsOne) {
    const double nan = std::nan("");
    const struct {
        Vector3 in;
        int result;
        Vector3 out;
    } cases[] = {
        {{0.5, 0.2, 0.1}, 0, {0.5, 0.2, 0.1}},
        {{0, 0, 0}, 0, {0, 0, 0}},
        {{1, 0.5, 0}, 0, {1, 0.5, 0}},
        {{2, 1, 0.5}, 0, {1, 0.5, 0.25}},
        {{0.5, 4, 1}, 0, {0.125, 1, 0.25}},
        {{-0.1, 2, 1}, kUnusableValue, {-0.1, 2, 1}},
        {{2, 1, -1e-12}, kUnusableValue, {2, 1, -1e-12}},
    };
    for (const auto& c : cases) {
        Vector3 rgb = c.in;
        EXPECT_EQ(NormalizeToUnitMax(&rgb), c.result);
        EXPECT_EQ(rgb, c.out) << c.in[0] << " " << c.in[1] << " " << c.in[2];
    }
    for (const Vector3 bad : {Vector3{nan, 1, 1}, Vector3{2, HUGE_VAL, 1}}) {
        Vector3 rgb = bad;
        EXPECT_EQ(NormalizeToUnitMax(&rgb), kUnusableValue);
        EXPECT_EQ(rgb[1], bad[1]);
    }
}

TEST(ApplyInverseGamma, RaisesEachChannelToItsInverseGamma) {
    Vector3 rgb = {0.25, 0.125, 1.0};
    const double gamma[3] = {2.0, 3.0, 2.2};
    ASSERT_EQ(ApplyInverseGamma(&rgb, gamma), 0);
    EXPECT_NEAR(rgb[0], 0.5, 1e-15);
    EXPECT_NEAR(rgb[1], 0.5, 1e-15);
    EXPECT_EQ(rgb[2], 1.0);

    // Zero stays zero; a negative amount has no real power and shows as none.
    Vector3 dark = {0.0, -0.2, 0.5};
    const double one[3] = {1.0, 2.2, 1.0};
    ASSERT_EQ(ApplyInverseGamma(&dark, one), 0);
    EXPECT_EQ(dark, (Vector3{0.0, 0.0, 0.5}));
}

TEST(ApplyInverseGamma, ZeroGammaStopsAtItsChannel) {
    Vector3 rgb = {0.25, 0.25, 0.25};
    const double gamma[3] = {2.0, 0.0, 2.0};
    EXPECT_EQ(ApplyInverseGamma(&rgb, gamma), kUnusableValue);
    EXPECT_NEAR(rgb[0], 0.5, 1e-15);
    EXPECT_EQ(rgb[1], 0.25);
    EXPECT_EQ(rgb[2], 0.25);
}

}  // namespace
}  // namespace tonalis
