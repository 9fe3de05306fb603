// Start-up and shutdown of the game file system against the real Windows C
// runtime: the default search paths and handles, a second start, and what
// shutdown releases.

#include "support/windows_fixture.h"

#include <direct.h>
#include <stdlib.h>

namespace {

// The program's own path as started, swapped in for one start-up.
struct ProgramPath {
    char **saved = __argv;
    char *arguments[2] = {nullptr, nullptr};
    std::string path;
    explicit ProgramPath(const std::string &given) : path(given)
    {
        arguments[0] = &path[0];
        __argv = arguments;
    }
    ~ProgramPath() { __argv = saved; }
};

TEST(FileSystemStartup, MakesTheDefaultSearchPathsAndHandles)
{
    RemoveTree(TestRoot);
    MakeFolder(TestRoot);
    MakeFolder(std::string(TestRoot) + "\\SETUP");
    std::string saved = CurrentDirectory();
    const struct {
        const char *program;
        const char *current;
        const char *programPath;  // null: none made
        const char *workingPath;
    } cases[] = {
        {"C:\\rumbelon-gamefs\\SETUP\\AUTORUN.EXE", "C:\\rumbelon-gamefs", "C:\\rumbelon-gamefs\\SETUP\\",
         "C:\\rumbelon-gamefs\\"},
        {"AUTORUN.EXE", "C:\\rumbelon-gamefs\\SETUP", "C:\\rumbelon-gamefs\\SETUP\\", "C:\\rumbelon-gamefs\\SETUP\\"},
        {"SETUP\\AUTORUN.EXE", "C:\\", "C:\\SETUP\\", "C:\\"},
        {"C:\\rumbelon-gamefs\\SETUP\\AUTORUN.EXE", "C:\\", "C:\\rumbelon-gamefs\\SETUP\\", "C:\\"},
        {"Q:\\SETUP\\AUTORUN.EXE", "C:\\", nullptr, "C:\\"},
        {"", "C:\\rumbelon-gamefs", "C:\\rumbelon-gamefs\\", "C:\\rumbelon-gamefs\\"},
    };
    MakeFolder("C:\\SETUP");
    for (const auto &c : cases) {
        ProgramPath program(c.program);
        ASSERT_EQ(_chdir(c.current), 0);
        int64_t before = PoolBytesInUse();
        EXPECT_EQ(FileSystemStartup(), 1);
        if (c.programPath) {
            ASSERT_NE(ProgramSearchPath, nullptr) << c.program;
            EXPECT_STREQ(ProgramSearchPath->path, c.programPath);
            ASSERT_NE(ProgramDirectory, nullptr);
            EXPECT_STREQ(ProgramDirectory->path, "");
            EXPECT_EQ(ProgramDirectory->searchPaths->next->payload, ProgramSearchPath);
        } else {
            EXPECT_EQ(ProgramSearchPath, nullptr) << c.program;
            EXPECT_EQ(ProgramDirectory, nullptr);
        }
        ASSERT_NE(WorkingSearchPath, nullptr);
        EXPECT_STREQ(WorkingSearchPath->path, c.workingPath);
        EXPECT_EQ(WorkingDirectory->searchPaths->next->payload, WorkingSearchPath);
        EXPECT_EQ(CurrentDirectory(), c.current);
        FileSystemShutdown();
        EXPECT_EQ(PoolBytesInUse(), before) << c.program;
    }
    {
        ProgramPath program(std::string(400, 'p'));  // too long to split: no program path
        EXPECT_EQ(FileSystemStartup(), 1);
        EXPECT_EQ(ProgramSearchPath, nullptr);
        FileSystemShutdown();
    }
    _chdir(saved.c_str());
    _rmdir("C:\\SETUP");
    RemoveTree(TestRoot);
}

TEST(FileSystemStartup, ASecondStartIsHarmless)
{
    int64_t before = PoolBytesInUse();
    FileSystemStartup();
    List *registry = DirectoryRegistry;
    SearchPath *program = ProgramSearchPath;
    EXPECT_EQ(FileSystemStartup(), 1);
    EXPECT_EQ(DirectoryRegistry, registry);
    EXPECT_EQ(ProgramSearchPath, program);
    FileSystemShutdown();
    EXPECT_EQ(PoolBytesInUse(), before);
}

TEST(FileSystemShutdown, ReleasesWhatCallersLeftOpen)
{
    RemoveTree(TestRoot);
    MakeFolder(TestRoot);
    std::string path = std::string(TestRoot) + "\\left-open.txt";
    WriteBytes(path, "x\n");
    std::string saved = CurrentDirectory();
    int64_t before = PoolBytesInUse();

    FileSystemStartup();
    DirectoryHandle *root = OpenDirectory(TestRoot, nullptr);
    DirectoryHandle *relative = OpenDirectory("", WorkingSearchPath);
    ASSERT_NE(root, nullptr);
    ASSERT_NE(relative, nullptr);
    ASSERT_NE(OpenGameFile(root, "left-open.txt", "r"), nullptr);
    ASSERT_NE(OpenGameFile(root, "left-open.txt", "rb"), nullptr);
    EXPECT_NE(remove(path.c_str()), 0);  // open files cannot be deleted
    EXPECT_EQ(ListLength(OpenFileRegistry), 2);
    FileSystemShutdown();

    EXPECT_EQ(SearchPathRegistry, nullptr);
    EXPECT_EQ(DirectoryRegistry, nullptr);
    EXPECT_EQ(OpenFileRegistry, nullptr);
    EXPECT_EQ(WorkingDirectory, nullptr);
    EXPECT_EQ(PoolBytesInUse(), before);
    EXPECT_EQ(remove(path.c_str()), 0);  // its streams are closed
    EXPECT_EQ(CurrentDirectory(), saved);

    // After shutdown nothing opens; closing null stays harmless.
    EXPECT_EQ(OpenDirectory(TestRoot, nullptr), nullptr);
    EXPECT_EQ(CreateSearchPath(TestRoot), nullptr);
    CloseAllGameFiles();
    FileSystemShutdown();
    RemoveTree(TestRoot);
}

}  // namespace
