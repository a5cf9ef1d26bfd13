// Removing a tag: what goes, what must stay, and the tags that shared its
// bytes.
#include <gtest/gtest.h>

#include <algorithm>

#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

class RemoveTagTest : public IccTest {
  protected:
    // An RGB monitor profile followed by the given private tags.
    Bytes ImageWith(const std::vector<RawTag>& extra) {
        std::vector<RawTag> tags = RgbDisplayTags();
        const int base = int(tags.size());
        for (RawTag tag : extra) {
            if (tag.sameAs >= 0) {
                tag.sameAs += base;
            }
            tags.push_back(tag);
        }
        return MakeImage(tags);
    }

    static Bytes Fill(uint8_t seed, size_t size) {
        Bytes b = TypeHeader("priv", size);
        for (size_t k = 8; k < size; ++k) {
            b[k] = uint8_t(seed + k);
        }
        return b;
    }

    static Bytes TagBytes(IccProfile* profile, const char (&signature)[5]) {
        TagBuffer tag = {Sig(signature), 0, nullptr};
        if (IccGetTagData(profile, &tag) != 0) {
            return {};
        }
        Bytes bytes(tag.size, 0);
        tag.data = bytes.data();
        EXPECT_EQ(IccGetTagData(profile, &tag), 0);
        return bytes;
    }

    static std::vector<std::string> Signatures(const Bytes& image) {
        std::vector<std::string> names;
        for (const TableEntry& entry : TagTable(image)) {
            names.push_back(SigText(entry.signature));
        }
        return names;
    }
};

TEST_F(RemoveTagTest, ATagOfAnotherSizeCanTakeThePlaceOfTheRemovedOne) {
    const Bytes old = Fill(1, 40);
    const Bytes kept = Fill(9, 24);
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(ImageWith({{Sig("vcgt"), old}, {Sig("keep"), kept}}), &profile), 0);

    const Bytes replacement = Fill(5, 64);
    TagBuffer tag = {Sig("vcgt"), uint32_t(replacement.size()),
                     const_cast<uint8_t*>(replacement.data())};
    EXPECT_EQ(IccSetTagData(profile, &tag), -2) << "a size change needs the removal first";
    ASSERT_EQ(IccRemoveTag(profile, Sig("vcgt")), 0);
    EXPECT_TRUE(TagBytes(profile, "vcgt").empty());
    ASSERT_EQ(IccSetTagData(profile, &tag), 0);

    const Bytes written = Serialise(profile);
    IccCloseProfile(profile);
    IccProfile* reread = nullptr;
    ASSERT_EQ(OpenImage(written, &reread), 0);
    EXPECT_EQ(TagBytes(reread, "vcgt"), replacement);
    EXPECT_EQ(TagBytes(reread, "keep"), kept);
    const std::vector<std::string> names = Signatures(written);
    EXPECT_EQ(std::count(names.begin(), names.end(), "vcgt"), 1);
    EXPECT_EQ(names.back(), "vcgt");
    IccCloseProfile(reread);
}

TEST_F(RemoveTagTest, RefusesMissingAndRequiredTagsAndChangesNothing) {
    IccProfile* profile = nullptr;
    const Bytes image = ImageWith({{Sig("priv"), Fill(3, 20)}});
    ASSERT_EQ(OpenImage(image, &profile), 0);
    const Bytes before = Serialise(profile);

    EXPECT_EQ(IccRemoveTag(nullptr, Sig("priv")), -1);
    for (const char* name :
         {"vcgt", "desc", "cprt", "wtpt", "rTRC", "gTRC", "bTRC", "rXYZ", "gXYZ", "bXYZ"}) {
        const uint32_t signature = LoadBig32(reinterpret_cast<const uint8_t*>(name));
        EXPECT_EQ(IccRemoveTag(profile, signature), -2) << name;
    }
    EXPECT_EQ(Serialise(profile), before);
    IccCloseProfile(profile);
}

TEST_F(RemoveTagTest, TheFirstTagInTheListCanGo) {
    std::vector<RawTag> tags = RgbDisplayTags();
    tags.insert(tags.begin(), {Sig("head"), Fill(7, 16)});
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0);
    ASSERT_EQ(IccRemoveTag(profile, Sig("head")), 0);
    const Bytes written = Serialise(profile);
    EXPECT_EQ(Signatures(written).front(), "desc");
    EXPECT_EQ(Signatures(written).size(), tags.size() - 1);
    IccCloseProfile(profile);
}

TEST_F(RemoveTagTest, TagsThatSharedTheBytesKeepThemAndStillShareOneCopy) {
    const Bytes shared = Fill(11, 36);
    IccProfile* profile = nullptr;
    ASSERT_EQ(
        OpenImage(
            ImageWith({{Sig("own1"), shared}, {Sig("shr2"), shared, 0}, {Sig("shr3"), shared, 0}}),
            &profile),
        0);
    const Bytes before = Serialise(profile);

    ASSERT_EQ(IccRemoveTag(profile, Sig("own1")), 0);
    EXPECT_EQ(TagBytes(profile, "shr2"), shared);
    EXPECT_EQ(TagBytes(profile, "shr3"), shared);

    const Bytes written = Serialise(profile);
    // One table entry fewer; the data block is still written only once.
    EXPECT_EQ(written.size(), before.size() - 12);
    uint32_t offset2 = 0, offset3 = 0;
    for (const TableEntry& entry : TagTable(written)) {
        if (entry.signature == Sig("shr2"))
            offset2 = entry.offset;
        if (entry.signature == Sig("shr3"))
            offset3 = entry.offset;
    }
    EXPECT_NE(offset2, 0u);
    EXPECT_EQ(offset2, offset3);
    IccCloseProfile(profile);
}

TEST_F(RemoveTagTest, RewritingSharedBytesLeavesTheSharersTheirOldBytes) {
    const Bytes shared = Fill(19, 40);
    const Bytes replacement = Fill(23, 40);
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(ImageWith({{Sig("own1"), shared}, {Sig("shr2"), shared, 0}}), &profile), 0);

    TagBuffer tag = {Sig("own1"), uint32_t(replacement.size()),
                     const_cast<uint8_t*>(replacement.data())};
    ASSERT_EQ(IccSetTagData(profile, &tag), 0);

    EXPECT_EQ(TagBytes(profile, "own1"), replacement);
    EXPECT_EQ(TagBytes(profile, "shr2"), shared);
    const Bytes written = Serialise(profile);
    IccCloseProfile(profile);
    ASSERT_EQ(OpenImage(written, &profile), 0);
    EXPECT_EQ(TagBytes(profile, "own1"), replacement);
    EXPECT_EQ(TagBytes(profile, "shr2"), shared);
    IccCloseProfile(profile);
}

TEST_F(RemoveTagTest, RemovingASharerLeavesTheOwner) {
    const Bytes shared = Fill(13, 28);
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(ImageWith({{Sig("own1"), shared}, {Sig("shr2"), shared, 0}}), &profile), 0);
    ASSERT_EQ(IccRemoveTag(profile, Sig("shr2")), 0);
    EXPECT_EQ(TagBytes(profile, "own1"), shared);
    EXPECT_TRUE(TagBytes(profile, "shr2").empty());
    IccCloseProfile(profile);
}

TEST_F(RemoveTagTest, OutOfMemoryWhileCopyingForTheSharersChangesNothing) {
    const Bytes shared = Fill(17, 44);
    const Bytes image =
        ImageWith({{Sig("own1"), shared}, {Sig("shr2"), shared, 0}, {Sig("shr3"), shared, 0}});
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(image, &profile), 0);
    const Bytes before = Serialise(profile);
    // Fail the first, second, ... allocation of the removal until it needs no
    // more: every failure must leave the profile exactly as it was.
    long failing = 0;
    for (;; ++failing) {
        ASSERT_LT(failing, 10) << "the removal never succeeded";
        log_.failAt = long(log_.requests.size()) + failing;
        const int32_t code = IccRemoveTag(profile, Sig("own1"));
        log_.failAt = -1;
        if (code == 0) {
            break;
        }
        EXPECT_EQ(code, -3) << "failing allocation " << failing;
        EXPECT_EQ(Serialise(profile), before) << "failing allocation " << failing;
    }
    EXPECT_GE(failing, 2) << "a copy for one sharer and the sharing stand-in for the other";
    EXPECT_EQ(TagBytes(profile, "shr2"), shared);
    EXPECT_EQ(TagBytes(profile, "shr3"), shared);
    IccCloseProfile(profile);
}

}  // namespace
}  // namespace tonalis::icc::testing
