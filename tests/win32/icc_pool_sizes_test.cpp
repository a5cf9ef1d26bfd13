// The ICC library's pool blocks in the 32-bit DLL: a 16-byte header and
// areas rounded to 16 bytes, with the GlobalAlloc hooks the applet installs.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "icc/icc_library.h"
#include "icc/memory_pool.h"

namespace tonalis::icc {
namespace {

struct SizeLog {
    std::vector<size_t> requests;

    static void* Allocate(size_t size, uintptr_t user) {
        reinterpret_cast<SizeLog*>(user)->requests.push_back(size);
        return GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    }
    static void Free(void* block, uintptr_t) { GlobalFree(block); }
};

TEST(IccPoolSizesTest, HeaderAndHooksAreThirtyTwoBitWords) {
    EXPECT_EQ(sizeof(void*), 4u);
    EXPECT_EQ(sizeof(BlockHeader), 16u);
    EXPECT_EQ(sizeof(AllocatorHooks), 12u);
}

TEST(IccPoolSizesTest, BlockSizesTakenFromTheHook) {
    SizeLog log;
    const AllocatorHooks hooks = {SizeLog::Allocate, SizeLog::Free,
                                  reinterpret_cast<uintptr_t>(&log)};
    ASSERT_EQ(IccLibInit(&hooks), 0);
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    const size_t cases[][2] = {{0, 16}, {1, 32}, {15, 32}, {16, 32}, {17, 48}, {20, 48}};
    for (const auto& c : cases) {
        ASSERT_NE(pool.Allocate(c[0]), nullptr);
        EXPECT_EQ(log.requests.back(), c[1]) << "request of " << c[0] << " bytes";
    }
    void* unpooled = MemoryPool::New(5, nullptr);
    EXPECT_EQ(log.requests.back(), 21u);
    MemoryPool::Free(unpooled);
    pool.ReleaseAll();
    EXPECT_EQ(IccLibShutdown(), 0);
}

// A whole profile life with the default hooks (GlobalAlloc in the DLL).
TEST(IccPoolSizesTest, ProfileWithTheDefaultHooks) {
    const AllocatorHooks hooks = DefaultAllocatorHooks();
    ASSERT_EQ(IccLibInit(&hooks), 0);
    ProfileInfo info = {};
    info.kind = kProfileInfoValues;
    const double primaries[3][3] = {
        {0.41235, 0.21262, 0.01933}, {0.35766, 0.71531, 0.11922}, {0.18018, 0.07207, 0.94894}};
    for (int c = 0; c < 3; ++c) {
        info.gamma[c] = 2.2;
        for (int i = 0; i < 3; ++i) {
            info.primaries[c][i] = primaries[c][i];
        }
    }
    info.white[0] = 0.95018;
    info.white[1] = 1.0;
    info.white[2] = 1.08748;
    char text[kProfileTextSize] = "";
    info.text = text;
    IccProfile* profile = nullptr;
    ASSERT_EQ(IccOpenProfile(kIccInterfaceVersion, &info, &profile), 0);
    EXPECT_STREQ(text, "RGB Display Profile");
    uint32_t size = 0;
    ASSERT_EQ(IccWriteProfile(profile, nullptr, &size), 0);
    std::vector<uint8_t> image(size);
    ASSERT_EQ(IccWriteProfile(profile, image.data(), &size), 0);
    EXPECT_EQ(IccCloseProfile(profile), 0);

    ProfileInfo read = {};
    read.kind = kProfileInfoImage;
    read.image = image.data();
    ASSERT_EQ(IccOpenProfile(kIccInterfaceVersion, &read, &profile), 0);
    read.kind = kProfileInfoValues;
    uint8_t simple = 0;
    ASSERT_EQ(IccExtractInfo(kIccInterfaceVersion, profile, &read, &simple), 0);
    EXPECT_EQ(simple, 1);
    EXPECT_DOUBLE_EQ(read.gamma[0], 2.19921875);
    EXPECT_NEAR(read.white[2], 1.08748, 1.0 / 65536);
    EXPECT_EQ(IccCloseProfile(profile), 0);
    EXPECT_EQ(IccLibShutdown(), 0);
}

}  // namespace
}  // namespace tonalis::icc
