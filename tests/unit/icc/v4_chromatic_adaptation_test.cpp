// 'chad': the media white and the primaries under it come from undoing the
// profile's own adaptation, whatever transform it used; a broken 'chad'
// refuses the profile.
#include <string>
#include <vector>

#include "v4_lcms_profiles.h"

namespace tonalis::icc::testing {
namespace {

using Matrix = std::array<Xyz, 3>;

Xyz Times(const Matrix& m, const Xyz& v) {
    Xyz out;
    for (size_t r = 0; r < 3; ++r) {
        out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
    }
    return out;
}

Bytes ChadBytes(const Matrix& m) {
    Bytes b = TypeHeader("sf32", 44);
    for (size_t r = 0; r < 3; ++r) {
        for (size_t c = 0; c < 3; ++c) {
            Put32(b, 8 + 4 * (3 * r + c), uint32_t(Fixed(m[r][c])));
        }
    }
    return b;
}

// Adaptation by scaling X, Y and Z themselves: far from Bradford's result
// for a bluish white.
Matrix XyzScaling(const Xyz& white) {
    return {{{kD50[0] / white[0], 0, 0}, {0, kD50[1] / white[1], 0}, {0, 0, kD50[2] / white[2]}}};
}

void ExpectSameChromaticity(const double* actual, const Xyz& expected, double tolerance,
                            const std::string& what) {
    const Xy a = XyzToXy(actual);
    const Xy e = XyzToXy(expected.data());
    EXPECT_NEAR(a.x, e.x, tolerance) << what;
    EXPECT_NEAR(a.y, e.y, tolerance) << what;
}

class ChromaticAdaptationTest : public IccTest {
  protected:
    int32_t Extract(const Bytes& image, ProfileInfo* info) {
        IccProfile* profile = nullptr;
        const int32_t opened = OpenImage(image, &profile);
        if (opened != 0) {
            return opened;
        }
        *info = {};
        info->kind = kProfileInfoValues;
        uint8_t simple = 0;
        const int32_t code = IccExtractInfo(1, profile, info, &simple);
        IccCloseProfile(profile);
        return code;
    }
};

TEST_F(ChromaticAdaptationTest, LittleCmsV4ProfilesGiveBackTheirWhiteAndPrimaries) {
    const Xy p22[3] = {{0.625, 0.340}, {0.280, 0.595}, {0.155, 0.070}};
    const Xy ebu[3] = {{0.64, 0.33}, {0.29, 0.60}, {0.15, 0.06}};
    const struct {
        const char* name;
        const Xy* primaries;
        Xy white;
    } cases[] = {
        {"HDTV 6500K", kHdtv, kD65},
        {"P22 9300K", p22, {0.2848, 0.2932}},
        {"EBU 5500K", ebu, {0.3324, 0.3474}},
        {"HDTV D50", kHdtv, {0.3457, 0.3585}},
    };
    for (const auto& c : cases) {
        std::vector<cmsToneCurve*> curves = GammaCurves(2.2);
        const Bytes image = LcmsV4Display(c.primaries, c.white, curves.data());
        ProfileInfo info;
        ASSERT_EQ(Extract(image, &info), 0) << c.name;
        ExpectSameChromaticity(info.white, XyToXyz(c.white), 1e-4, std::string(c.name) + " white");
        const std::array<Xyz, 3> rows = PrimariesXyz(c.primaries, c.white);
        for (int ch = 0; ch < 3; ++ch) {
            ExpectSameChromaticity(info.primaries[ch], rows[size_t(ch)], 1e-4,
                                   std::string(c.name) + " primary " + std::to_string(ch));
            // Relative to a white of Y = 1, as the applet's record has them.
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(info.primaries[ch][i], rows[size_t(ch)][size_t(i)], 2e-4) << c.name;
            }
        }
        EXPECT_NEAR(info.white[1], 1.0, 1e-4) << c.name;
    }
}

TEST_F(ChromaticAdaptationTest, TheProfilesOwnAdaptationIsUndoneNotBradfords) {
    const Xy white = {0.2848, 0.2932};
    const Xyz w = XyToXyz(white);
    const std::array<Xyz, 3> native = PrimariesXyz(kHdtv, white);
    const Matrix scaling = XyzScaling(w);
    const struct {
        const char* name;
        uint32_t version;
        Xyz storedWhite;
    } cases[] = {
        {"v4: white adapted too", 0x04300000, Times(scaling, w)},
        {"v2: the media white itself", 0x02200000, w},
        {"v2 that stores the adapted white", 0x02200000, Times(scaling, w)},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags[2].data = XyzBytes(c.storedWhite[0], c.storedWhite[1], c.storedWhite[2]);
        for (size_t ch = 0; ch < 3; ++ch) {
            const Xyz stored = Times(scaling, native[ch]);
            tags[3 + ch].data = XyzBytes(stored[0], stored[1], stored[2]);
        }
        tags.push_back({Sig("chad"), ChadBytes(scaling)});
        HeaderFields header;
        header.version = c.version;
        ProfileInfo info;
        ASSERT_EQ(Extract(MakeImage(tags, header), &info), 0) << c.name;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(info.white[i], w[size_t(i)], 1e-4) << c.name;
        }
        for (size_t ch = 0; ch < 3; ++ch) {
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_NEAR(info.primaries[ch][i], native[ch][i], 1e-4) << c.name << " " << ch;
            }
            // Bradford would have put this primary elsewhere.
            const Xyz bradford = Adapted(Times(scaling, native[ch]), kD50, w);
            const Xy b = XyzToXy(bradford.data());
            const Xy n = XyzToXy(native[ch].data());
            EXPECT_GT(std::fabs(b.x - n.x) + std::fabs(b.y - n.y), 0.002) << c.name << " " << ch;
        }
    }
}

TEST_F(ChromaticAdaptationTest, AnUnusableChadRefusesTheProfile) {
    Bytes shortChad = ChadBytes(XyzScaling(XyToXyz(kD65)));
    shortChad.resize(40);
    Bytes wrongType = ChadBytes(XyzScaling(XyToXyz(kD65)));
    Put32(wrongType, 0, Sig("XYZ "));
    const Matrix singular = {{{1, 2, 3}, {2, 4, 6}, {0, 0, 1}}};
    const struct {
        const char* name;
        Bytes chad;
    } cases[] = {
        {"shorter than its matrix", shortChad},
        {"another type", wrongType},
        {"singular", ChadBytes(singular)},
        {"all zero", ChadBytes({})},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags.push_back({Sig("chad"), c.chad});
        HeaderFields header;
        header.version = 0x04200000;
        ProfileInfo info;
        EXPECT_EQ(Extract(MakeImage(tags, header), &info), -2) << c.name;
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
