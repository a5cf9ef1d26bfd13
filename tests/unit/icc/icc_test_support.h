// Shared helpers of the ICC library tests: hooks that log every block,
// hand-made tag bytes and profile images, and open/write shortcuts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "icc/byte_order.h"
#include "icc/icc_library.h"
#include "icc/memory_pool.h"

namespace tonalis::icc::testing {

using Bytes = std::vector<uint8_t>;

// Hooks whose user word points at this log. failAt makes the allocation of
// that index (0-based) fail.
struct AllocationLog {
    std::map<void*, size_t> live;
    std::vector<size_t> requests;
    int doubleFrees = 0;
    long failAt = -1;

    static void* Allocate(size_t size, uintptr_t user) {
        auto* log = reinterpret_cast<AllocationLog*>(user);
        const long index = long(log->requests.size());
        log->requests.push_back(size);
        if (index == log->failAt) {
            return nullptr;
        }
        void* block = std::malloc(size);
        std::memset(block, 0xA5, size);  // the pool must zero it itself
        log->live[block] = size;
        return block;
    }
    static void Free(void* block, uintptr_t user) {
        auto* log = reinterpret_cast<AllocationLog*>(user);
        if (log->live.erase(block) == 0) {
            ++log->doubleFrees;
            return;
        }
        std::free(block);
    }
    AllocatorHooks Hooks() { return {Allocate, Free, reinterpret_cast<uintptr_t>(this)}; }
};

// Installs logging hooks around each test and checks that nothing leaked.
class IccTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(IccLibInit(&hooks_), 0); }
    void TearDown() override {
        IccLibShutdown();
        EXPECT_EQ(log_.live.size(), 0u) << "blocks left allocated";
        EXPECT_EQ(log_.doubleFrees, 0);
        for (auto& entry : log_.live) {
            std::free(entry.first);
        }
    }

    AllocationLog log_;
    AllocatorHooks hooks_ = log_.Hooks();
};

// A pool for tags made directly in a test. Its first block stands where a
// profile's own object heads its pool.
class PoolTest : public IccTest {
  protected:
    void SetUp() override {
        IccTest::SetUp();
        pool_ = MemoryPool(MemoryPool::kWithInstalledHooks);
        pool_.Allocate(0);
    }
    void TearDown() override {
        pool_.ReleaseAll();
        IccTest::TearDown();
    }

    MemoryPool pool_;
};

inline void Put32(Bytes& b, size_t offset, uint32_t v) {
    StoreBig32(&b[offset], v);
}
inline uint32_t Get32(const Bytes& b, size_t offset) {
    return LoadBig32(&b[offset]);
}
inline uint16_t Get16(const Bytes& b, size_t offset) {
    return LoadBig16(&b[offset]);
}

inline Bytes TypeHeader(const char (&type)[5], size_t size) {
    Bytes b(size, 0);
    Put32(b, 0, Sig(type));
    return b;
}

inline int32_t Fixed(double v) {
    return int32_t(v * 65536.0 + (v < 0 ? -0.5 : 0.5));
}

inline Bytes XyzBytes(double x, double y, double z) {
    Bytes b = TypeHeader("XYZ ", 20);
    Put32(b, 8, uint32_t(Fixed(x)));
    Put32(b, 12, uint32_t(Fixed(y)));
    Put32(b, 16, uint32_t(Fixed(z)));
    return b;
}

inline Bytes CurveBytes(const std::vector<uint16_t>& entries) {
    Bytes b = TypeHeader("curv", 12 + 2 * entries.size());
    Put32(b, 8, uint32_t(entries.size()));
    for (size_t k = 0; k < entries.size(); ++k) {
        StoreBig16(&b[12 + 2 * k], entries[k]);
    }
    return b;
}

// The ICC v2 layout of 'desc' with empty Unicode and ScriptCode parts.
inline Bytes DescBytes(const std::string& text) {
    Bytes b = TypeHeader("desc", 12 + text.size() + 1 + 4 + 4 + 2 + 1 + 67);
    Put32(b, 8, uint32_t(text.size() + 1));
    std::memcpy(&b[12], text.data(), text.size());
    return b;
}

inline Bytes TextBytes(const std::string& text) {
    Bytes b = TypeHeader("text", 8 + text.size() + 1);
    std::memcpy(&b[8], text.data(), text.size());
    return b;
}

// An 'mft1' or 'mft2' table of the given shape with a recognisable fill.
inline Bytes LutBytes(bool sixteen, uint8_t in, uint8_t out, uint8_t grid, uint16_t inEntries = 0,
                      uint16_t outEntries = 0) {
    size_t clut = 1;
    for (int i = 0; i < in; ++i) {
        clut *= grid;
    }
    clut *= out;
    const size_t size = sixteen
                            ? 52 + 2 * (size_t(inEntries) * in + clut + size_t(outEntries) * out)
                            : 48 + 256 * in + clut + 256 * out;
    Bytes b = TypeHeader(sixteen ? "mft2" : "mft1", size);
    b[8] = in;
    b[9] = out;
    b[10] = grid;
    if (sixteen) {
        StoreBig16(&b[48], inEntries);
        StoreBig16(&b[50], outEntries);
    }
    for (size_t k = sixteen ? 52 : 48; k < size; ++k) {
        b[k] = uint8_t(k * 7);
    }
    return b;
}

struct RawTag {
    uint32_t signature;
    Bytes data;
    int sameAs = -1;  // index of an earlier tag whose data block this entry reuses
};

struct HeaderFields {
    uint32_t deviceClass = Sig("mntr");
    uint32_t colorSpace = Sig("RGB ");
    uint32_t pcs = Sig("XYZ ");
    uint32_t version = 0x02100000;
};

// A profile image laid out as a writer would: table, then 4-aligned blocks.
inline Bytes MakeImage(const std::vector<RawTag>& tags, const HeaderFields& fields = {}) {
    Bytes image(132 + 12 * tags.size(), 0);
    std::vector<uint32_t> offsets;
    for (size_t i = 0; i < tags.size(); ++i) {
        uint32_t offset;
        if (tags[i].sameAs >= 0) {
            offset = offsets[size_t(tags[i].sameAs)];
        } else {
            image.resize(Align4(uint32_t(image.size())), 0);
            offset = uint32_t(image.size());
            image.insert(image.end(), tags[i].data.begin(), tags[i].data.end());
        }
        offsets.push_back(offset);
        Put32(image, 132 + 12 * i, tags[i].signature);
        Put32(image, 136 + 12 * i, offset);
        Put32(image, 140 + 12 * i, uint32_t(tags[i].data.size()));
    }
    image.resize(Align4(uint32_t(image.size())), 0);
    Put32(image, 0, uint32_t(image.size()));
    Put32(image, 8, fields.version);
    Put32(image, 12, fields.deviceClass);
    Put32(image, 16, fields.colorSpace);
    Put32(image, 20, fields.pcs);
    Put32(image, 36, Sig("acsp"));
    Put32(image, 68, 0x0000F6D6);
    Put32(image, 72, 0x00010000);
    Put32(image, 76, 0x0000D32D);
    Put32(image, 128, uint32_t(tags.size()));
    return image;
}

// The tags of a plain v2 RGB monitor profile with sRGB-like colorants.
inline std::vector<RawTag> RgbDisplayTags(const Bytes& trc = CurveBytes({563})) {
    return {
        {Sig("desc"), DescBytes("Test display")},
        {Sig("cprt"), TextBytes("No copyright, use freely")},
        {Sig("wtpt"), XyzBytes(0.9505, 1.0, 1.089)},
        {Sig("rXYZ"), XyzBytes(0.4361, 0.2225, 0.0139)},
        {Sig("gXYZ"), XyzBytes(0.3851, 0.7169, 0.0971)},
        {Sig("bXYZ"), XyzBytes(0.1431, 0.0606, 0.7141)},
        {Sig("rTRC"), trc},
        {Sig("gTRC"), trc},
        {Sig("bTRC"), trc},
    };
}

// Opens an image from an exact-size heap copy, so that any read past its
// announced size is caught by AddressSanitizer.
inline int32_t OpenImage(const Bytes& image, IccProfile** profile, char* text = nullptr) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[image.size()]);
    std::memcpy(copy.get(), image.data(), image.size());
    ProfileInfo info = {};
    info.kind = kProfileInfoImage;
    info.image = copy.get();
    info.text = text;
    return IccOpenProfile(kIccInterfaceVersion, &info, profile);
}

inline Bytes Serialise(IccProfile* profile) {
    uint32_t size = 0;
    EXPECT_EQ(IccWriteProfile(profile, nullptr, &size), 0);
    Bytes out(size, 0);
    EXPECT_EQ(IccWriteProfile(profile, out.data(), &size), 0);
    return out;
}

struct TableEntry {
    uint32_t signature;
    uint32_t offset;
    uint32_t size;
};

inline std::vector<TableEntry> TagTable(const Bytes& image) {
    std::vector<TableEntry> table;
    for (uint32_t i = 0; i < Get32(image, 128); ++i) {
        table.push_back(
            {Get32(image, 132 + 12 * i), Get32(image, 136 + 12 * i), Get32(image, 140 + 12 * i)});
    }
    return table;
}

inline std::string SigText(uint32_t s) {
    return std::string{char(s >> 24), char(s >> 16), char(s >> 8), char(s)};
}

}  // namespace tonalis::icc::testing
