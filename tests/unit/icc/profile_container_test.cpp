// Building, reading, updating and serialising profiles: the layout of the
// image, shared tags, the acceptance rules and the copyright.
#include <string>

#include "icc/copyright_text.h"
#include "icc/display_profile.h"
#include "icc_test_support.h"
#include "lcms_reference.h"

namespace tonalis::icc::testing {
namespace {

ProfileInfo NewRecord(char* text) {
    return ValuesRecord(kHdtv, kD65, 2.2, text);
}

std::string CopyrightOf(IccProfile* profile) {
    TagBuffer tag = {Sig("cprt"), 0, nullptr};
    EXPECT_EQ(IccGetTagData(profile, &tag), 0);
    Bytes bytes(tag.size);
    tag.data = bytes.data();
    EXPECT_EQ(IccGetTagData(profile, &tag), 0);
    return std::string(reinterpret_cast<const char*>(&bytes[8]));
}

class ProfileTest : public IccTest {
  protected:
    IccProfile* Build(const char* description = "Built") {
        std::strcpy(text_, description);
        ProfileInfo info = NewRecord(text_);
        IccProfile* profile = nullptr;
        EXPECT_EQ(IccOpenProfile(1, &info, &profile), 0);
        return profile;
    }
    int32_t Update(IccProfile* profile, const char* description) {
        ProfileInfo info = NewRecord(nullptr);
        if (description != nullptr) {
            std::strcpy(text_, description);
            info.text = text_;
        }
        return IccUpdateProfile(1, profile, &info);
    }

    char text_[kProfileTextSize] = "";
};

TEST_F(ProfileTest, NewProfileImage) {
    IccProfile* profile = Build();
    const Bytes image = Serialise(profile);
    EXPECT_EQ(IccCloseProfile(profile), 0);

    EXPECT_EQ(Get32(image, 0), image.size());
    EXPECT_EQ(image.size() % 4, 0u);
    const struct {
        size_t offset;
        uint32_t value;
    } header[] = {
        {4, Sig("ORVN")},  {8, 0x02100000},   {12, Sig("mntr")}, {16, Sig("RGB ")},
        {20, Sig("XYZ ")}, {36, Sig("acsp")}, {40, Sig("MSFT")}, {44, 0},
        {48, Sig("none")}, {52, 0},           {64, 0},           {68, 0x0000F6D6},
        {72, 0x00010000},  {76, 0x0000D32D},  {80, Sig("ORVN")},
    };
    for (const auto& h : header) {
        EXPECT_EQ(Get32(image, h.offset), h.value) << "offset " << h.offset;
    }
    EXPECT_GE(Get16(image, 24), 2024);
    EXPECT_GE(Get16(image, 26), 1);
    EXPECT_LE(Get16(image, 26), 12);

    const char* order[] = {"cprt", "desc", "wtpt", "bkpt", "rTRC",
                           "gTRC", "bTRC", "rXYZ", "gXYZ", "bXYZ"};
    const std::vector<TableEntry> table = TagTable(image);
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table[0].offset, 252u);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(SigText(table[i].signature), order[i]);
        EXPECT_EQ(table[i].offset % 4, 0u);
        EXPECT_LE(table[i].offset + table[i].size, image.size());
        if (i > 0) {
            EXPECT_EQ(table[i].offset, Align4(table[i - 1].offset + table[i - 1].size));
        }
    }
    // A 14-byte curve is padded with two zero bytes.
    EXPECT_EQ(table[4].size, 14u);
    EXPECT_EQ(Get16(image, table[4].offset + 14), 0);
    EXPECT_EQ(Get16(image, table[4].offset + 12), 563);
}

TEST_F(ProfileTest, ReadingAndWritingAgainGivesTheSameBytes) {
    IccProfile* profile = Build();
    const Bytes first = Serialise(profile);
    EXPECT_EQ(IccCloseProfile(profile), 0);
    char text[kProfileTextSize] = "";
    ASSERT_EQ(OpenImage(first, &profile, text), 0);
    EXPECT_STREQ(text, "Built");
    EXPECT_EQ(Serialise(profile), first);
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(ProfileTest, CurvesPointingAtOneBlockBecomeThreeCopies) {
    std::vector<RawTag> tags = RgbDisplayTags();
    tags[7].sameAs = 6;
    tags[8].sameAs = 6;
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(tags), &profile), 0);
    for (uint32_t s : {Sig("rTRC"), Sig("gTRC"), Sig("bTRC")}) {
        EXPECT_TRUE(profile->FindTag(s)->HasOwnData());
    }
    const std::vector<TableEntry> table = TagTable(Serialise(profile));
    EXPECT_NE(table[6].offset, table[7].offset);
    EXPECT_NE(table[7].offset, table[8].offset);
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(ProfileTest, GenericTagsPointingAtOneBlockStayShared) {
    std::vector<RawTag> tags = RgbDisplayTags();
    const Bytes privateData = TextBytes("private data");
    tags.insert(tags.begin(), {Sig("priv"), privateData});
    tags.push_back({Sig("prix"), privateData, 0});
    const Bytes image = MakeImage(tags);
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(image, &profile), 0);
    Tag* sharer = profile->FindTag(Sig("prix"));
    EXPECT_FALSE(sharer->HasOwnData());
    EXPECT_EQ(sharer->Source(), profile->FindTag(Sig("priv")));

    const Bytes written = Serialise(profile);
    // One block less than the table has entries; the sharer right after its owner.
    EXPECT_EQ(written.size(), image.size());
    const std::vector<TableEntry> table = TagTable(written);
    ASSERT_EQ(table.size(), 11u);
    EXPECT_EQ(table[0].signature, Sig("priv"));
    EXPECT_EQ(table[1].signature, Sig("prix"));
    EXPECT_EQ(table[1].offset, table[0].offset);
    EXPECT_EQ(table[1].size, table[0].size);
    EXPECT_EQ(table[2].signature, Sig("desc"));
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(ProfileTest, AcceptanceRules) {
    const HeaderFields rgb;
    HeaderFields anyVersion;
    anyVersion.version = 0x7F000000;
    HeaderFields scanner;
    scanner.deviceClass = Sig("scnr");
    HeaderFields lab;
    lab.pcs = Sig("Lab ");
    HeaderFields gray;
    gray.colorSpace = Sig("GRAY");
    const struct {
        const char* name;
        HeaderFields fields;
        const char* dropped;
        int32_t code;
    } cases[] = {
        {"plain", rgb, "", 0},        {"any version", anyVersion, "", 0},
        {"scanner", scanner, "", -2}, {"Lab PCS", lab, "", -2},
        {"grey", gray, "", -2},       {"no desc", rgb, "desc", -2},
        {"no cprt", rgb, "cprt", -2}, {"no wtpt", rgb, "wtpt", -2},
        {"no rXYZ", rgb, "rXYZ", -2}, {"no gXYZ", rgb, "gXYZ", -2},
        {"no bXYZ", rgb, "bXYZ", -2}, {"no rTRC", rgb, "rTRC", -2},
        {"no gTRC", rgb, "gTRC", -2}, {"no bTRC", rgb, "bTRC", -2},
    };
    for (const auto& c : cases) {
        std::vector<RawTag> tags;
        for (const RawTag& t : RgbDisplayTags()) {
            if (SigText(t.signature) != c.dropped) {
                tags.push_back(t);
            }
        }
        Bytes image = MakeImage(tags, c.fields);
        Put32(image, 36, 0);  // the file signature is not checked
        IccProfile* profile = nullptr;
        EXPECT_EQ(OpenImage(image, &profile), c.code) << c.name;
        EXPECT_EQ(IccCloseProfile(profile), 0);
        EXPECT_TRUE(log_.live.empty()) << c.name;
    }
}

TEST_F(ProfileTest, UpdateKeepsWhatItDoesNotManage) {
    std::vector<RawTag> tags = RgbDisplayTags();
    tags.push_back({Sig("A2B0"), LutBytes(false, 3, 3, 2)});
    tags.push_back({Sig("priv"), TextBytes("kept")});
    Bytes image = MakeImage(tags);
    Put32(image, 44, 0x00010002);  // flags
    Put32(image, 48, Sig("ACME"));
    image[100] = 0x5A;  // reserved
    IccProfile* profile = nullptr;
    ASSERT_EQ(OpenImage(image, &profile), 0);
    ASSERT_EQ(Update(profile, nullptr), 0);
    const Bytes written = Serialise(profile);
    EXPECT_EQ(Get32(written, 44), 0x00010002u);
    EXPECT_EQ(Get32(written, 48), Sig("ACME"));
    EXPECT_EQ(written[100], 0x5A);
    EXPECT_EQ(Get32(written, 4), Sig("ORVN"));
    EXPECT_EQ(Get32(written, 8), 0x02100000u);

    char text[kProfileTextSize];
    ProfileInfo info = {};
    info.text = text;
    profile->ReadDescription(&info);
    EXPECT_STREQ(text, "Test display");  // a null description keeps it
    ASSERT_EQ(Update(profile, ""), 0);
    profile->ReadDescription(&info);
    EXPECT_STREQ(text, "RGB Display Profile");

    // A zero black point adds no 'bkpt'; a non-zero one does.
    EXPECT_EQ(profile->FindTag(Sig("bkpt")), nullptr);
    ProfileInfo withBlack = NewRecord(nullptr);
    withBlack.black[1] = 0.002;
    ASSERT_EQ(IccUpdateProfile(1, profile, &withBlack), 0);
    EXPECT_EQ(profile->LastTag()->Signature(), Sig("bkpt"));
    EXPECT_EQ(profile->TagCount(), 12u);
    const std::vector<TableEntry> table = TagTable(Serialise(profile));
    EXPECT_EQ(table[9].signature, Sig("A2B0"));
    EXPECT_EQ(table[10].signature, Sig("priv"));
    EXPECT_EQ(IccCloseProfile(profile), 0);
}

TEST_F(ProfileTest, CopyrightRules) {
    ClearCopyrightText();
    const std::string suffix = " Modified using Tonalis";

    IccProfile* first = Build();
    const std::string ours = CopyrightText();
    EXPECT_NE(ours.find("Tonalis"), std::string::npos);
    EXPECT_NE(ours.find("20"), std::string::npos);  // the year
    EXPECT_TRUE(first->CopyrightIsOurs());
    EXPECT_EQ(CopyrightOf(first), ours);
    ASSERT_EQ(Update(first, "Changed"), 0);
    EXPECT_EQ(CopyrightOf(first), ours);

    // Later profiles take the same text but not the flag.
    IccProfile* second = Build();
    EXPECT_FALSE(second->CopyrightIsOurs());
    EXPECT_EQ(CopyrightOf(second), ours);
    ASSERT_EQ(Update(second, nullptr), 0);
    EXPECT_EQ(CopyrightOf(second), ours + suffix);

    // A profile from elsewhere gets the suffix once.
    IccProfile* read = nullptr;
    ASSERT_EQ(OpenImage(MakeImage(RgbDisplayTags()), &read), 0);
    ASSERT_EQ(Update(read, nullptr), 0);
    ASSERT_EQ(Update(read, nullptr), 0);
    EXPECT_EQ(CopyrightOf(read), "No copyright, use freely" + suffix);

    for (IccProfile* p : {first, second, read}) {
        EXPECT_EQ(IccCloseProfile(p), 0);
    }
}

}  // namespace
}  // namespace tonalis::icc::testing
