// Search paths and directory handles against the real Windows C runtime:
// absolute, relative, network and drive-root paths, refused combinations,
// the current drive and directory around DirectoryExists.

#include "core/pool_internal.h"
#include "support/pool_heap.h"
#include "support/windows_fixture.h"

#include <direct.h>
#include <stdlib.h>

#include <functional>

namespace {

using Directories = FileSystemTest;

TEST(IsAbsolutePath, LooksAtTheFirstTwoCharactersOnly)
{
    for (const char *path : {"C:\\games", "c:", "C:relative", "9:", "\\\\server\\share", "\\\\"})
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
    for (const char *path : {"", "\\games", "games", "games\\sub", ".\\x", "C", "/x", "//server"})
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
    EXPECT_FALSE(IsAbsolutePath(nullptr));
}

TEST_F(Directories, AbsoluteHandleKeepsThePathAsGivenWithOneBackslash)
{
    Folder("games");
    const struct {
        const char *given;
        const char *stored;
    } cases[] = {
        {"C:\\rumbelon-gamefs\\games", "C:\\rumbelon-gamefs\\games\\"},
        {"C:\\rumbelon-gamefs\\games\\", "C:\\rumbelon-gamefs\\games\\"},
        {"c:\\RUMBELON-gamefs\\.\\Games", "c:\\RUMBELON-gamefs\\.\\Games\\"},  // not resolved
        {"C:\\", "C:\\"},
        {"Z:\\", "Z:\\"},
    };
    for (const auto &c : cases) {
        DirectoryHandle *handle = OpenDirectory(c.given, nullptr);
        ASSERT_NE(handle, nullptr) << c.given;
        EXPECT_STREQ(handle->path, c.stored);
        EXPECT_EQ(handle->searchPaths, nullptr);
        EXPECT_EQ(DirectoryRegistry->previous->payload, handle);  // registered last
        CloseDirectory(handle);
    }
}

TEST_F(Directories, RelativeHandleNamesAFolderUnderItsSearchPath)
{
    std::string games = Folder("games");
    SearchPath *searchPath = CreateSearchPath(TestRoot);
    ASSERT_NE(searchPath, nullptr);
    EXPECT_STREQ(searchPath->path, "C:\\rumbelon-gamefs\\");

    DirectoryHandle *handle = OpenDirectory("games", searchPath);
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(handle->path, "games\\");
    ASSERT_EQ(ListLength(handle->searchPaths), 1);
    EXPECT_EQ(handle->searchPaths->next->payload, searchPath);

    DirectoryHandle *itself = OpenDirectory("", searchPath);
    ASSERT_NE(itself, nullptr);
    EXPECT_STREQ(itself->path, "");

    WriteBytes(games + "in-games.txt", "g");
    WriteBytes(std::string(TestRoot) + "\\at-root.txt", "r");
    GameFile *inGames = OpenGameFile(handle, "in-games.txt", "rb");
    GameFile *atRoot = OpenGameFile(itself, "at-root.txt", "rb");
    EXPECT_EQ(ReadRest(inGames), "g");
    EXPECT_EQ(ReadRest(atRoot), "r");
    CloseGameFile(inGames);
    CloseGameFile(atRoot);
    CloseDirectory(handle);
    CloseDirectory(itself);
}

TEST_F(Directories, RefusedHandlesLeaveNothingBehind)
{
    Folder("games");
    SearchPath *searchPath = CreateSearchPath(TestRoot);
    ASSERT_NE(searchPath, nullptr);
    std::string tooLong = std::string(TestRoot) + "\\" + std::string(250, 'x');
    std::string longRelative(255, 'y');  // joined with the search path: over 260 characters
    const struct {
        const char *path;
        SearchPath *searchPath;
    } refused[] = {
        {"games", nullptr},                          // relative without a search path
        {"C:\\rumbelon-gamefs\\games", searchPath},  // absolute with one
        {"\\rumbelon-gamefs\\games", nullptr},       // one backslash is not absolute
        {"C:\\rumbelon-gamefs\\missing", nullptr},
        {"missing", searchPath},
        {tooLong.c_str(), nullptr},
        {longRelative.c_str(), searchPath},
        {nullptr, nullptr},
        {nullptr, searchPath},
    };
    int64_t before = PoolBytesInUse();
    int handles = ListLength(DirectoryRegistry);
    for (const auto &r : refused)
        EXPECT_EQ(OpenDirectory(r.path, r.searchPath), nullptr) << (r.path ? r.path : "(null)");
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(ListLength(DirectoryRegistry), handles);

    CloseDirectory(nullptr);
    CloseSearchPath(nullptr);
    EXPECT_EQ(PoolBytesInUse(), before);
}

// 1 for an object made and registered, -1 made but not registered, 0 none;
// it is closed again.
template <typename Made, typename Close>
int Registered(Made *made, List *registry, Close close)
{
    int result = !made ? 0 : registry->previous->payload == made ? 1 : -1;
    close(made);
    return result;
}

// Each call with a pool of its own that may carve 0, 4, 8... bytes: until
// it succeeds, wherever the pool runs out (the registry's node included),
// it fails and keeps nothing.
TEST_F(Directories, APoolThatRunsOutFailsTheCallAndKeepsNothing)
{
    std::string folder = Folder("pool");
    WriteBytes(folder + "loose.txt", "x");
    DirectoryHandle *handle = OpenDirectory(folder.c_str(), nullptr);
    const std::function<int()> calls[] = {
        [&] { return Registered(CreateSearchPath(folder.c_str()), SearchPathRegistry, CloseSearchPath); },
        [&] { return Registered(OpenDirectory(folder.c_str(), nullptr), DirectoryRegistry, CloseDirectory); },
        [&] { return Registered(OpenDirectory("pool", WorkingSearchPath), DirectoryRegistry, CloseDirectory); },
        [&] { return Registered(OpenGameFile(handle, "loose.txt", "rb"), OpenFileRegistry, CloseGameFile); },
    };
    for (const auto &call : calls) {
        int made = 0;
        for (int32_t budget = 0; made == 0 && budget < 4096; budget += 4) {
            const PoolState saved = Pool;
            Pool = PoolState{};
            Pool.budget = budget;
            int64_t before = PoolBytesInUse();
            made = call();
            EXPECT_EQ(PoolBytesInUse(), before) << &call - calls << " with " << budget;
            TestHeap::Release(Pool.chunk.carvingPoint ? Pool.chunk.carvingPoint - (budget - Pool.budget) : nullptr);
            Pool = saved;
        }
        EXPECT_EQ(made, 1) << &call - calls;
    }
    CloseDirectory(handle);
}

TEST_F(Directories, NetworkPathsAreAbsolute)
{
    // Wine serves \\server\share from the prefix's dosdevices\unc folder.
    const char *prefix = getenv("WINEPREFIX");
    if (!prefix)
        GTEST_SKIP() << "needs Wine's UNC folder";
    std::string unc = std::string("Z:") + prefix + "\\dosdevices\\unc";
    for (char &c : unc)
        c = c == '/' ? '\\' : c;
    MakeFolder(unc);
    MakeFolder(unc + "\\rumbelonhost");
    MakeFolder(unc + "\\rumbelonhost\\share");
    WriteBytes(unc + "\\rumbelonhost\\share\\marker.txt", "on the share");

    DirectoryHandle *share = OpenDirectory("\\\\rumbelonhost\\share", nullptr);
    ASSERT_NE(share, nullptr);
    EXPECT_STREQ(share->path, "\\\\rumbelonhost\\share\\");
    GameFile *marker = OpenGameFile(share, "marker.txt", "r");
    EXPECT_EQ(ReadRest(marker), "on the share");
    CloseGameFile(marker);
    CloseDirectory(share);
    EXPECT_EQ(OpenDirectory("\\\\rumbelonhost\\missing", nullptr), nullptr);

    // A current directory on a share has no drive; it is restored all the same.
    ASSERT_EQ(_chdir("\\\\rumbelonhost\\share"), 0);
    EXPECT_TRUE(DirectoryExists(TestRoot));
    EXPECT_EQ(CurrentDirectory(), "\\\\rumbelonhost\\share");
    EXPECT_EQ(_getdrive(), 0);
    _chdir(TestRoot);
    RemoveTree(unc + "\\rumbelonhost");
}

TEST_F(Directories, DirectoryExistsRestoresTheCurrentDriveAndDirectory)
{
    std::string games = Folder("games");
    WriteBytes(games + "file.txt", "");
    const char *starts[] = {TestRoot, "C:\\", "Z:\\tmp"};
    const struct {
        const char *path;
        bool exists;
    } cases[] = {
        {"C:\\rumbelon-gamefs\\games", true},
        {"C:\\rumbelon-gamefs\\games\\", true},
        {"games", true},  // relative to the current directory
        {"Z:\\", true},   // another drive
        {"C:\\", true},
        {"C:\\rumbelon-gamefs\\missing", false},
        {"C:\\rumbelon-gamefs\\games\\file.txt", false},  // a file is no directory
        {"Q:\\", false},                                   // no such drive
        {"", false},
    };
    for (const char *start : starts) {
        ASSERT_EQ(_chdir(start), 0) << start;
        std::string current = CurrentDirectory();
        int drive = _getdrive();
        for (const auto &c : cases) {
            bool expected = c.exists && !(std::string(c.path) == "games" && current != TestRoot);
            EXPECT_EQ(DirectoryExists(c.path), expected) << c.path << " from " << start;
            EXPECT_EQ(CurrentDirectory(), current) << c.path << " from " << start;
            EXPECT_EQ(_getdrive(), drive) << c.path << " from " << start;
        }
    }
    EXPECT_FALSE(DirectoryExists(nullptr));
}

TEST_F(Directories, SearchPathsAreResolvedFullPathsWithABackslash)
{
    Folder("games");
    ASSERT_EQ(_chdir(TestRoot), 0);
    const struct {
        const char *given;
        const char *path;
    } cases[] = {
        {"games", "C:\\rumbelon-gamefs\\games\\"},
        {".\\games\\..\\games\\.", "C:\\rumbelon-gamefs\\games\\"},
        {"", "C:\\rumbelon-gamefs\\"},
        {"C:\\", "C:\\"},
        {"c:\\Rumbelon-Gamefs\\GAMES\\", "c:\\Rumbelon-Gamefs\\GAMES\\"},
    };
    for (const auto &c : cases) {
        SearchPath *searchPath = CreateSearchPath(c.given);
        ASSERT_NE(searchPath, nullptr) << c.given;
        EXPECT_STREQ(searchPath->path, c.path);
        EXPECT_EQ(SearchPathRegistry->previous->payload, searchPath);
        CloseSearchPath(searchPath);
    }

    int64_t before = PoolBytesInUse();
    int registered = ListLength(SearchPathRegistry);
    EXPECT_EQ(CreateSearchPath("missing"), nullptr);
    EXPECT_EQ(CreateSearchPath(nullptr), nullptr);
    // A full path of 260 characters has no room for the backslash it needs.
    EXPECT_EQ(CreateSearchPath(("C:\\" + std::string(257, 'z')).c_str()), nullptr);
    EXPECT_EQ(CreateSearchPath(("C:\\" + std::string(300, 'z')).c_str()), nullptr);
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(ListLength(SearchPathRegistry), registered);
}

TEST_F(Directories, LongestPathsAreUsedAndLongerOnesRefusedNotCut)
{
    // A folder whose path with its backslash is 249 characters, holding a
    // file whose joined path is 259, the longest the runtime resolves.
    std::string deep = TestRoot;
    while (deep.size() < 248 - 40)
        MakeFolder(deep += "\\" + std::string(39, 'd'));
    MakeFolder(deep += "\\" + std::string(248 - deep.size() - 1, 'e'));
    ASSERT_EQ(deep.size(), 248u);
    WriteBytes(deep + "\\abcdefghij", "ten");
    DirectoryHandle *handle = OpenDirectory(deep.c_str(), nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(strlen(handle->path), 249u);

    GameFile *file = OpenGameFile(handle, "abcdefghij", "rb");
    EXPECT_EQ(ReadRest(file), "ten");
    CloseGameFile(file);
    // Joined paths over 260 characters are refused, not cut to a file that
    // happens to exist.
    int64_t before = PoolBytesInUse();
    for (const char *name : {"abcdefghij\\..\\abcdefghij", "abcdefghijkl"}) {
        EXPECT_EQ(OpenGameFile(handle, name, "rb"), nullptr) << name;
        EXPECT_EQ(OpenGameFile(handle, name, "wb"), nullptr) << name;
    }
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(ReadBytes(deep + "\\abcdefghij"), "ten");
    CloseDirectory(handle);
}

}  // namespace
