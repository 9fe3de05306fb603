// In the sanitizer build a freed pool block is poisoned, so a use of it after
// PoolFree stops the program instead of corrupting the free list.

#include "core/pool.h"

#include <gtest/gtest.h>

namespace {

TEST(PoolPoisonDeathTest, UseOfAFreedBlockIsCaught)
{
    // A child that starts afresh: under qemu the thread count is unknown.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            volatile char *block = static_cast<char *>(PoolAlloc(64));
            block[32] = 1;
            PoolFree(const_cast<char *>(block), 64);
            block[32] = 2;
        },
        "use-after-poison");
}

TEST(PoolPoisonDeathTest, UncarvedChunkBytesAreOutOfBounds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            volatile char *block = static_cast<char *>(PoolAlloc(64));
            block[64 + 16] = 1;
        },
        "use-after-poison");
}

}  // namespace
