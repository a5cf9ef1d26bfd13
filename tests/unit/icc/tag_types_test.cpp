// Write-then-read round trips of every tag type, checked against the byte
// layouts written out by hand in the test support.
#include <cmath>
#include <string>

#include "icc/curve_tag.h"
#include "icc/exception.h"
#include "icc/lut_tags.h"
#include "icc/text_tags.h"
#include "icc/xyz_tag.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

class TagTest : public IccTest {
  protected:
    // The hooks of this test are installed only in SetUp.
    void SetUp() override {
        IccTest::SetUp();
        pool_ = MemoryPool(MemoryPool::kWithInstalledHooks);
    }
    void TearDown() override {
        pool_.ReleaseAll();
        IccTest::TearDown();
    }

    Bytes BytesOf(const Tag& tag) {
        Bytes out(tag.Size());
        tag.CopyOut(out.data(), tag.Size());
        return out;
    }

    template <class T, class... Args>
    T* Make(Args... args) {
        return new (&pool_) T(&pool_, nullptr, args...);
    }

    int32_t CodeOf(void (*operation)(Tag*), Tag* tag) {
        try {
            operation(tag);
        } catch (const Exception& e) {
            return e.Code();
        }
        return 0;
    }

    MemoryPool pool_;
};

TEST_F(TagTest, XyzRoundTrip) {
    const double cases[][3] = {
        {0.9642, 1.0, 0.8249}, {-0.25, 0.5, 1.9999}, {0.0, 0.0, 0.0}, {0.4361, 0.2225, 0.0139}};
    for (const auto& c : cases) {
        XYZTag* made = Make<XYZTag>(Sig("rXYZ"), c[0], c[1], c[2]);
        const Bytes bytes = BytesOf(*made);
        EXPECT_EQ(bytes, XyzBytes(c[0], c[1], c[2]));
        EXPECT_EQ(made->TypeSignature(), Sig("XYZ "));
        XYZTag* read = Make<XYZTag>(Sig("rXYZ"), bytes.data(), uint32_t(bytes.size()));
        double xyz[3];
        read->GetXYZ(xyz);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(xyz[i], c[i], 0.5 / 65536);
        }
    }
}

TEST_F(TagTest, CurveRoundTrip) {
    const struct {
        double gamma;
        uint16_t stored;
        double readBack;
    } cases[] = {
        {2.2, 563, 2.19921875}, {1.8, 461, 1.80078125}, {1.0, 256, 1.0}, {2.61, 668, 2.609375}};
    for (const auto& c : cases) {
        CurveTag* made = Make<CurveTag>(Sig("rTRC"), c.gamma);
        const Bytes bytes = BytesOf(*made);
        EXPECT_EQ(bytes, CurveBytes({c.stored})) << c.gamma;
        CurveTag* read = Make<CurveTag>(Sig("rTRC"), bytes.data(), uint32_t(bytes.size()));
        double gamma;
        bool simple;
        read->GetGamma(&gamma, &simple);
        EXPECT_DOUBLE_EQ(gamma, c.readBack);
        EXPECT_TRUE(simple);
    }
}

TEST_F(TagTest, CurveSetGammaTurnsATableIntoOneEntry) {
    const Bytes table = CurveBytes(std::vector<uint16_t>(256, 1000));
    CurveTag* curve = Make<CurveTag>(Sig("gTRC"), table.data(), uint32_t(table.size()));
    curve->SetGamma(1.8);
    EXPECT_EQ(BytesOf(*curve), CurveBytes({461}));

    // Too short for a count and an entry: a new buffer, nothing written past the old one.
    const Bytes shortCurve = {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0};
    CurveTag* truncated = Make<CurveTag>(Sig("bTRC"), shortCurve.data(), 10u);
    truncated->SetGamma(2.2);
    EXPECT_EQ(BytesOf(*truncated), CurveBytes({563}));
}

TEST_F(TagTest, CurveTableOutput) {
    const std::vector<uint16_t> entries = {0, 257, 32768, 65534, 65535};
    const Bytes bytes = CurveBytes(entries);
    CurveTag* curve = Make<CurveTag>(Sig("rTRC"), bytes.data(), uint32_t(bytes.size()));
    ASSERT_EQ(curve->EntryCount(), 5u);
    uint8_t levels[5];
    curve->GetTable(true, levels);
    const uint8_t expectedLevels[5] = {0, 1, 128, 255, 255};
    uint16_t values[5];
    curve->GetTable(false, values);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(levels[k], expectedLevels[k]) << k;
        EXPECT_EQ(values[k], entries[size_t(k)]) << k;
    }
}

TEST_F(TagTest, DescriptionRoundTrip) {
    const std::string texts[] = {"RGB Display Profile", "", "x", std::string(255, 'd')};
    for (const std::string& text : texts) {
        TextDescriptionTag* made = Make<TextDescriptionTag>(Sig("desc"), text.c_str());
        const Bytes bytes = BytesOf(*made);
        // One zero byte more than the v2 fields need.
        Bytes expected = DescBytes(text);
        expected.push_back(0);
        EXPECT_EQ(bytes, expected) << text;
        TextDescriptionTag* read =
            Make<TextDescriptionTag>(Sig("desc"), bytes.data(), uint32_t(bytes.size()));
        char out[kTextBufferSize];
        read->GetText(out);
        EXPECT_EQ(std::string(out), text);
    }
    TextDescriptionTag* standard = Make<TextDescriptionTag>(Sig("desc"), "RGB Display Profile");
    EXPECT_EQ(standard->Size(), 111u);
    EXPECT_EQ(Get32(BytesOf(*standard), 8), 20u);
}

TEST_F(TagTest, DescriptionSetTextAndLongText) {
    const Bytes long300 = DescBytes(std::string(300, 'L'));
    TextDescriptionTag* desc =
        Make<TextDescriptionTag>(Sig("desc"), long300.data(), uint32_t(long300.size()));
    char out[kTextBufferSize];
    desc->GetText(out);
    EXPECT_EQ(std::string(out), std::string(255, 'L'));

    const char* replacements[] = {"short", nullptr, "a longer description than before"};
    std::string current = "short";
    for (const char* text : replacements) {
        desc->SetText(text);
        if (text != nullptr) {
            current = text;
        }
        Bytes expected = DescBytes(current);
        expected.push_back(0);
        EXPECT_EQ(BytesOf(*desc), expected);
    }
}

TEST_F(TagTest, TextRoundTripAndReplace) {
    const std::string copyright(34, 'c');
    TextTag* text = Make<TextTag>(Sig("cprt"), copyright.c_str());
    EXPECT_EQ(text->Size(), 43u);
    const Bytes bytes = BytesOf(*text);
    EXPECT_EQ(bytes, TextBytes(copyright));
    TextTag* read = Make<TextTag>(Sig("cprt"), bytes.data(), uint32_t(bytes.size()));
    char out[kTextBufferSize];
    read->GetText(out);
    EXPECT_EQ(std::string(out), copyright);

    for (const std::string replacement : {"shorter", "now a much longer copyright text here"}) {
        read->SetText(replacement.c_str(), TextTag::kReplace);
        EXPECT_EQ(BytesOf(*read), TextBytes(replacement));
    }
}

TEST_F(TagTest, TextAppendRules) {
    const std::string suffix = " Modified using Tonalis";
    const struct {
        std::string stored;
        std::string after;
    } cases[] = {
        {"Copyright X", "Copyright X" + suffix},
        {"Copyright X" + suffix, "Copyright X" + suffix},
        {"A" + suffix + " and more", "A" + suffix + " and more"},
        {std::string(232, 'a'), std::string(232, 'a') + suffix},  // exactly 255
        {std::string(233, 'b'), std::string(233, 'b')},           // would not fit
        {std::string(400, 'c'), std::string(400, 'c')},
    };
    for (const auto& c : cases) {
        const Bytes bytes = TextBytes(c.stored);
        TextTag* text = Make<TextTag>(Sig("cprt"), bytes.data(), uint32_t(bytes.size()));
        text->SetText(suffix.c_str(), TextTag::kAppend);
        EXPECT_EQ(BytesOf(*text), TextBytes(c.after)) << c.stored.size();
    }
}

TEST_F(TagTest, SharingTagSeesItsSource) {
    const Bytes raw = {'r', 'a', 'w', ' ', 0, 0, 0, 0, 1, 2, 3, 4, 5};
    Tag* owner = Make<Tag>(Sig("priv"), raw.data(), uint32_t(raw.size()));
    Tag* sharer = new (&pool_) Tag(&pool_, owner, Sig("priw"), owner);
    EXPECT_EQ(owner->Next(), sharer);
    EXPECT_EQ(sharer->Previous(), owner);
    EXPECT_FALSE(sharer->HasOwnData());
    EXPECT_EQ(sharer->Source(), owner);
    EXPECT_EQ(BytesOf(*sharer), raw);
    EXPECT_EQ(sharer->TypeSignature(), Sig("raw "));
    EXPECT_EQ(CodeOf(
                  [](Tag* t) {
                      uint8_t b[4];
                      t->CopyOut(b, 4);
                  },
                  sharer),
              -4);
}

TEST_F(TagTest, Lut8Tables) {
    const Bytes bytes = LutBytes(false, 3, 2, 3);
    Lut8Tag* lut = Make<Lut8Tag>(Sig("A2B0"), bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(lut->InputChannels(), 3);
    EXPECT_EQ(lut->OutputChannels(), 2);
    EXPECT_EQ(lut->GridPoints(), 3);
    const size_t clutOffset = 48 + 3 * 256;
    const size_t clutSize = 27 * 2;
    EXPECT_EQ(lut->Clut() - lut->InputTables(), 3 * 256);
    EXPECT_EQ(lut->OutputTables() - lut->Clut(), ptrdiff_t(clutSize));
    Bytes clut(clutSize);
    lut->GetClut(clut.data());
    EXPECT_EQ(clut, Bytes(bytes.begin() + clutOffset, bytes.begin() + clutOffset + clutSize));

    uint8_t ramp[256];
    for (int k = 0; k < 256; ++k) {
        ramp[k] = uint8_t(255 - k);
    }
    const LutTableSpec specs[3] = {{0, 256, nullptr}, {1, 256, ramp}, {2, 256, ramp}};
    lut->SetInputTables(3, specs);
    const uint8_t* tables = lut->InputTables();
    EXPECT_EQ(tables[127], 0x00);
    EXPECT_EQ(tables[128], 0xFF);
    EXPECT_EQ(tables[256 + 10], 245);
    EXPECT_EQ(tables[512 + 255], 0);

    const LutTableSpec badKind[3] = {{1, 256, ramp}, {7, 256, ramp}, {0, 256, nullptr}};
    const LutTableSpec badCount[3] = {{1, 256, ramp}, {1, 128, ramp}, {0, 256, nullptr}};
    for (const LutTableSpec* bad : {badKind, badCount}) {
        try {
            lut->SetInputTables(3, bad);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Code(), -1);
        }
        EXPECT_EQ(tables[0], 255);  // channel 0 written before the failure
        EXPECT_EQ(tables[256 + 10], 245);
    }
    try {
        lut->SetInputTables(2, specs);
        ADD_FAILURE() << "accepted two channels";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Code(), -1);
    }
}

TEST_F(TagTest, Lut16Tables) {
    const Bytes bytes = LutBytes(true, 2, 3, 2, 4, 3);
    Lut16Tag* lut = Make<Lut16Tag>(Sig("B2A0"), bytes.data(), uint32_t(bytes.size()));
    EXPECT_EQ(lut->InputEntries(), 4);
    EXPECT_EQ(lut->OutputEntries(), 3);
    ASSERT_EQ(lut->ClutValues(), 12u);

    std::vector<uint16_t> clut(12);
    for (size_t k = 0; k < clut.size(); ++k) {
        clut[k] = uint16_t(1000 * k + 1);
    }
    lut->SetClut(clut.data());
    for (size_t k = 0; k < clut.size(); ++k) {
        EXPECT_EQ(LoadBig16(lut->Clut() + 2 * k), clut[k]);
    }

    const uint8_t eight[4] = {0, 1, 128, 255};
    const uint16_t sixteen[4] = {9, 8, 7, 6};
    const LutTableSpec inputs[2] = {{0, 4, nullptr}, {1, 4, eight}};
    lut->SetInputTables(2, inputs);
    const uint16_t expectedInputs[8] = {0, 21845, 43690, 65535, 0, 257, 32896, 65535};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(LoadBig16(lut->InputTables() + 2 * k), expectedInputs[k]) << k;
    }
    const LutTableSpec outputs[3] = {{2, 3, sixteen}, {0, 3, nullptr}, {2, 3, sixteen + 1}};
    lut->SetOutputTables(3, outputs);
    const uint16_t expectedOutputs[9] = {9, 8, 7, 0, 32768, 65535, 8, 7, 6};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(LoadBig16(lut->OutputTables() + 2 * k), expectedOutputs[k]) << k;
    }

    // A later spec longer than the table must not spill into the next area.
    const LutTableSpec longer[2] = {{2, 4, sixteen}, {2, 400, sixteen}};
    try {
        lut->SetInputTables(2, longer);
        ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Code(), -1);
    }
    EXPECT_EQ(LoadBig16(lut->Clut()), clut[0]);
}

TEST_F(TagTest, LutLayoutMustFitItsData) {
    const Bytes lut8 = LutBytes(false, 3, 3, 17);
    const struct {
        Bytes bytes;
        bool fits;
    } cases[] = {
        {lut8, true},
        {Bytes(lut8.begin(), lut8.end() - 1), false},
        {LutBytes(true, 3, 3, 9, 256, 256), true},
        {Bytes(47, 0), false},
    };
    for (const auto& c : cases) {
        const bool sixteen = c.bytes.size() >= 4 && Get32(c.bytes, 0) == Sig("mft2");
        const bool fits = sixteen ? Lut16Tag::LayoutFits(c.bytes.data(), uint32_t(c.bytes.size()))
                                  : Lut8Tag::LayoutFits(c.bytes.data(), uint32_t(c.bytes.size()));
        EXPECT_EQ(fits, c.fits) << c.bytes.size();
    }
    // A grid whose g^i x o wraps in 32 bits is refused, not wrapped.
    Bytes huge = TypeHeader("mft2", 52);
    huge[8] = 15;
    huge[9] = 15;
    huge[10] = 255;
    EXPECT_FALSE(Lut16Tag::LayoutFits(huge.data(), 52));
}

}  // namespace
}  // namespace tonalis::icc::testing
