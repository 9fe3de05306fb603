// The archive format reader: what is accepted, what is refused and why,
// and that lookups see whole names in the searched records only.

#include "fastfile/archive.h"
#include "fastfile/crc32.h"

#include "support/archive_bytes.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

struct Loaded {
    FastFileFault fault;
    std::vector<uint8_t> directory;  // exactly directorySize bytes, so ASan sees any overrun
    uint32_t fileSize;
};

Loaded Load(const std::string &bytes)
{
    Loaded loaded{FastFileSound, {}, 0};
    FILE *stream = StreamOf(bytes);
    FastFileStart start{};
    loaded.fault = FastFileReadStart(stream, &start);
    if (loaded.fault == FastFileSound) {
        loaded.directory.resize(start.directorySize);
        loaded.fault = FastFileReadDirectory(stream, start, loaded.directory.data());
        loaded.fileSize = start.fileSize;
    }
    fclose(stream);
    return loaded;
}

const FastFileEntry *Find(const Loaded &loaded, const char *name)
{
    return FastFileFind(loaded.directory.data(), name, strlen(name));
}

std::string Name(const FastFileEntry *entry)
{
    return entry ? std::string(entry->name, strnlen(entry->name, FastFileNameSize)) : "(none)";
}

const std::vector<TestEntry> ThreeEntries = {
    {"RES.DAT", "7 W L\r\n"},
    {"RES.DAT2", "second"},
    {"TWELVECHARS1", "twelve"},
};

TEST(FastFileFormat, WrittenArchiveReadsBack)
{
    std::string bytes = ArchiveBytes(ThreeEntries);
    Loaded loaded = Load(bytes);
    ASSERT_EQ(loaded.fault, FastFileSound);
    EXPECT_EQ(loaded.fileSize, bytes.size());
    FastFileHeader header = FastFileReadHeader(loaded.directory.data());
    EXPECT_EQ(header.directorySize, 28u + 3 * 24);
    EXPECT_EQ(header.firstEntry, 0u);
    EXPECT_EQ(header.entryCount, 3);
    EXPECT_EQ(header.flags, FastFileFlagChecksums);
    for (const TestEntry &expected : ThreeEntries) {
        const FastFileEntry *entry = Find(loaded, expected.name.c_str());
        ASSERT_NE(entry, nullptr) << expected.name;
        EXPECT_EQ(bytes.substr(entry->offset, entry->size), expected.data);
        EXPECT_EQ(bytes[entry->offset + entry->size], '\x1a');
        EXPECT_TRUE(FastFileEntryInside(entry, loaded.fileSize));
        EXPECT_EQ(entry->checksum, FastFileCrc32(0, expected.data.data(), expected.data.size()));
    }
}

TEST(FastFileFormat, AnArchiveOfItsHeaderAloneIsSoundAndEmpty)
{
    Loaded loaded = Load(ArchiveBytes({}));
    ASSERT_EQ(loaded.fault, FastFileSound);
    EXPECT_EQ(loaded.fileSize, 28u);
    EXPECT_EQ(Find(loaded, "RES.DAT"), nullptr);
}

TEST(FastFileFormat, OnlyWholeNamesMatch)
{
    Loaded loaded = Load(ArchiveBytes(ThreeEntries));
    ASSERT_EQ(loaded.fault, FastFileSound);
    EXPECT_EQ(Name(Find(loaded, "RES.DAT")), "RES.DAT");
    EXPECT_EQ(Name(Find(loaded, "RES.DAT2")), "RES.DAT2");
    EXPECT_EQ(Name(Find(loaded, "TWELVECHARS1")), "TWELVECHARS1");  // fills the field, no terminator
    EXPECT_EQ(Find(loaded, "RES"), nullptr);
    EXPECT_EQ(Find(loaded, "RES.DA"), nullptr);
    EXPECT_EQ(Find(loaded, "TWELVECHARS"), nullptr);
    EXPECT_EQ(Find(loaded, "TWELVECHARS12"), nullptr);  // 13 characters
    EXPECT_EQ(Find(loaded, ""), nullptr);
    EXPECT_EQ(Find(loaded, "res.dat"), nullptr);  // stored names are upper case; the lookup is exact
    EXPECT_EQ(FastFileFind(loaded.directory.data(), "RES\0DAT", 7), nullptr);
    EXPECT_EQ(FastFileFind(nullptr, "RES.DAT", 7), nullptr);
    EXPECT_EQ(FastFileFind(loaded.directory.data(), nullptr, 0), nullptr);
}

TEST(FastFileFormat, OnlySearchedRecordsAreFound)
{
    std::string bytes = ArchiveBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}});
    Put32(&bytes, FirstEntryField, 1);
    Put32(&bytes, EntryCountField, 2);
    Loaded loaded = Load(bytes);
    ASSERT_EQ(loaded.fault, FastFileSound);
    EXPECT_EQ(Find(loaded, "A"), nullptr);
    EXPECT_EQ(Name(Find(loaded, "B")), "B");
    EXPECT_EQ(Name(Find(loaded, "C")), "C");
    EXPECT_EQ(Find(loaded, "D"), nullptr);

    for (int32_t count : {0, -1, INT32_MIN}) {
        Put32(&bytes, EntryCountField, static_cast<uint32_t>(count));
        Loaded empty = Load(bytes);
        ASSERT_EQ(empty.fault, FastFileSound) << count;  // accepted, but holds nothing
        EXPECT_EQ(Find(empty, "B"), nullptr);
        uint32_t searched = 99;
        EXPECT_EQ(FastFileSearchedRecords(empty.directory.data(), &searched), nullptr);
        EXPECT_EQ(searched, 0u);
    }
}

TEST(FastFileFormat, NamesWithTerminatorsInsideMatchNothingShorter)
{
    std::string bytes = ArchiveBytes({{"A", "a"}, {"B", "b"}});
    memset(&bytes[RecordField(0, 0)], 0, FastFileNameSize);  // an empty stored name
    Loaded loaded = Load(bytes);
    EXPECT_EQ(FastFileFind(loaded.directory.data(), "\0\0\0", 3), nullptr);
    EXPECT_EQ(FastFileFind(loaded.directory.data(), "B\0", 2), nullptr);
    EXPECT_EQ(Name(Find(loaded, "B")), "B");
}

TEST(FastFileFormat, FirstOfEqualNamesWins)
{
    std::string bytes = ArchiveBytes({{"X", "first"}, {"X", "second"}});
    Loaded loaded = Load(bytes);
    const FastFileEntry *entry = Find(loaded, "X");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(bytes.substr(entry->offset, entry->size), "first");
}

struct Breakage {
    const char *what;
    void (*apply)(std::string *bytes);
    FastFileFault fault;
};

const Breakage Breakages[] = {
    {"shorter than 16 bytes", [](std::string *b) { b->resize(15); }, FastFileTooShort},
    {"empty file", [](std::string *b) { b->clear(); }, FastFileTooShort},
    {"another magic", [](std::string *b) { (*b)[7] = '2'; }, FastFileWrongMagic},
    {"flag bit 0 set", [](std::string *b) { Put32(b, FlagsField, 3); }, FastFileFlagged},
    {"directory smaller than the header", [](std::string *b) { Put32(b, DirectorySizeField, 27); },
     FastFileDirectoryTooSmall},
    {"directory of 16 bytes", [](std::string *b) { Put32(b, DirectorySizeField, 16); },
     FastFileDirectoryTooSmall},
    {"directory beyond the cap", [](std::string *b) { Put32(b, DirectorySizeField, FastFileDirectoryLimit + 4); },
     FastFileDirectoryTooLarge},
    {"directory of 4 GiB", [](std::string *b) { Put32(b, DirectorySizeField, UINT32_MAX); },
     FastFileDirectoryTooLarge},
    {"directory longer than the file", [](std::string *b) { Put32(b, DirectorySizeField, b->size() + 1); },
     FastFileDirectoryPastEnd},
    {"file cut inside the directory", [](std::string *b) { b->resize(40); }, FastFileDirectoryPastEnd},
    {"more records than the directory holds", [](std::string *b) { Put32(b, EntryCountField, 4); },
     FastFileRecordsOutside},
    {"first entry past the table", [](std::string *b) { Put32(b, FirstEntryField, 3); }, FastFileRecordsOutside},
    {"first entry plus count wraps around",
     [](std::string *b) {
         Put32(b, FirstEntryField, UINT32_MAX);
         Put32(b, EntryCountField, 2);
     },
     FastFileRecordsOutside},
    {"records beyond a shortened directory", [](std::string *b) { Put32(b, DirectorySizeField, 28 + 2 * 24 + 23); },
     FastFileRecordsOutside},
};

TEST(FastFileFormat, BrokenArchivesAreRefusedWithTheirFault)
{
    for (const Breakage &breakage : Breakages) {
        std::string bytes = ArchiveBytes(ThreeEntries);
        breakage.apply(&bytes);
        EXPECT_EQ(Load(bytes).fault, breakage.fault) << breakage.what;
    }
}

TEST(FastFileFormat, DirectoryInMemoryIsCheckedAgainstItsSize)
{
    std::string bytes = ArchiveBytes(ThreeEntries);
    const uint8_t *directory = reinterpret_cast<const uint8_t *>(bytes.data());
    EXPECT_EQ(FastFileCheckDirectory(directory, 28 + 3 * 24), FastFileSound);
    EXPECT_EQ(FastFileCheckDirectory(directory, 28 + 3 * 24 + 1), FastFileUnreadable);
    EXPECT_EQ(FastFileCheckDirectory(directory, 20), FastFileDirectoryTooSmall);
}

TEST(FastFileFormat, EntriesMustEndInsideTheFile)
{
    FastFileEntry entry{};
    entry.offset = 100;
    entry.size = 50;
    EXPECT_TRUE(FastFileEntryInside(&entry, 150));
    EXPECT_FALSE(FastFileEntryInside(&entry, 149));
    entry.offset = 151;
    entry.size = 0;
    EXPECT_FALSE(FastFileEntryInside(&entry, 150));
    entry.offset = 0xFFFFFFF0u;  // offset + size wraps to a small number
    entry.size = 0x20;
    EXPECT_FALSE(FastFileEntryInside(&entry, 1000));
    EXPECT_FALSE(FastFileEntryInside(nullptr, 1000));
}

TEST(FastFileFormat, UpperCaseTouchesOnlyAToZ)
{
    char text[] = "c:\\games\\res.dat {z}\xe4";
    FastFileUpperCase(text);
    EXPECT_STREQ(text, "C:\\GAMES\\RES.DAT {Z}\xe4");
}

}  // namespace
