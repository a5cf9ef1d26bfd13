// Allocator hooks, pool blocks and chains, and the number encodings.
#include <cmath>
#include <limits>

#include "icc/exception.h"
#include "icc/memory_pool.h"
#include "icc_test_support.h"

namespace tonalis::icc::testing {
namespace {

int ChainLength(const MemoryPool& pool) {
    int n = 0;
    for (BlockHeader* b = pool.Head(); b != nullptr; b = b->next) {
        ++n;
    }
    return n;
}

TEST(AllocatorHooksTest, InstallRulesAndCodes) {
    AllocationLog first;
    AllocationLog second;
    AllocatorHooks good = first.Hooks();
    AllocatorHooks other = second.Hooks();
    AllocatorHooks noAllocate = {nullptr, AllocationLog::Free, 0};
    AllocatorHooks noFree = {AllocationLog::Allocate, nullptr, 0};

    EXPECT_EQ(IccLibInit(nullptr), -4);
    EXPECT_EQ(IccLibInit(&noAllocate), -4);
    EXPECT_EQ(IccLibInit(&noFree), -4);
    EXPECT_FALSE(HooksInstalled());

    ASSERT_EQ(IccLibInit(&good), 0);
    EXPECT_EQ(IccLibInit(&other), -1);
    // The first hooks stay in force.
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    ASSERT_NE(pool.Allocate(8), nullptr);
    EXPECT_EQ(first.requests.size(), 1u);
    EXPECT_EQ(second.requests.size(), 0u);
    pool.ReleaseAll();

    EXPECT_EQ(IccLibShutdown(), 0);
    EXPECT_FALSE(HooksInstalled());
    // Removing keeps the values: a pool still takes them.
    MemoryPool after(MemoryPool::kWithInstalledHooks);
    EXPECT_TRUE(after.HasAllocator());
    EXPECT_EQ(IccLibInit(&other), 0);
    EXPECT_EQ(IccLibShutdown(), 0);
}

class MemoryPoolTest : public IccTest {};

TEST_F(MemoryPoolTest, BlockSizesAndZeroFill) {
    // Header of four pointer-sized fields; areas rounded up to 16 bytes.
    const bool narrow = sizeof(void*) == 4;
    const struct {
        size_t request;
        size_t taken;
    } cases[] = {
        {0, narrow ? 16u : 32u},  {1, narrow ? 32u : 48u},     {16, narrow ? 32u : 48u},
        {17, narrow ? 48u : 64u}, {100, narrow ? 128u : 144u},
    };
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    for (const auto& c : cases) {
        auto* area = static_cast<uint8_t*>(pool.Allocate(c.request));
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(log_.requests.back(), c.taken) << "request " << c.request;
        for (size_t k = 0; k < c.request; ++k) {
            ASSERT_EQ(area[k], 0) << "request " << c.request << " byte " << k;
        }
    }
    EXPECT_EQ(ChainLength(pool), 5);
    pool.ReleaseAll();
    EXPECT_EQ(pool.Head(), nullptr);
}

TEST_F(MemoryPoolTest, FreeInTheMiddleKeepsTheChainWalkable) {
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    void* blocks[5];
    for (auto& b : blocks) {
        b = pool.Allocate(24);
    }
    MemoryPool copy = pool;  // shares the chain
    MemoryPool::Free(blocks[2]);
    MemoryPool::Free(blocks[4]);
    MemoryPool::Free(nullptr);
    EXPECT_EQ(ChainLength(pool), 3);
    EXPECT_EQ(log_.live.size(), 3u);
    copy.ReleaseAll();
    EXPECT_TRUE(log_.live.empty());
}

int32_t CodeOfNew(MemoryPool* pool) {
    try {
        MemoryPool::New(10, pool);
    } catch (const Exception& e) {
        return e.Code();
    }
    return 0;
}

TEST_F(MemoryPoolTest, FailedAllocationsLeaveNoBlock) {
    MemoryPool pool(MemoryPool::kWithInstalledHooks);
    MemoryPool::New(10, &pool);
    log_.failAt = 1;
    EXPECT_EQ(CodeOfNew(&pool), -3);
    EXPECT_EQ(ChainLength(pool), 1);
    pool.ReleaseAll();

    void* unpooled = MemoryPool::New(10, nullptr);
    EXPECT_EQ(log_.requests.back(), 10 + sizeof(BlockHeader));
    MemoryPool::Free(unpooled);
    log_.failAt = long(log_.requests.size());
    EXPECT_EQ(CodeOfNew(nullptr), -3);
    IccLibShutdown();
    EXPECT_EQ(CodeOfNew(nullptr), -1);
}

TEST(NumberEncodingTest, S15Fixed16) {
    const struct {
        double value;
        int32_t fixed;
    } cases[] = {
        {-0.5 / 65536, -1},
        {0.5 / 65536, 1},
        {1.0, 65536},
        {-1.0, -65536},
        {0.9642, 0xF6D6},
        {-1.5 / 65536, -2},
        {1e12, std::numeric_limits<int32_t>::max()},
        {-1e12, std::numeric_limits<int32_t>::min()},
        {std::nan(""), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DoubleToS15Fixed16(c.value), c.fixed) << c.value;
    }
    EXPECT_DOUBLE_EQ(S15Fixed16ToDouble(-65536 - 32768), -1.5);
    EXPECT_DOUBLE_EQ(S15Fixed16ToDouble(0x0000D32D), 0.8249053955078125);
}

TEST(NumberEncodingTest, AlignmentPowerAndSwaps) {
    const uint32_t aligned[][2] = {{0, 0}, {13, 16}, {14, 16}, {15, 16}, {16, 16}, {17, 20}};
    for (const auto& a : aligned) {
        EXPECT_EQ(Align4(a[0]), a[1]) << a[0];
    }
    EXPECT_EQ(IntegerPower(17, 3), 4913u);
    EXPECT_EQ(IntegerPower(9, 0), 1u);
    EXPECT_EQ(IntegerPower(2, 32), 0u);  // wraps
    uint32_t limited;
    EXPECT_FALSE(CheckedPowerTimes(2, 32, 1, 0xFFFFFFFF, &limited));
    EXPECT_TRUE(CheckedPowerTimes(33, 3, 3, 107811, &limited));
    EXPECT_EQ(limited, 107811u);

    const uint8_t bytes[4] = {0x11, 0x22, 0x33, 0x44};
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    SwapBytes32(&word, 1);
    EXPECT_EQ(word, 0x11223344u);
    SwapBytes32(&word, 0);
    EXPECT_EQ(word, 0x11223344u);
}

}  // namespace
}  // namespace tonalis::icc::testing
