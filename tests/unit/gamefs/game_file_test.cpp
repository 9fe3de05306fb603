// Game files against the real Windows C runtime: the binary flag and the
// translation mode for every mode spelling, the loose-then-archive search
// order, subfolders, writing modes that must never reach an archive, and
// closing.

#include "support/windows_fixture.h"

#include "core/pool.h"

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

namespace {

using GameFiles = FileSystemTest;

TEST(BinaryFlagFromMode, TheFirstBOrTDecides)
{
    const struct {
        const char *mode;
        int binary;
    } cases[] = {
        {"rb", 1}, {"wb", 1}, {"r+b", 1}, {"rB", 1}, {"rbt", 1},
        {"rt", 0}, {"wt", 0}, {"rT", 0},  {"rtb", 0}, {"a+t", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BinaryFlagFromMode(c.mode), c.binary) << c.mode;

    // Neither letter: the C runtime's default translation mode.
    int saved = _fmode;
    _fmode = _O_TEXT;
    EXPECT_EQ(BinaryFlagFromMode("r"), 0);
    _fmode = _O_BINARY;
    EXPECT_EQ(BinaryFlagFromMode("r"), 1);
    EXPECT_EQ(BinaryFlagFromMode("w+"), 1);
    _fmode = saved;
}

TEST(ModeOnlyReads, OnlyPlainReadingModes)
{
    for (const char *mode : {"r", "rb", "rt", "rbN", "rtc"})
        EXPECT_TRUE(ModeOnlyReads(mode)) << mode;
    for (const char *mode : {"w", "wb", "a", "ab", "r+", "r+b", "rb+", "w+t", "rw", "ra", "", "x"})
        EXPECT_FALSE(ModeOnlyReads(mode)) << mode;
    EXPECT_FALSE(ModeOnlyReads(nullptr));
}

TEST_F(GameFiles, ModesWithoutBOrTOpenUntranslatedStreams)
{
    std::string folder = Folder("modes");
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);
    ASSERT_NE(handle, nullptr);
    _fmode = _O_TEXT;

    const struct {
        const char *mode;
        int binary;
        const char *onDisk;  // after WriteLine "a"
    } cases[] = {
        {"w", 1, "a\r\n"},   // untranslated: the flag writes the 13
        {"wb", 1, "a\r\n"},
        {"wt", 0, "a\r\n"},  // translated: the stream turns 10 into 13 10
        {"wT", 0, "a\n"},   // the C runtime does not take T for text; the flag does
        {"w+b", 1, "a\r\n"},
    };
    for (const auto &c : cases) {
        GameFile *file = OpenGameFile(handle, "line.txt", c.mode);
        ASSERT_NE(file, nullptr) << c.mode;
        EXPECT_EQ(_fmode, _O_BINARY);
        EXPECT_EQ(IsBinary(file), c.binary) << c.mode;
        EXPECT_EQ(file->entry, nullptr);
        EXPECT_EQ(WriteLine(file, "a"), 1);
        EXPECT_EQ(CloseGameFile(file), 1);
        EXPECT_EQ(ReadBytes(folder + "line.txt"), c.onDisk) << c.mode;
    }

    // Reading "r": 13 10 and 26 come through as they are.
    WriteBytes(folder + "raw.txt", "a\r\n\x1a" "b");
    GameFile *raw = OpenGameFile(handle, "raw.txt", "r");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(IsBinary(raw), 1);
    EXPECT_EQ(ReadRest(raw), "a\r\n\x1a" "b");
    CloseGameFile(raw);
    CloseDirectory(handle);
}

TEST_F(GameFiles, NullArgumentsGiveNullAndLeaveTheDefaultModeAlone)
{
    std::string folder = Folder("null");
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);
    _fmode = _O_TEXT;
    int64_t before = PoolBytesInUse();
    EXPECT_EQ(OpenGameFile(nullptr, "x", "r"), nullptr);
    EXPECT_EQ(OpenGameFile(handle, nullptr, "r"), nullptr);
    EXPECT_EQ(OpenGameFile(handle, "x", nullptr), nullptr);
    EXPECT_EQ(_fmode, _O_TEXT);
    EXPECT_EQ(OpenGameFile(handle, "missing.txt", "r"), nullptr);
    EXPECT_EQ(OpenGameFile(WorkingDirectory, "missing.txt", "r"), nullptr);  // through its search path
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(ListLength(OpenFileRegistry), 0);
    EXPECT_EQ(CloseGameFile(nullptr), 0);
    _fmode = _O_BINARY;
    CloseDirectory(handle);
}

TEST_F(GameFiles, LooseFileBeatsTheArchiveEntry)
{
    std::string folder = Folder("order");
    WriteArchive(folder, {{"RES.DAT", "archived\r\n"}, {"ONLY.TXT", "only archived"}});
    WriteBytes(folder + "res.dat", "loose\r\n");
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);

    SearchPath *searchPath = CreateSearchPath(TestRoot);
    DirectoryHandle *relative = OpenDirectory("order", searchPath);
    for (DirectoryHandle *through : {handle, relative}) {
        GameFile *file = OpenGameFile(through, "res.dat", "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->entry, nullptr);
        EXPECT_EQ(ReadRest(file), "loose\r\n");
        CloseGameFile(file);
    }

    remove((folder + "res.dat").c_str());
    GameFile *file = OpenGameFile(handle, "res.dat", "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(file->entry, nullptr);
    EXPECT_EQ(ReadRest(file), "archived\r\n");
    EXPECT_EQ(OpenFileRegistry->next->payload, file);
    CloseGameFile(file);

    // The archive through the relative handle too.
    file = OpenGameFile(relative, "only.txt", "r");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadRest(file), "only archived");
    CloseGameFile(file);
    CloseDirectory(relative);
    CloseDirectory(handle);
}

TEST_F(GameFiles, NamesWithSubfoldersAreFoundLooseOrWholeInTheFoldersArchive)
{
    std::string root = Folder("disc");
    MakeFolder(root + "rumbelon");
    WriteBytes(root + "rumbelon\\rumbelon.exe", "MZ");
    MakeFolder(root + "sub");
    WriteArchive(root, {{"SUB\\A.TXT", "from the parent's archive"}});
    WriteArchive(root + "sub\\", {{"A.TXT", "from the subfolder's archive"}, {"B.TXT", "b"}});
    DirectoryHandle *disc = OpenDirectory(root.c_str(), nullptr);

    GameFile *marker = OpenGameFile(disc, "rumbelon\\rumbelon.exe", "r");
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(ReadRest(marker), "MZ");
    CloseGameFile(marker);

    GameFile *inArchive = OpenGameFile(disc, "sub\\a.txt", "rb");
    ASSERT_NE(inArchive, nullptr);
    EXPECT_EQ(ReadRest(inArchive), "from the parent's archive");
    CloseGameFile(inArchive);
    EXPECT_EQ(OpenGameFile(disc, "sub\\b.txt", "rb"), nullptr);  // not in the subfolder's archive
    CloseDirectory(disc);
}

TEST_F(GameFiles, WritingModesNeverReachTheArchive)
{
    std::string folder = Folder("readonly");
    WriteArchive(folder, {{"RES.DAT", "7 W L\r\n"}});
    std::string archive = ReadBytes(folder + "FASTFILE.DAT");
    MakeFolder(folder + "res.dat");  // a folder: the loose file cannot be opened at all
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);

    int64_t before = PoolBytesInUse();
    for (const char *mode : {"wb", "w", "wt", "ab", "a+", "r+b", "r+", "w+b"}) {
        EXPECT_EQ(OpenGameFile(handle, "res.dat", mode), nullptr) << mode;
        EXPECT_EQ(OpenArchiveEntry(handle, "res.dat", mode), nullptr) << mode;
    }
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(ReadBytes(folder + "FASTFILE.DAT"), archive);

    // Reading still falls back to the entry.
    GameFile *file = OpenGameFile(handle, "res.dat", "rb");
    ASSERT_NE(file, nullptr);
    char line[64];
    EXPECT_EQ(ReadLine(file, line, 63), 1);
    EXPECT_STREQ(line, "7 W L");
    EXPECT_EQ(WriteLine(file, "9 F H"), 0);  // the entry's stream only reads
    CloseGameFile(file);
    EXPECT_EQ(ReadBytes(folder + "FASTFILE.DAT"), archive);
    CloseDirectory(handle);
}

TEST_F(GameFiles, ClosingReportsTheStreamsCloseAndAlwaysReleases)
{
    std::string folder = Folder("close");
    WriteBytes(folder + "a.txt", "a");
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);
    int64_t before = PoolBytesInUse();

    GameFile *file = OpenGameFile(handle, "a.txt", "rb");
    ASSERT_NE(file, nullptr);
    _close(_fileno(file->stream));  // the stream's close will now fail
    EXPECT_EQ(CloseGameFile(file), 0);
    EXPECT_EQ(ListLength(OpenFileRegistry), 0);
    EXPECT_EQ(PoolBytesInUse(), before);

    GameFile *noStream = static_cast<GameFile *>(PoolAllocZeroed(sizeof(GameFile)));
    ListInsertBack(noStream, OpenFileRegistry);
    EXPECT_EQ(CloseGameFile(noStream), 0);
    EXPECT_EQ(ListLength(OpenFileRegistry), 0);
    EXPECT_EQ(PoolBytesInUse(), before);
    CloseDirectory(handle);
}

}  // namespace
