// The writer's layout: the archives it refuses to lay out, both sides of
// every limit.

#include "fastfile/layout.h"

#include "fastfile/archive.h"

#include <gtest/gtest.h>

#include <stdint.h>

namespace {

TEST(FastFileWriter, RefusesWhatReadersCouldNotRead)
{
    EXPECT_EQ(FastFileDirectorySizeFor(0), 28u);
    EXPECT_EQ(FastFileDirectorySizeFor(UINT32_MAX), 0u);
    // Both sides of the entry limit: the most records a directory may hold.
    const uint32_t most = (FastFileDirectoryLimit - 28) / 24;
    EXPECT_EQ(FastFileDirectorySizeFor(most), 28 + most * 24);
    EXPECT_EQ(FastFileDirectorySizeFor(most + 1), 0u);
    uint8_t directory[28 + 2 * 24];
    const char *names[] = {"A", "B"};
    const uint32_t huge[] = {0x40000000, 0x40000000};  // together past 2 GiB
    EXPECT_FALSE(FastFileLayOut(directory, 2, names, huge));
    // Both sides of 2 GiB: the last entry's end marker at 2 GiB - 2, then one byte further.
    const uint32_t largest[] = {INT32_MAX - (28 + 2 * 24) - 2, 0};
    EXPECT_TRUE(FastFileLayOut(directory, 2, names, largest));
    const uint32_t tooLarge[] = {INT32_MAX - (28 + 2 * 24) - 1, 0};
    EXPECT_FALSE(FastFileLayOut(directory, 2, names, tooLarge));
    // The entry that takes an archive past 2 GiB - 1 bytes, which create names: none at the limit, then the last.
    const uint32_t atLimit[] = {20, 20, INT32_MAX - (28 + 3 * 24) - 3 - 40};
    EXPECT_EQ(FastFileEntryPastLimit(3, atLimit), 3u);
    const uint32_t pastLimit[] = {20, 20, INT32_MAX - (28 + 3 * 24) - 3 - 39};
    EXPECT_EQ(FastFileEntryPastLimit(3, pastLimit), 2u);
    const uint32_t sizes[] = {1, 1};
    const char *lower[] = {"A", "b"};
    EXPECT_FALSE(FastFileLayOut(directory, 2, lower, sizes));
    EXPECT_TRUE(FastFileLayOut(directory, 2, names, sizes));
}

}  // namespace
