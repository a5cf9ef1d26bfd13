// Hostile images: nothing is read outside the announced extent, and what
// cannot be read safely is refused.
#include <functional>
#include <string>

#include "icc/display_profile.h"
#include "icc/lut_tags.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

// Tag table indices of RgbDisplayTags().
constexpr size_t kDesc = 0, kCprt = 1, kWtpt = 2, kRxyz = 3, kRtrc = 6, kBtrc = 8;

size_t EntryField(size_t tag, size_t field) {
    return 132 + 12 * tag + 4 * field;
}

class UntrustedInputTest : public IccTest {
  protected:
    // Open, extract and write; returns the open code, or the extract code
    // when the open succeeded.
    int32_t Exercise(const Bytes& image, ProfileInfo* out = nullptr) {
        IccProfile* profile = nullptr;
        int32_t code = OpenImage(image, &profile);
        if (code != 0) {
            return code;
        }
        ProfileInfo info = {};
        info.kind = kProfileInfoValues;
        uint8_t simple;
        code = IccExtractInfo(1, profile, &info, &simple);
        if (out != nullptr) {
            *out = info;
        }
        uint32_t size = 0;
        EXPECT_EQ(IccWriteProfile(profile, nullptr, &size), 0);
        Bytes written(size);
        EXPECT_EQ(IccWriteProfile(profile, written.data(), &size), 0);
        for (const TableEntry& e : TagTable(written)) {
            EXPECT_LE(uint64_t(e.offset) + e.size, written.size());
        }
        EXPECT_EQ(IccCloseProfile(profile), 0);
        return code;
    }
};

TEST_F(UntrustedInputTest, ImagesThatReachPastTheirExtent) {
    const Bytes good = MakeImage(RgbDisplayTags());
    const uint32_t size = uint32_t(good.size());
    using Mutation = std::function<void(Bytes&)>;
    const struct {
        const char* name;
        Mutation mutate;
        int32_t code;
    } cases[] = {
        {"well formed", [](Bytes&) {}, 0},
        {"announces 131 bytes", [](Bytes& b) { b.resize(131), Put32(b, 0, 131); }, -2},
        {"announces 0 bytes", [](Bytes& b) { b.resize(4), Put32(b, 0, 0); }, -2},
        {"tag count 2^32 - 1", [](Bytes& b) { Put32(b, 128, 0xFFFFFFFF); }, -2},
        {"one entry too many", [=](Bytes& b) { Put32(b, 128, (size - 132) / 12 + 1); }, -2},
        {"data past the end", [=](Bytes& b) { Put32(b, EntryField(kRxyz, 1), size - 10); }, -2},
        {"offset + size wraps",
         [](Bytes& b) {
             Put32(b, EntryField(kRxyz, 1), 0xFFFFFFF0);
             Put32(b, EntryField(kRxyz, 2), 0x20);
         },
         -2},
        {"size 2^32 - 1", [](Bytes& b) { Put32(b, EntryField(kDesc, 2), 0xFFFFFFFF); }, -2},
        {"extent shorter than the data",
         [](Bytes& b) {
             b.resize(b.size() - 8);
             Put32(b, 0, uint32_t(b.size()));
         },
         -2},
        {"last tag ends at the extent", [](Bytes& b) { Put32(b, EntryField(kBtrc, 2), 16); }, 0},
        {"curve count past its data",
         [](Bytes& b) { Put32(b, Get32(b, EntryField(kRtrc, 1)) + 8, 1000); }, -2},
        {"curve of 10 bytes", [](Bytes& b) { Put32(b, EntryField(kRtrc, 2), 10); }, -2},
        {"colorant of 12 bytes", [](Bytes& b) { Put32(b, EntryField(kRxyz, 2), 12); }, -2},
        {"white point of 8 bytes", [](Bytes& b) { Put32(b, EntryField(kWtpt, 2), 8); }, -2},
        {"empty description and copyright",
         [](Bytes& b) {
             Put32(b, EntryField(kDesc, 2), 0);
             Put32(b, EntryField(kCprt, 2), 0);
         },
         0},
        {"zero illuminant",
         [](Bytes& b) {
             for (size_t offset : {68, 72, 76}) {
                 Put32(b, offset, 0);
             }
         },
         0},
    };
    for (const auto& c : cases) {
        Bytes image = good;
        c.mutate(image);
        EXPECT_EQ(Exercise(image), c.code) << c.name;
        EXPECT_TRUE(log_.live.empty()) << c.name;
    }
}

TEST_F(UntrustedInputTest, TextsAreReadOnlyAsFarAsTheyGo) {
    Bytes unterminated = TypeHeader("desc", 22);
    Put32(unterminated, 8, 500);
    std::memcpy(&unterminated[12], "ABCDEFGHIJ", 10);
    const struct {
        Bytes desc;
        std::string text;
    } cases[] = {
        {unterminated, "ABCDEFGHIJ"},
        {TypeHeader("desc", 8), ""},
        {DescBytes(std::string(300, 'z')), std::string(255, 'z')},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags[kDesc].data = c.desc;
        char text[kProfileTextSize];
        std::memset(text, 'x', sizeof text);
        IccProfile* profile = nullptr;
        ASSERT_EQ(OpenImage(MakeImage(tags), &profile, text), 0);
        EXPECT_EQ(std::string(text), c.text);
        EXPECT_EQ(IccCloseProfile(profile), 0);
    }
}

TEST_F(UntrustedInputTest, LutsThatDoNotFitStayRawBytes) {
    Bytes wrapping = TypeHeader("mft2", 60);
    wrapping[8] = 15;
    wrapping[9] = 15;
    wrapping[10] = 255;
    const Bytes tooLong = LutBytes(true, 3, 3, 2, 65535, 2);
    const Bytes cut(tooLong.begin(), tooLong.begin() + 400);
    const Bytes fits = LutBytes(false, 3, 3, 5);
    const struct {
        const char* name;
        Bytes data;
        bool typed;
    } cases[] = {
        {"g^i wraps", wrapping, false}, {"tables past the data", cut, false}, {"fits", fits, true}};
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags.push_back({Sig("A2B0"), c.data});
        IccProfile* profile = nullptr;
        ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0) << c.name;
        Tag* lut = profile->FindTag(Sig("A2B0"));
        const bool typed =
            dynamic_cast<Lut8Tag*>(lut) != nullptr || dynamic_cast<Lut16Tag*>(lut) != nullptr;
        EXPECT_EQ(typed, c.typed) << c.name;
        const Bytes written = Serialise(profile);
        const TableEntry entry = TagTable(written).back();
        EXPECT_EQ(
            Bytes(written.begin() + entry.offset, written.begin() + entry.offset + entry.size),
            c.data)
            << c.name;
        EXPECT_EQ(IccCloseProfile(profile), 0);
    }
}

// Sharing follows the bytes: an entry shares with the tag made for the
// first entry with the same offset and size, never with another tag that
// merely has that tag's signature.
TEST_F(UntrustedInputTest, SharingFollowsTheBytesNotTheSignature) {
    const Bytes lut = LutBytes(false, 3, 3, 2);
    std::vector<RawTag> tags = RgbDisplayTags();
    tags.push_back({Sig("priv"), TextBytes("short")});
    tags.push_back({Sig("priv"), lut});
    tags.push_back({Sig("A2B0"), lut, int(tags.size() - 1)});
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0);
    auto* shared = dynamic_cast<Lut8Tag*>(profile->FindTag(Sig("A2B0")));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->Size(), lut.size());
    EXPECT_EQ(shared->GridPoints(), 2);

    const Bytes written = Serialise(profile);
    for (const TableEntry& e : TagTable(written)) {
        if (e.signature == Sig("A2B0")) {
            EXPECT_EQ(Bytes(written.begin() + e.offset, written.begin() + e.offset + e.size), lut);
        }
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

// A private tag pointing at a curve's bytes keeps them when the curve is
// rewritten as one gamma: the written file stays consistent.
TEST_F(UntrustedInputTest, PrivateTagOnACurveSurvivesTheUpdate) {
    const Bytes table = CurveBytes(std::vector<uint16_t>(256, 4000));
    std::vector<RawTag> tags = RgbDisplayTags(table);
    tags.push_back({Sig("xTRC"), table, int(kRtrc)});
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0);
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    uint8_t simple;
    ASSERT_EQ(IccExtractInfo(1, profile, &info, &simple), 0);
    ASSERT_EQ(IccUpdateProfile(1, profile, &info), 0);
    const Bytes written = Serialise(profile);
    for (const TableEntry& e : TagTable(written)) {
        ASSERT_LE(uint64_t(e.offset) + e.size, written.size());
        const Bytes data(written.begin() + e.offset, written.begin() + e.offset + e.size);
        if (e.signature == Sig("xTRC")) {
            EXPECT_EQ(data, table);
        }
        if (e.signature == Sig("rTRC")) {
            EXPECT_EQ(e.size, 14u);
        }
    }
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

// Bounds on the work one image may cause: at most 1024 tags, and copies of
// at most 16 times the image (typed tags copy once per table entry).
TEST_F(UntrustedInputTest, WorkIsBoundedByTheImage) {
    const struct {
        const char* name;
        size_t privateTags;
        size_t descCopies;
        int32_t code;
    } cases[] = {
        {"1024 tags", 1024 - 9, 0, 0},
        {"1025 tags", 1025 - 9, 0, -2},
        {"descriptions copied 12 times", 0, 11, 0},
        {"descriptions copied 24 times", 0, 23, -2},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags = RgbDisplayTags();
        tags[kDesc].data = DescBytes(std::string(4000, 'd'));
        for (size_t i = 0; i < c.privateTags; ++i) {
            tags.push_back({Sig("priv") + uint32_t(i), Bytes(4, uint8_t(i))});
        }
        for (size_t i = 0; i < c.descCopies; ++i) {
            tags.push_back({Sig("desc"), tags[kDesc].data, int(kDesc)});
        }
        EXPECT_EQ(Exercise(MakeImage(tags)), c.code) << c.name;
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
