// The settings file in a real folder, found through a real application-path
// entry, read and written through the game file system.

#include "settings/settings_file.h"
#include "settings/settings_file_calls.h"

#include "support/registry_entries.h"
#include "support/windows_fixture.h"

#include <windows.h>

namespace {

const std::string Folder = "C:\\rumbelon-settings\\";
const std::string File = Folder + "res.dat";
const std::string Pending = Folder + "res.tmp";

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The save's calls, each failing with its error when that is not 0.
DWORD CreateError, CloseError, MoveError;
int Creates;

HANDLE WINAPI FakeCreate(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD how, DWORD, HANDLE)
{
    ++Creates;
    SetLastError(CreateError);
    return CreateError ? INVALID_HANDLE_VALUE : CreateFileA(path, access, share, nullptr, how, 0, nullptr);
}

BOOL WINAPI FakeClose(HANDLE file)
{
    return CloseHandle(file) && (SetLastError(CloseError), CloseError == 0);
}

BOOL WINAPI FakeMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    return (SetLastError(MoveError), MoveError == 0) && MoveFileExA(from, to, flags);
}

void ExpectSettings(int32_t code, int32_t windowed, int32_t low)
{
    EXPECT_EQ(Settings.resolutionCode, code);
    EXPECT_EQ(Settings.windowed, windowed);
    EXPECT_EQ(Settings.lowDrawingDistance, low);
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegistryKey(AppPathsEntry);
        RemoveTree(Folder.substr(0, Folder.size() - 1));
        MakeFolder(Folder);
        FileSystemStartup();
        Settings = {0, 0, 6};
    }

    void TearDown() override
    {
        FileSystemShutdown();
        DeleteRegistryKey(AppPathsEntry);
        RemoveTree(Folder.substr(0, Folder.size() - 1));
    }

    void RegisterFolder(const std::string &path)
    {
        ASSERT_TRUE(SetRegistryString(AppPathsEntry, "Path", path));
    }
};

TEST_F(SettingsFile, WithoutAnInstallationNothingIsReadOrWritten)
{
    WriteBytes(File, "8 W L\r\n");
    for (const char *path : {"(none)", "", " ", "C:\\rumbelon-settings\\missing"}) {
        SCOPED_TRACE(path);
        if (std::string(path) != "(none)")
            RegisterFolder(path);
        Settings = {1, 0, 3};
        LoadSettings();
        ExpectSettings(3, 1, 0);
        SaveSettings();
        EXPECT_EQ(ReadBytes(File), "8 W L\r\n");
    }
}

TEST_F(SettingsFile, LoadReadsTheFirstLineOnly)
{
    RegisterFolder("C:\\rumbelon-settings");
    WriteBytes(File, "8 w l\r\n3 F H\r\n");
    LoadSettings();
    ExpectSettings(8, 1, 1);

    WriteBytes(File, "");  // an empty line clears the flags, the code stays
    LoadSettings();
    ExpectSettings(8, 0, 0);
}

TEST_F(SettingsFile, AMissingFileChangesNothingAndASaveCreatesIt)
{
    RegisterFolder("C:\\rumbelon-settings");
    Settings = {1, 0, 5};
    LoadSettings();
    ExpectSettings(5, 1, 0);

    Settings = {0, 0, 6};
    SaveSettings();
    EXPECT_EQ(ReadBytes(File), "6 F H\r\n");
    Settings = {1, 1, 1};
    SaveSettings();
    EXPECT_EQ(ReadBytes(File), "1 W L\r\n");
    EXPECT_FALSE(Exists(Pending));
}

TEST_F(SettingsFile, TheFolderArchiveServesReadsButNeverWrites)
{
    RegisterFolder("C:\\rumbelon-settings\\");
    WriteArchive(Folder, {{"RES.DAT", "4 W H\r\n"}, {"OTHER.DAT", "x"}});
    std::string archive = ReadBytes(Folder + "FASTFILE.DAT");
    LoadSettings();
    ExpectSettings(4, 1, 0);

    Settings.resolutionCode = 8;
    SaveSettings();
    EXPECT_EQ(ReadBytes(File), "8 W H\r\n");
    EXPECT_EQ(ReadBytes(Folder + "FASTFILE.DAT"), archive);
}

// A save writes to a file of its own: whatever already has the name
// "res.tmp" (a file, a folder) is left byte for byte and the save goes
// around it; a save that cannot happen leaves the old file and removes only
// what it made.
TEST_F(SettingsFile, ASaveTouchesNoOtherFileAndOnFailureLeavesTheOldOne)
{
    RegisterFolder("C:\\rumbelon-settings");
    WriteBytes(File, "8 W L\r\n");
    WriteBytes(Pending, "not the game's");
    MakeFolder(Folder + "res1.tmp");
    Settings = {0, 0, 6};
    SaveSettings();
    EXPECT_EQ(ReadBytes(File), "6 F H\r\n");
    EXPECT_EQ(ReadBytes(Pending), "not the game's");
    EXPECT_FALSE(Exists(Folder + "res2.tmp"));
    RemoveTree(Folder + "res1.tmp");

    RemoveTree(Folder.substr(0, Folder.size() - 1));
    MakeFolder(Folder);
    MakeFolder(File);  // nothing can take the old file's place
    SaveSettings();
    EXPECT_EQ(GetFileAttributesA(File.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(Exists(Pending));
}

// A new file moved into place, where it can be; the plain write in place
// where the folder or the old file allows no new file in its place (for
// want of rights, of sharing or of a free name); and no save at all, the
// old file as it was, where the new file could not be made whole.
TEST_F(SettingsFile, ASaveMovesANewFileWritesInPlaceOrLeavesTheOldOne)
{
    enum Way { Moved, InPlace, NotSaved };
    const struct {
        DWORD *error;  // of the failing call, or null
        DWORD value;
        int takenNames;  // res1.tmp on (and res.tmp when all 100 are)
        bool held;       // open elsewhere, shared for reading and writing only
        Way way;
        int creates;
    } cases[] = {
        {nullptr, 0, 99, false, Moved, 1},
        {nullptr, 0, 100, false, InPlace, 100},
        {nullptr, 0, 0, true, InPlace, 1},
        {&CreateError, ERROR_ACCESS_DENIED, 0, false, InPlace, 1},
        {&MoveError, ERROR_LOCK_VIOLATION, 0, false, InPlace, 1},
        {&CreateError, ERROR_PATH_NOT_FOUND, 0, false, NotSaved, 1},
        {&CloseError, ERROR_DISK_FULL, 0, false, NotSaved, 1},
        {&MoveError, ERROR_NOT_SAME_DEVICE, 0, false, NotSaved, 1},
    };
    RegisterFolder("C:\\rumbelon-settings");
    const SettingsFileCalls system = SettingsFiles;
    SettingsFiles = {FakeCreate, FakeClose, FakeMove};
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        WriteBytes(File, "8 W L\r\n");
        for (int i = 1; i <= c.takenNames; ++i)
            WriteBytes(Folder + (i < 100 ? "res" + std::to_string(i) : std::string("res")) + ".tmp", "taken");
        // A second name of the old file: it sees a write in place, not a move.
        ASSERT_TRUE(CreateHardLinkA((Folder + "old.dat").c_str(), File.c_str(), nullptr));
        const DWORD readWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
        HANDLE held = c.held ? CreateFileA(File.c_str(), GENERIC_WRITE, readWrite, nullptr, OPEN_EXISTING, 0, nullptr)
                             : nullptr;
        DWORD &error = c.error ? *c.error : CreateError;  // a row without a failing call sets 0
        error = c.value;
        Creates = 0;
        SaveSettings();
        error = 0;
        CloseHandle(held);
        EXPECT_EQ(ReadBytes(File), c.way == NotSaved ? "8 W L\r\n" : "6 F H\r\n");
        EXPECT_EQ(ReadBytes(Folder + "old.dat"), c.way == InPlace ? "6 F H\r\n" : "8 W L\r\n");
        EXPECT_EQ(Creates, c.creates);
        EXPECT_EQ(ReadBytes(Pending), c.takenNames == 100 ? "taken" : "(missing)");
        EXPECT_EQ(ReadBytes(Folder + "res99.tmp"), c.takenNames ? "taken" : "(missing)");
        RemoveTree(Folder.substr(0, Folder.size() - 1));
        MakeFolder(Folder);
    }
    SettingsFiles = system;
}

}  // namespace
