#include "core/pool_internal.h"

#include "support/pool_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<void *> FreeList(uint32_t bytes)
{
    std::vector<void *> blocks;
    for (uint8_t *block = static_cast<uint8_t *>(Pool.freeLists[bytes / 4]); block; block = PoolNextFree(block))
        blocks.push_back(block);
    return blocks;
}

int NonEmptyFreeLists()
{
    int count = 0;
    for (void *head : Pool.freeLists)
        count += head != nullptr;
    return count;
}

uint8_t *Bytes(void *block)
{
    return static_cast<uint8_t *>(block);
}

class PoolTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPool(); }
    void TearDown() override { ResetPool(); }
};

TEST_F(PoolTest, RoundsToFourAndPassesLargeRequestsToTheHeap)
{
    EXPECT_EQ(PoolAlloc(0), nullptr);
    EXPECT_TRUE(TestHeap::requests.empty());

    uint8_t *blocks[4];
    for (uint32_t size = 1; size <= 4; ++size)
        blocks[size - 1] = Bytes(PoolAlloc(size));
    EXPECT_EQ(TestHeap::requests, (std::vector<uint32_t>{4096}));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(blocks[i], blocks[i - 1] + 4);

    uint8_t *small = Bytes(PoolAlloc(2048));
    EXPECT_EQ(small, blocks[3] + 4);
    EXPECT_EQ(TestHeap::requests.size(), 1u);

    void *large = PoolAlloc(2049);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(TestHeap::requests.back(), 2052u);
    EXPECT_STREQ(CheckPool(16 + 2048 + 2052), nullptr);
    PoolFree(large, 2049);
    EXPECT_STREQ(CheckPool(16 + 2048), nullptr);
    EXPECT_EQ(Pool.budget, static_cast<int32_t>(PoolBudgetAtStart - 16 - 2048));
}

TEST_F(PoolTest, ReusesBlocksOfOneSizeLastFreedFirst)
{
    void *a = PoolAlloc(12);
    void *b = PoolAlloc(12);
    PoolFree(a, 12);
    PoolFree(b, 10);  // 10 rounds to the same 12
    EXPECT_EQ(PoolAlloc(12), b);
    EXPECT_EQ(PoolAlloc(9), a);
    PoolFree(a, 0);  // a size of 0 takes nothing back
    EXPECT_TRUE(FreeList(12).empty());
}

TEST_F(PoolTest, CarvesConsecutiveBlocksFromOneChunk)
{
    uint8_t *first = Bytes(PoolAlloc(100));
    uint8_t *second = Bytes(PoolAlloc(100));
    EXPECT_EQ(second, first + 100);
    EXPECT_EQ(TestHeap::requests, (std::vector<uint32_t>{4096}));
    EXPECT_EQ(Pool.chunk.bytesLeft, 4096u - 200);
}

TEST_F(PoolTest, RetiresTheRestOfAChunkAsOneFreeBlock)
{
    PoolAlloc(2000);
    PoolAlloc(2000);
    ASSERT_EQ(Pool.chunk.bytesLeft, 96u);
    uint8_t *rest = Pool.chunk.carvingPoint;

    void *big = PoolAlloc(200);
    EXPECT_EQ(TestHeap::requests.size(), 2u);
    EXPECT_EQ(FreeList(96), (std::vector<void *>{rest}));
    EXPECT_EQ(Pool.chunk.bytesLeft, 4096u - 200);
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(PoolAlloc(96), rest);
}

TEST_F(PoolTest, ChunkSearchRequestsOfARefusingHeap)
{
    TestHeap::limit = 0;
    PoolHeap.allocate = [](uint32_t size) -> void * {  // refuses even 0 bytes
        TestHeap::requests.push_back(size);
        return nullptr;
    };
    EXPECT_EQ(PoolAlloc(4), nullptr);
    EXPECT_EQ(TestHeap::requests,
              (std::vector<uint32_t>{4096, 2048, 1024, 512, 256, 128, 64, 32, 16, 8, 0}));
    EXPECT_EQ(Pool.chunk.carvingPoint, nullptr);

    // Every later carve starts a new search at 4096.
    TestHeap::requests.clear();
    EXPECT_EQ(PoolAlloc(8), nullptr);
    EXPECT_EQ(TestHeap::requests.front(), 4096u);
    EXPECT_EQ(TestHeap::requests.size(), 11u);
}

TEST_F(PoolTest, ChunkSearchFindsTheLargestGrantRoundedDownToFour)
{
    for (uint32_t limit = 0; limit <= 4200; limit += (limit < 64 ? 1 : 37)) {
        SCOPED_TRACE(limit);
        TestHeap::limit = limit;
        TestHeap::requests.clear();
        PoolChunkState chunk = {nullptr, 0};
        bool found = PoolNewChunk(&chunk);
        uint32_t expected = std::min(limit, 4096u) & ~3u;
        EXPECT_EQ(found, expected >= 4);
        EXPECT_EQ(chunk.bytesLeft, expected);  // 0, untouched, when none is found
        EXPECT_LE(TestHeap::requests.size(), 13u);
        EXPECT_EQ(TestHeap::live.size(), found ? 1u : 0u);
        TestHeap::ReleaseAll();
    }
}

TEST_F(PoolTest, AHeapGrantingAtMost3000GivesA3000ByteChunk)
{
    TestHeap::limit = 3000;
    uint8_t *block = Bytes(PoolAlloc(100));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(Pool.chunk.bytesLeft, 2900u);
    EXPECT_EQ(Pool.chunk.carvingPoint, block + 100);
    EXPECT_STREQ(CheckPool(100), nullptr);
}

TEST_F(PoolTest, AChunkTooSmallForTheRequestStaysForSmallerOnes)
{
    TestHeap::limit = 64;
    EXPECT_EQ(PoolAlloc(100), nullptr);
    EXPECT_EQ(Pool.chunk.bytesLeft, 64u);
    void *small = PoolAlloc(60);
    EXPECT_EQ(small, static_cast<void *>(Pool.chunk.carvingPoint - 60));
    EXPECT_STREQ(CheckPool(60), nullptr);
}

TEST_F(PoolTest, AnExhaustedBudgetIsMetBySplittingTheLargestBlock)
{
    uint8_t *large = Bytes(PoolAlloc(2048));
    uint8_t *middle = Bytes(PoolAlloc(1024));
    PoolFree(large, 2048);
    PoolFree(middle, 1024);
    Pool.budget = 8;
    ASSERT_GT(Pool.chunk.bytesLeft, 12u);

    EXPECT_EQ(PoolAlloc(12), large);
    EXPECT_EQ(FreeList(2036), (std::vector<void *>{large + 12}));
    EXPECT_EQ(FreeList(2048), (std::vector<void *>{}));
    EXPECT_EQ(FreeList(1024), (std::vector<void *>{middle}));
    EXPECT_EQ(Pool.budget, 8);
}

TEST_F(PoolTest, FreeBlocksAreHandedOutWhateverTheBudget)
{
    void *block = PoolAlloc(40);
    PoolFree(block, 40);
    Pool.budget = 0;
    EXPECT_EQ(PoolAlloc(40), block);
    EXPECT_EQ(PoolAlloc(2048), nullptr);  // 2048 is never met by splitting
}

TEST_F(PoolTest, CompactionMergesAdjacentSmallBlocksForARequest)
{
    uint8_t *low = Bytes(PoolAlloc(8));
    uint8_t *high = Bytes(PoolAlloc(8));
    ASSERT_EQ(high, low + 8);
    PoolFree(low, 8);
    PoolFree(high, 8);
    Pool.budget = 15;
    EXPECT_EQ(PoolAlloc(16), low);
    EXPECT_EQ(NonEmptyFreeLists(), 0);
}

TEST_F(PoolTest, MergedBlocksMergeAgainInTheSamePass)
{
    uint8_t *blocks[4];
    for (uint8_t *&block : blocks)
        block = Bytes(PoolAlloc(4));
    for (uint8_t *block : blocks)
        PoolFree(block, 4);
    PoolCompact();
    EXPECT_EQ(FreeList(16), (std::vector<void *>{blocks[0]}));
    EXPECT_EQ(NonEmptyFreeLists(), 1);
}

TEST_F(PoolTest, MergingStopsBelow2048Bytes)
{
    uint8_t *a = Bytes(PoolAlloc(1020));
    uint8_t *b = Bytes(PoolAlloc(1024));
    uint8_t *c = Bytes(PoolAlloc(1024));
    ASSERT_EQ(b, a + 1020);
    ASSERT_EQ(c, b + 1024);
    PoolFree(c, 1024);
    PoolFree(b, 1024);
    PoolCompact();
    EXPECT_EQ(FreeList(1024), (std::vector<void *>{b, c}));

    PoolFree(a, 1020);
    PoolCompact();
    EXPECT_EQ(FreeList(2044), (std::vector<void *>{a}));
    EXPECT_EQ(FreeList(1024), (std::vector<void *>{c}));
}

TEST_F(PoolTest, CompactionKeepsTheOrderOfUnmergedBlocks)
{
    uint8_t *blocks[5];
    for (uint8_t *&block : blocks)
        block = Bytes(PoolAlloc(12));
    PoolFree(blocks[0], 12);
    PoolFree(blocks[2], 12);
    PoolFree(blocks[4], 12);
    PoolCompact();
    EXPECT_EQ(FreeList(12), (std::vector<void *>{blocks[4], blocks[2], blocks[0]}));
}

TEST_F(PoolTest, TheBudgetLimitsCarvingToOneMebibyte)
{
    std::vector<void *> blocks;
    while (void *block = PoolAlloc(2048))
        blocks.push_back(block);
    EXPECT_EQ(blocks.size(), PoolBudgetAtStart / 2048);
    EXPECT_EQ(Pool.budget, 0);
    EXPECT_EQ(PoolAlloc(4), nullptr);

    PoolFree(blocks.back(), 2048);
    EXPECT_EQ(PoolAlloc(2048), blocks.back());
    PoolFree(blocks.back(), 2048);
    uint8_t *piece = Bytes(PoolAlloc(100));
    EXPECT_EQ(piece, blocks.back());
    EXPECT_EQ(FreeList(1948), (std::vector<void *>{piece + 100}));
}

TEST_F(PoolTest, AllocZeroedClearsOnlyTheRequestedBytes)
{
    uint8_t *block = Bytes(PoolAlloc(16));
    memset(block, 0xAA, 16);
    PoolFree(block, 16);
    ASSERT_EQ(PoolAllocZeroed(13), block);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(block[i], 0) << i;
    for (int i = 13; i < 16; ++i)
        EXPECT_EQ(block[i], 0xAA) << i;

    TestHeap::limit = 0;
    Pool.budget = 0;
    EXPECT_EQ(PoolAllocZeroed(8), nullptr);
}

TEST_F(PoolTest, SizesThatWrapWhenRoundedAreRefused)
{
    EXPECT_EQ(PoolAlloc(UINT32_MAX), nullptr);
    EXPECT_TRUE(TestHeap::requests.empty());
}

}  // namespace
