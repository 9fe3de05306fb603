// The checksums the writer stores: zlib's CRC-32, by the tables and by
// the fast path.

#include "fastfile/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
