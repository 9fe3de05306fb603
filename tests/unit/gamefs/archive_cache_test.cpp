// The archive cache against the real Windows C runtime: lookups by whole
// upper-case name, entry streams at their data, the cache's key and
// lifetime, and archives that break the format's rules.

#include "support/windows_fixture.h"

#include <string.h>

namespace {

using Archives = FileSystemTest;

class ArchiveFolder : public FileSystemTest {
protected:
    void Use(const std::string &name, const std::string &bytes)
    {
        folder = Folder(name);
        WriteBytes(folder + "FASTFILE.DAT", bytes);
        handle = OpenDirectory(folder.c_str(), nullptr);
        ASSERT_NE(handle, nullptr);
    }

    // The entry's data as read through the file layer, or "(none)".
    std::string Read(const char *name, const char *mode = "rb")
    {
        GameFile *file = OpenGameFile(handle, name, mode);
        if (!file)
            return "(none)";
        std::string bytes = ReadRest(file);
        CloseGameFile(file);
        return bytes;
    }

    std::string folder;
    DirectoryHandle *handle = nullptr;
};

using ArchiveLookups = ArchiveFolder;

TEST_F(ArchiveLookups, WholeUpperCaseNamesOnly)
{
    std::string bytes = ArchiveBytes({{"RES.DAT", "settings"}, {"TWELVECHARS1", "twelve"}, {"LOWER", "x"}});
    memcpy(&bytes[28 + 2 * 24], "lower", 5);  // a record stored in lower case
    ASSERT_EQ(bytes[FlagsField], FastFileFlagChecksums);  // as the tool makes them: bit 1 and checksums
    Use("names", bytes);
    EXPECT_EQ(Read("res.dat"), "settings");
    EXPECT_EQ(Read("Res.Dat"), "settings");
    EXPECT_EQ(Read("twelvechars1"), "twelve");
    EXPECT_EQ(Read("res"), "(none)");  // no prefix matches
    EXPECT_EQ(Read("RES.DA"), "(none)");
    EXPECT_EQ(Read(""), "(none)");
    EXPECT_EQ(Read("lower"), "(none)");
    EXPECT_EQ(Read("LOWER"), "(none)");

    // Too long to be stored: not found, but the archive is cached all the same.
    int cached = ListLength(ArchiveCache);
    Use("thirteen", ArchiveBytes({{"A", "a"}}));
    EXPECT_EQ(Read("thirteenchars"), "(none)");
    EXPECT_EQ(ListLength(ArchiveCache), cached + 1);
}

TEST_F(ArchiveLookups, EntryStreamStartsAtTheDataAndEndsWithIt)
{
    // Entries whose data are not followed by 26 still end at their size.
    std::string bytes = ArchiveBytes({{"ONE.TXT", "line 1\r\nline 2\x1a" "3"}, {"TWO.TXT", "NEXT\r\n"}});
    for (char &c : bytes)
        c = c == '\x1a' && &c != &bytes[28 + 2 * 24 + 14] ? '#' : c;  // only the inner 26 stays
    Use("ends", bytes);

    GameFile *file = OpenGameFile(handle, "one.txt", "r");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->entry, nullptr);
    EXPECT_EQ(ftell(file->stream), static_cast<long>(file->entry->offset));
    EXPECT_EQ(file->entry->size, 16u);
    EXPECT_EQ(IsBinary(file), 1);
    char line[16];
    std::string lines;
    while (ReadLine(file, line, sizeof line))
        lines += std::string(line) + "|";
    EXPECT_EQ(lines, "line 1|line 2\x1a" "3|");
    EXPECT_EQ(ReadGameChar(file), -1);
    CloseGameFile(file);
    EXPECT_EQ(Read("two.txt"), "NEXT\r\n");

    GameFile *translated = OpenGameFile(handle, "two.txt", "rt");
    ASSERT_NE(translated, nullptr);
    EXPECT_EQ(IsBinary(translated), 0);
    CloseGameFile(translated);
}

TEST_F(ArchiveLookups, OnlySearchedRecordsAreFound)
{
    std::string bytes = ArchiveBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}});
    Put32(&bytes, FirstEntryField, 1);
    Put32(&bytes, EntryCountField, 2);
    Use("searched", bytes);
    EXPECT_EQ(Read("a"), "(none)");
    EXPECT_EQ(Read("b"), "b");
    EXPECT_EQ(Read("c"), "c");
    EXPECT_EQ(Read("d"), "(none)");
}

TEST_F(Archives, OneCacheEntryPerFolderAsWrittenUpToLetterCase)
{
    std::string folder = Folder("Shared");
    WriteArchive(folder, {{"X.TXT", "x"}});
    int cached = ListLength(ArchiveCache);
    const char *spellings[] = {
        "C:\\rumbelon-gamefs\\Shared", "c:\\RUMBELON-GAMEFS\\shared\\",  // one entry
        "C:\\rumbelon-gamefs\\.\\Shared",                                 // another
        "C:\\rumbelon-gamefs\\Shared\\..\\Shared",                        // and another
    };
    for (const char *spelling : spellings) {
        DirectoryHandle *handle = OpenDirectory(spelling, nullptr);
        GameFile *file = OpenGameFile(handle, "x.txt", "rb");
        ASSERT_NE(file, nullptr) << spelling;
        CloseGameFile(file);
        file = OpenGameFile(handle, "x.txt", "rb");  // a second lookup loads nothing
        CloseGameFile(file);
        CloseDirectory(handle);
    }
    ASSERT_EQ(ListLength(ArchiveCache), cached + 3);
    const FastFileArchive *newest = static_cast<const FastFileArchive *>(ArchiveCache->next->payload);
    EXPECT_STREQ(newest->path, "C:\\RUMBELON-GAMEFS\\SHARED\\..\\SHARED\\FASTFILE.DAT");
    EXPECT_EQ(GetArchive(newest->path), newest);
    // The key is compared exactly: the same file spelled otherwise is another archive.
    FastFileArchive *lower = GetArchive("c:\\rumbelon-gamefs\\shared\\..\\shared\\fastfile.dat");
    EXPECT_NE(lower, nullptr);
    EXPECT_NE(lower, newest);
    EXPECT_EQ(ListLength(ArchiveCache), cached + 4);
}

TEST_F(ArchiveFolder, FailuresAreNotCached)
{
    std::string bytes = ArchiveBytes({{"RES.DAT", "found"}});
    std::string wrongMagic = bytes;
    wrongMagic[0] = 'X';
    Use("later", wrongMagic);
    int cached = ListLength(ArchiveCache);
    EXPECT_EQ(Read("res.dat"), "(none)");
    EXPECT_EQ(ListLength(ArchiveCache), cached);

    std::string flagged = bytes;
    Put32(&flagged, FlagsField, 1);
    WriteBytes(folder + "FASTFILE.DAT", flagged);
    EXPECT_EQ(Read("res.dat"), "(none)");
    remove((folder + "FASTFILE.DAT").c_str());
    EXPECT_EQ(Read("res.dat"), "(none)");
    EXPECT_EQ(ListLength(ArchiveCache), cached);

    WriteBytes(folder + "FASTFILE.DAT", bytes);  // looked for again, now found
    EXPECT_EQ(Read("res.dat"), "found");
    EXPECT_EQ(ListLength(ArchiveCache), cached + 1);
}

TEST_F(ArchiveFolder, InconsistentArchivesCountAsNone)
{
    const struct {
        const char *what;
        uint32_t field;
        uint32_t value;
    } breakages[] = {
        {"directory below the header", DirectorySizeField, 20},
        {"directory past the file", DirectorySizeField, 4096},
        {"directory of 4 GiB", DirectorySizeField, UINT32_MAX},
        {"more records than the directory", EntryCountField, 3},
        {"first entry far out", FirstEntryField, 0x0AAAAAAB},  // 24 times it wraps to 8
    };
    GetArchive("C:\\none\\FASTFILE.DAT");  // the cache itself is made once
    int cached = ListLength(ArchiveCache);
    for (const auto &b : breakages) {
        std::string bytes = ArchiveBytes({{"A", "a"}, {"B", "b"}});
        Put32(&bytes, b.field, b.value);
        Use("broken", bytes);
        int64_t before = PoolBytesInUse();
        EXPECT_EQ(Read("a"), "(none)") << b.what;
        EXPECT_EQ(PoolBytesInUse(), before) << b.what;
        EXPECT_EQ(ListLength(ArchiveCache), cached) << b.what;
        CloseDirectory(handle);
    }
}

TEST_F(ArchiveLookups, EntriesEndingPastTheFileAreNeverOpened)
{
    std::string bytes = ArchiveBytes({{"GOOD", "good"}, {"LONG", "long"}, {"FAR", "far"}});
    Put32(&bytes, RecordField(1, 16), 1000);        // size beyond the end
    Put32(&bytes, RecordField(2, 12), 0xFFFFFFF0);  // offset + size wraps around
    Put32(&bytes, RecordField(2, 16), 0x20);
    Use("past-end", bytes);
    EXPECT_EQ(Read("good"), "good");
    EXPECT_EQ(Read("long"), "(none)");
    EXPECT_EQ(Read("far"), "(none)");
}

TEST(GetArchive, RefusesPathsPastItsKey)
{
    std::string path = "C:\\" + std::string(300, 'k') + "\\FASTFILE.DAT";
    EXPECT_EQ(GetArchive(path.c_str()), nullptr);
    EXPECT_EQ(GetArchive(nullptr), nullptr);
    GameFile file{};
    char joined[] = "C:\\X\\Y";
    EXPECT_EQ(FindArchiveEntry(&file, 99, joined, "rb"), nullptr);  // folder past the path
    EXPECT_EQ(FindArchiveEntry(&file, 5, joined, "wb"), nullptr);
    EXPECT_EQ(file.stream, nullptr);
}

}  // namespace
