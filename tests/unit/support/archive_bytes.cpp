#include "archive_bytes.h"

#include "fastfile/archive.h"
#include "fastfile/crc32.h"
#include "fastfile/layout.h"

#include <gtest/gtest.h>

#include <string.h>

std::string ArchiveBytes(const std::vector<TestEntry> &entries)
{
    std::vector<const char *> names;
    std::vector<uint32_t> sizes, checksums;
    for (const TestEntry &entry : entries) {
        names.push_back(entry.name.c_str());
        sizes.push_back(static_cast<uint32_t>(entry.data.size()));
        checksums.push_back(FastFileCrc32(0, entry.data.data(), entry.data.size()));
    }
    uint32_t count = static_cast<uint32_t>(entries.size());
    std::string bytes(FastFileDirectorySizeFor(count), '\0');
    EXPECT_TRUE(FastFileLayOut(reinterpret_cast<uint8_t *>(&bytes[0]), count, names.data(), sizes.data(),
                               checksums.data()));
    for (const TestEntry &entry : entries)
        bytes += entry.data + '\x1a';
    return bytes;
}

void Put32(std::string *bytes, size_t offset, uint32_t value)
{
    memcpy(&(*bytes)[offset], &value, sizeof value);
}

size_t RecordField(int record, size_t field)
{
    return FastFileHeaderSize + record * FastFileRecordSize + field;
}

FILE *StreamOf(const std::string &bytes)
{
    FILE *stream = tmpfile();
    if (!stream)
        return nullptr;
    fwrite(bytes.data(), 1, bytes.size(), stream);
    rewind(stream);
    return stream;
}
