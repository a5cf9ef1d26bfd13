// Write-then-read round trips of every tag type, checked against the byte
// layouts written out by hand in the test support.
#include <functional>
#include <string>

#include "icc/curve_tag.h"
#include "icc/exception.h"
#include "icc/lut_tags.h"
#include "icc/text_tags.h"
#include "icc/xyz_tag.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

class TagTest : public PoolTest {
  protected:
    Bytes BytesOf(const Tag& tag) {
        Bytes out(tag.Size());
        tag.CopyOut(out.data(), tag.Size());
        return out;
    }
    template <class T, class... Args>
    T* Make(Args... args) {
        return new (&pool_) T(&pool_, nullptr, args...);
    }
    template <class T>
    T* Read(const Bytes& bytes) {
        return Make<T>(Sig("test"), bytes.data(), uint32_t(bytes.size()));
    }
};

TEST_F(TagTest, XyzRoundTrip) {
    const double cases[][3] = {{0.9642, 1.0, 0.8249}, {-0.25, 0.5, 1.9999}, {0.0, 0.0, 0.0}};
    for (const auto& c : cases) {
        const Bytes bytes = BytesOf(*Make<XYZTag>(Sig("rXYZ"), c[0], c[1], c[2]));
        EXPECT_EQ(bytes, XyzBytes(c[0], c[1], c[2]));
        double xyz[3];
        Read<XYZTag>(bytes)->GetXYZ(xyz);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(xyz[i], c[i], 0.5 / 65536);
        }
    }
}

TEST_F(TagTest, CurveRoundTripAndSetGamma) {
    const struct {
        double gamma;
        uint16_t stored;
        double readBack;
    } cases[] = {{2.2, 563, 2.19921875}, {1.8, 461, 1.80078125}, {2.61, 668, 2.609375}};
    for (const auto& c : cases) {
        const Bytes bytes = BytesOf(*Make<CurveTag>(Sig("rTRC"), c.gamma));
        EXPECT_EQ(bytes, CurveBytes({c.stored})) << c.gamma;
        double gamma;
        bool simple;
        Read<CurveTag>(bytes)->GetGamma(&gamma, &simple);
        EXPECT_DOUBLE_EQ(gamma, c.readBack);
        EXPECT_TRUE(simple);
    }
    // A table, and a buffer too short for count and entry, both become one
    // 14-byte gamma without a write past the old buffer.
    for (const Bytes& old : {CurveBytes(std::vector<uint16_t>(256, 1000)),
                             Bytes{'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0}}) {
        CurveTag* curve = Read<CurveTag>(old);
        curve->SetGamma(1.8);
        EXPECT_EQ(BytesOf(*curve), CurveBytes({461}));
    }
    uint8_t levels[4];
    Read<CurveTag>(CurveBytes({0, 257, 32768, 65534}))->GetTable(true, levels);
    EXPECT_EQ(Bytes(levels, levels + 4), (Bytes{0, 1, 128, 255}));
}

TEST_F(TagTest, DescriptionRoundTripAndSetText) {
    for (const std::string& text :
         {std::string("RGB Display Profile"), std::string(), std::string(255, 'd')}) {
        const Bytes bytes = BytesOf(*Make<TextDescriptionTag>(Sig("desc"), text.c_str()));
        Bytes expected = DescBytes(text);
        expected.push_back(0);  // one zero more than the fields need
        EXPECT_EQ(bytes, expected);
        char out[kTextBufferSize];
        Read<TextDescriptionTag>(bytes)->GetText(out);
        EXPECT_EQ(std::string(out), text);
    }
    EXPECT_EQ(Make<TextDescriptionTag>(Sig("desc"), "RGB Display Profile")->Size(), 111u);

    TextDescriptionTag* desc = Read<TextDescriptionTag>(DescBytes(std::string(300, 'L')));
    char out[kTextBufferSize];
    desc->GetText(out);
    EXPECT_EQ(std::string(out), std::string(255, 'L'));
    std::string current;
    for (const char* text : {"short", static_cast<const char*>(nullptr), "a longer text now"}) {
        desc->SetText(text);
        current = text != nullptr ? text : current;
        Bytes expected = DescBytes(current);
        expected.push_back(0);
        EXPECT_EQ(BytesOf(*desc), expected);
    }
}

TEST_F(TagTest, TextRoundTripAndReplace) {
    const std::string copyright(34, 'c');
    TextTag* text = Make<TextTag>(Sig("cprt"), copyright.c_str());
    EXPECT_EQ(text->Size(), 43u);
    EXPECT_EQ(BytesOf(*text), TextBytes(copyright));
    for (const std::string replacement : {"shorter", "now a much longer copyright text here"}) {
        text->SetText(replacement.c_str(), TextTag::kReplace);
        EXPECT_EQ(BytesOf(*text), TextBytes(replacement));
    }
}

TEST_F(TagTest, TextAppendWorksWithinTheWorkingBuffer) {
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
        TextTag* text = Read<TextTag>(TextBytes(c.stored));
        text->SetText(suffix.c_str(), TextTag::kAppend);
        EXPECT_EQ(BytesOf(*text), TextBytes(c.after)) << c.stored.size();
    }
}

int32_t CodeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Exception& e) {
        return e.Code();
    }
    return 0;
}

TEST_F(TagTest, Lut8Tables) {
    const Bytes bytes = LutBytes(false, 3, 2, 3);
    Lut8Tag* lut = Read<Lut8Tag>(bytes);
    EXPECT_EQ(lut->GridPoints(), 3);
    Bytes clut(27 * 2);
    lut->GetClut(clut.data());
    const size_t clutOffset = 48 + 3 * 256;
    EXPECT_EQ(clut, Bytes(bytes.begin() + clutOffset, bytes.begin() + clutOffset + clut.size()));
    EXPECT_EQ(lut->OutputTables() - lut->InputTables(), 3 * 256 + 54);

    uint8_t ramp[256];
    for (int k = 0; k < 256; ++k) {
        ramp[k] = uint8_t(255 - k);
    }
    const LutTableSpec contents[3] = {{0, 256, nullptr}, {1, 256, ramp}, {2, 256, ramp}};
    lut->SetInputTables(3, contents);
    const uint8_t* tables = lut->InputTables();
    EXPECT_EQ(tables[127], 0x00);
    EXPECT_EQ(tables[128], 0xFF);
    EXPECT_EQ(tables[256 + 10], 245);

    // Wrong kind, entry count or channel count: -1, earlier channels written.
    const LutTableSpec badKind[3] = {{1, 256, ramp}, {7, 256, ramp}, {0, 256, nullptr}};
    const LutTableSpec badCount[3] = {{2, 256, ramp}, {1, 128, ramp}, {0, 256, nullptr}};
    EXPECT_EQ(CodeOf([&] { lut->SetInputTables(3, badKind); }), -1);
    EXPECT_EQ(CodeOf([&] { lut->SetInputTables(3, badCount); }), -1);
    EXPECT_EQ(CodeOf([&] { lut->SetInputTables(2, contents); }), -1);
    EXPECT_EQ(tables[0], 255);
    EXPECT_EQ(tables[256 + 10], 245);
}

TEST_F(TagTest, Lut16Tables) {
    Lut16Tag* lut = Read<Lut16Tag>(LutBytes(true, 2, 3, 2, 4, 3));
    ASSERT_EQ(lut->ClutValues(), 12u);
    std::vector<uint16_t> clut(12);
    for (size_t k = 0; k < clut.size(); ++k) {
        clut[k] = uint16_t(1000 * k + 1);
    }
    lut->SetClut(clut.data());
    EXPECT_EQ(LoadBig16(lut->Clut() + 22), 11001);

    const uint8_t eight[4] = {0, 1, 128, 255};
    const uint16_t sixteen[4] = {9, 8, 7, 6};
    const LutTableSpec inputs[2] = {{0, 4, nullptr}, {1, 4, eight}};
    lut->SetInputTables(2, inputs);
    const LutTableSpec outputs[3] = {{2, 3, sixteen}, {0, 3, nullptr}, {2, 3, sixteen + 1}};
    lut->SetOutputTables(3, outputs);
    const struct {
        const uint8_t* area;
        std::vector<uint16_t> values;
    } expected[] = {
        {lut->InputTables(), {0, 21845, 43690, 65535, 0, 257, 32896, 65535}},
        {lut->OutputTables(), {9, 8, 7, 0, 32768, 65535, 8, 7, 6}},
    };
    for (const auto& e : expected) {
        for (size_t k = 0; k < e.values.size(); ++k) {
            EXPECT_EQ(LoadBig16(e.area + 2 * k), e.values[k]) << k;
        }
    }
    // Later content longer than the table must not spill into the CLUT.
    const LutTableSpec longer[2] = {{2, 4, sixteen}, {2, 400, sixteen}};
    EXPECT_EQ(CodeOf([&] { lut->SetInputTables(2, longer); }), -1);
    EXPECT_EQ(LoadBig16(lut->Clut()), clut[0]);
}

TEST_F(TagTest, LutLayoutMustFitItsData) {
    const Bytes lut8 = LutBytes(false, 3, 3, 17);
    Bytes wrapping = TypeHeader("mft2", 52);  // 255^15 x 15 wraps in 32 bits
    wrapping[8] = wrapping[9] = 15;
    wrapping[10] = 255;
    EXPECT_TRUE(Lut8Tag::LayoutFits(lut8.data(), uint32_t(lut8.size())));
    EXPECT_FALSE(Lut8Tag::LayoutFits(lut8.data(), uint32_t(lut8.size() - 1)));
    EXPECT_FALSE(Lut8Tag::LayoutFits(lut8.data(), 47));
    EXPECT_FALSE(Lut16Tag::LayoutFits(wrapping.data(), 52));
    EXPECT_EQ(CodeOf([&] { Read<Lut16Tag>(wrapping); }), -2);
}

}  // namespace
}  // namespace tonalis::icc::testing
