// The entry points: argument codes, building and extracting calibration
// values, the two candidates of extraction, and failure clean-up.
#include <cmath>
#include <string>

#include "icc/display_profile.h"
#include "icc_test_support.h"
#include "lcms_reference.h"

namespace tonalis::icc::testing {
namespace {

class LibraryTest : public IccTest {};

TEST_F(LibraryTest, NullArgumentsAndBadVersions) {
    char text[kProfileTextSize] = "";
    ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, text);
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);
    uint32_t size = 0;
    uint8_t flag = 0;
    TagBuffer tag = {Sig("desc"), 0, nullptr};

    const struct {
        const char* call;
        int32_t code;
        int32_t expected;
    } cases[] = {
        {"open null record", IccOpenProfile(1, nullptr, &profile), -4},
        {"open null out", IccOpenProfile(1, &info, nullptr), -4},
        {"open version 2", IccOpenProfile(2, &info, &profile), -4},
        {"write null profile", IccWriteProfile(nullptr, nullptr, &size), -4},
        {"write null size", IccWriteProfile(profile, nullptr, nullptr), -4},
        {"extract null profile", IccExtractInfo(1, nullptr, &info, &flag), -4},
        {"extract null record", IccExtractInfo(1, profile, nullptr, &flag), -4},
        {"extract null flag", IccExtractInfo(1, profile, &info, nullptr), -4},
        {"extract version 0", IccExtractInfo(0, profile, &info, &flag), -4},
        {"update null profile", IccUpdateProfile(1, nullptr, &info), -1},
        {"update null record", IccUpdateProfile(1, profile, nullptr), -1},
        {"update version 2", IccUpdateProfile(2, profile, &info), -4},
        {"get null profile", IccGetTagData(nullptr, &tag), -1},
        {"get null record", IccGetTagData(profile, nullptr), -1},
        {"set null profile", IccSetTagData(nullptr, &tag), -1},
        {"set null record", IccSetTagData(profile, nullptr), -1},
        {"close null", IccCloseProfile(nullptr), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, c.expected) << c.call;
    }
    ProfileInfo unknownKind = info;
    unknownKind.kind = 17;
    IccProfile* none = nullptr;
    EXPECT_EQ(IccOpenProfile(1, &unknownKind, &none), -4);
    EXPECT_EQ(IccExtractInfo(1, profile, &unknownKind, &flag), -4);
    EXPECT_EQ(IccUpdateProfile(1, profile, &unknownKind), -4);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(LibraryTest, EmptyTextGetsTheDefaultDescription) {
    char text[kProfileTextSize] = "";
    ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, text);
    info.intent = 7;  // out of range counts as 0
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);
    EXPECT_STREQ(text, "RGB Display Profile");
    EXPECT_EQ(info.intent, 0);
    const Bytes image = Serialise(profile);
    EXPECT_EQ(Get32(image, 64), 0u);
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(LibraryTest, ZeroWhiteXFailsAndLeavesNothing) {
    for (int component : {0, 2}) {
        ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, nullptr);
        info.white[component] = 0.0;
        IccProfile* profile = reinterpret_cast<IccProfile*>(&info);
        EXPECT_EQ(IccOpenProfile(1, &info, &profile), -1);
        EXPECT_EQ(profile, nullptr);
        EXPECT_TRUE(log_.live.empty());
    }
}

TEST_F(LibraryTest, HdtvAtD65ComesBackThroughTheBradfordCandidate) {
    char text[kProfileTextSize] = "HDTV";
    ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, text);
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);

    ProfileInfo out = {};
    out.kind = kProfileInfoValues;
    uint8_t simple = 0;
    ASSERT_EQ(IccExtractInfo(1, profile, &out, &simple), 0);
    EXPECT_EQ(simple, 1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_DOUBLE_EQ(out.gamma[c], 2.19921875);
        const Xy xy = XyzToXy(out.primaries[c]);
        EXPECT_NEAR(xy.x, kHdtv[c].x, 0.0001) << c;
        EXPECT_NEAR(xy.y, kHdtv[c].y, 0.0001) << c;
        EXPECT_NEAR(out.white[c], info.white[c], 1.0 / 65536);
        EXPECT_EQ(out.black[c], 0.0);
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

// Another writer scaled X and Z by illuminant over white instead of adapting.
TEST_F(LibraryTest, ScaledColorantsComeBackThroughTheScalingCandidate) {
    const Xy row1[3] = {{0.7347, 0.2653}, {0.1152, 0.8264}, {0.1566, 0.0177}};
    const Xy white = {0.2848, 0.2932};  // about 9300 K, far from D50
    const std::array<Xyz, 3> primaries = PrimariesXyz(row1, white);
    const Xyz w = XyToXyz(white);

    std::vector<RawTag> tags = RgbDisplayTags();
    tags[2].data = XyzBytes(w[0], w[1], w[2]);
    for (int c = 0; c < 3; ++c) {
        const Xyz& p = primaries[size_t(c)];
        tags[size_t(3 + c)].data = XyzBytes(p[0] * kD50[0] / w[0], p[1], p[2] * kD50[2] / w[2]);
        // Precondition: undoing a Bradford adaptation misses the row.
        const Xyz scaled = {p[0] * kD50[0] / w[0], p[1], p[2] * kD50[2] / w[2]};
        const Xyz a = Adapted(scaled, kD50, w);
        const Xy xy = XyzToXy(a.data());
        ASSERT_GT(std::fabs(xy.x - row1[c].x) + std::fabs(xy.y - row1[c].y), 0.004) << c;
    }
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0);
    ProfileInfo out = {};
    out.kind = kProfileInfoValues;
    uint8_t simple = 0;
    ASSERT_EQ(IccExtractInfo(1, profile, &out, &simple), 0);
    for (int c = 0; c < 3; ++c) {
        const Xy xy = XyzToXy(out.primaries[c]);
        EXPECT_NEAR(xy.x, row1[c].x, 0.0002) << c;
        EXPECT_NEAR(xy.y, row1[c].y, 0.0002) << c;
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(LibraryTest, WriteWithAWrongSizeLeavesTheBufferUntouched) {
    ProfileInfo info = ValuesRecord(kHdtv, kD65, 1.8, nullptr);
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);
    uint32_t size = 0;
    ASSERT_EQ(IccWriteProfile(profile, nullptr, &size), 0);
    for (uint32_t wrong : {size + 1, size - 1}) {
        Bytes buffer(size + 1, 0xEE);
        EXPECT_EQ(IccWriteProfile(profile, buffer.data(), &wrong), -4);
        EXPECT_EQ(buffer, Bytes(size + 1, 0xEE));
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(LibraryTest, UpdateThenReadBack) {
    IccProfile* profile = nullptr;
    ASSERT_EQ(
        OpenImage(MakeImage(RgbDisplayTags(CurveBytes(std::vector<uint16_t>(256, 9)))), &profile),
        0);
    char text[kProfileTextSize] = "Updated display";
    const Xy p22[3] = {{0.625, 0.340}, {0.280, 0.595}, {0.155, 0.070}};  // row 9
    const Xy white = {0.2831, 0.2971};
    ProfileInfo info = ValuesRecord(p22, white, 2.5, text);
    info.gamma[1] = 1.8;
    info.black[1] = 0.01;
    info.intent = 2;
    ASSERT_EQ(IccUpdateProfile(1, profile, &info), 0);
    const Bytes written = Serialise(profile);
    EXPECT_EQ(IccCloseProfile(profile), 0);

    char readText[kProfileTextSize] = "";
    ASSERT_EQ(OpenImage(written, &profile, readText), 0);
    EXPECT_STREQ(readText, "Updated display");
    ProfileInfo out = {};
    out.kind = kProfileInfoValues;
    uint8_t simple = 0;
    ASSERT_EQ(IccExtractInfo(1, profile, &out, &simple), 0);
    EXPECT_EQ(simple, 1);
    EXPECT_EQ(out.intent, 2);
    EXPECT_DOUBLE_EQ(out.gamma[0], 2.5);
    EXPECT_DOUBLE_EQ(out.gamma[1], 1.80078125);
    EXPECT_NEAR(out.black[1], 0.01, 1.0 / 65536);
    for (int c = 0; c < 3; ++c) {
        const Xy xy = XyzToXy(out.primaries[c]);
        EXPECT_NEAR(xy.x, p22[c].x, 0.0001) << c;
        EXPECT_NEAR(xy.y, p22[c].y, 0.0001) << c;
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(LibraryTest, EveryFailedAllocationIsReportedAndCleanedUp) {
    char text[kProfileTextSize] = "Out of memory";
    const Bytes image = MakeImage(RgbDisplayTags());
    for (bool fromImage : {false, true}) {
        for (long failAt = 0;; ++failAt) {
            log_.requests.clear();
            log_.failAt = failAt;
            ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, text);
            IccProfile* profile = nullptr;
            const int32_t code =
                fromImage ? OpenImage(image, &profile) : IccOpenProfile(1, &info, &profile);
            if (code == 0) {
                // A failure half way through an update is released by the close.
                const int32_t update = IccUpdateProfile(1, profile, &info);
                EXPECT_TRUE(update == 0 || update == -3) << update;
                EXPECT_EQ(IccCloseProfile(profile), 0);
                EXPECT_TRUE(log_.live.empty()) << failAt;
                if (update == 0) {
                    EXPECT_GT(failAt, 10);
                    break;
                }
                continue;
            }
            EXPECT_EQ(code, -3) << failAt;
            EXPECT_EQ(profile, nullptr);
            EXPECT_TRUE(log_.live.empty()) << failAt;
        }
    }
    log_.failAt = -1;
}

TEST_F(LibraryTest, TagDataAccess) {
    ProfileInfo info = ValuesRecord(kHdtv, kD65, 2.2, nullptr);
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(1, &info, &profile), 0);
    TagBuffer vcgt = {Sig("vcgt"), 0, nullptr};
    EXPECT_EQ(IccGetTagData(profile, &vcgt), -2);

    Bytes table(1584, 0);
    Put32(table, 0, Sig("vcgt"));
    table[100] = 42;
    TagBuffer set = {Sig("vcgt"), uint32_t(table.size()), table.data()};
    ASSERT_EQ(IccSetTagData(profile, &set), 0);
    EXPECT_EQ(profile->LastTag()->Signature(), Sig("vcgt"));
    ASSERT_EQ(IccGetTagData(profile, &vcgt), 0);
    EXPECT_EQ(vcgt.size, 1584u);

    table[100] = 43;
    ASSERT_EQ(IccSetTagData(profile, &set), 0);  // same size: overwritten in place
    Bytes shorter(1554, 1);
    TagBuffer other = {Sig("vcgt"), 1554, shorter.data()};
    EXPECT_EQ(IccSetTagData(profile, &other), -2);

    Bytes got(1584);
    vcgt.data = got.data();
    ASSERT_EQ(IccGetTagData(profile, &vcgt), 0);
    EXPECT_EQ(got, table);
    vcgt.size = 1583;
    EXPECT_EQ(IccGetTagData(profile, &vcgt), -4);
    EXPECT_EQ(profile->TagCount(), 11u);
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

}  // namespace
}  // namespace tonalis::icc::testing
