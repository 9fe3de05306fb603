// The archive writer: the names it judges and the archives it refuses to
// lay out, both sides of every limit.

#include "fastfile/archive_writer.h"

#include "support/hostile_names.h"

#include <gtest/gtest.h>

#include <stdint.h>

namespace {

TEST(FastFileWriter, NamesAreJudged)
{
    EXPECT_EQ(FastFileCheckName("RES.DAT"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("TWELVECHARS1"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("SUB\\FILE.TXT"), FastFileNameSound);
    EXPECT_EQ(FastFileCheckName("..."), FastFileNameUnkept);  // Windows drops its dots
    EXPECT_EQ(FastFileCheckName("CONIN\\COM10"), FastFileNameSound);  // not devices
    EXPECT_EQ(FastFileCheckName("COM\xbc\\LPT\xb4"), FastFileNameSound);  // one quarter, an accent: not digits
    EXPECT_EQ(FastFileCheckName(""), FastFileNameEmpty);
    EXPECT_EQ(FastFileCheckName(nullptr), FastFileNameEmpty);
    EXPECT_EQ(FastFileCheckName("THIRTEENCHARS"), FastFileNameTooLong);
    EXPECT_EQ(FastFileCheckName("Res.dat"), FastFileNameLowerCase);
    EXPECT_EQ(FastFileCheckName("z"), FastFileNameLowerCase);
    EXPECT_EQ(FastFileCheckName("\xc9T\xff"), FastFileNameSound);  // above 127: not control bytes
    EXPECT_EQ(FastFileCheckName("SUB\\.A"), FastFileNameSound);      // neither "." nor ".."
    EXPECT_EQ(FastFileCheckName("LONGER\\..\\name"),  // every rule it breaks, not only the first
              FastFileNameTooLong | FastFileNameLowerCase | FastFileNameOutside);
    EXPECT_EQ(FastFileCheckName("A/B"), FastFileNameSound);  // a subfolder, written with '/'
    for (size_t i = 0; i < HostileNameCount; ++i)
        EXPECT_EQ(FastFileCheckName(HostileNames[i].name), HostileNames[i].faults) << HostileNames[i].name;
}

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

TEST(FastFileWriter, ChecksumsAreZlibsCrc32)
{
    // zlib's values: whole, split, and for 1000 bytes (folded) from an even and an odd address.
    EXPECT_EQ(FastFileCrc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(FastFileCrc32(FastFileCrc32(0, "123", 3), "456789", 6), 0xCBF43926u);
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 7);
    EXPECT_EQ(FastFileCrc32(0, bytes.data(), 1000), 0x114AD5FFu);
    EXPECT_EQ(FastFileCrc32(0, bytes.data() + 1, 999), 0xA5892D1Cu);
}

}  // namespace
