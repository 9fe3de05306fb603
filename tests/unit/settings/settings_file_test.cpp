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

// The file's identity: a file moved into place has a new one, a file
// written in place keeps its own.
uint64_t Identity(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

// The save's calls, each failing with its error when that is not 0.
DWORD CreateError, WriteError, CloseError, MoveError;
int Creates;

HANDLE WINAPI FakeCreate(LPCSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD attributes, HANDLE model)
{
    ++Creates;
    SetLastError(CreateError);
    return CreateError ? INVALID_HANDLE_VALUE
                       : CreateFileA(path, access, sharing, security, disposition, attributes, model);
}

BOOL WINAPI FakeWrite(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    SetLastError(WriteError);
    return WriteError ? FALSE : WriteFile(file, bytes, size, written, overlapped);
}

BOOL WINAPI FakeClose(HANDLE file)
{
    CloseHandle(file);
    SetLastError(CloseError);
    return CloseError == 0;
}

BOOL WINAPI FakeMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    SetLastError(MoveError);
    return MoveError ? FALSE : MoveFileExA(from, to, flags);
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
        const char *what;
        DWORD *error;  // of the failing call, or null
        DWORD value;
        int takenNames;  // res1.tmp on (and res.tmp when all 100 are)
        Way way;
        int creates;
    } cases[] = {
        {"a free first name", nullptr, 0, 99, Moved, 1},
        {"every name taken", nullptr, 0, 100, InPlace, 100},
        {"no right to create", &CreateError, ERROR_ACCESS_DENIED, 0, InPlace, 1},
        {"create fails otherwise", &CreateError, ERROR_PATH_NOT_FOUND, 0, NotSaved, 1},
        {"a full disk", &WriteError, ERROR_DISK_FULL, 0, NotSaved, 1},
        {"the close fails", &CloseError, ERROR_DISK_FULL, 0, NotSaved, 1},
        {"the file is locked", &MoveError, ERROR_LOCK_VIOLATION, 0, InPlace, 1},
        {"the move fails otherwise", &MoveError, ERROR_NOT_SAME_DEVICE, 0, NotSaved, 1},
    };
    RegisterFolder("C:\\rumbelon-settings");
    const SettingsFileCalls system = SettingsFiles;
    SettingsFiles = {FakeCreate, FakeWrite, FakeClose, FakeMove};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(File, "8 W L\r\n");
        for (int i = 0; i < c.takenNames; ++i)
            WriteBytes(Folder + (i < 99 ? "res" + std::to_string(i + 1) : std::string("res")) + ".tmp", "taken");
        const uint64_t before = Identity(File);
        if (c.error)
            *c.error = c.value;
        Creates = 0;
        SaveSettings();
        if (c.error)
            *c.error = 0;
        EXPECT_EQ(ReadBytes(File), c.way == NotSaved ? "8 W L\r\n" : "6 F H\r\n");
        EXPECT_EQ(Identity(File) == before, c.way != Moved);
        EXPECT_EQ(Creates, c.creates);
        EXPECT_EQ(ReadBytes(Pending), c.takenNames == 100 ? "taken" : "(missing)");
        EXPECT_EQ(ReadBytes(Folder + "res99.tmp"), c.takenNames ? "taken" : "(missing)");
        RemoveTree(Folder.substr(0, Folder.size() - 1));
        MakeFolder(Folder);
    }
    SettingsFiles = system;

    // Another program holds the file open, sharing reading and writing but
    // not its deletion: the file cannot be replaced, but written.
    WriteBytes(File, "8 W L\r\n");
    HANDLE held = CreateFileA(File.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SaveSettings();
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(File), "6 F H\r\n");
    EXPECT_FALSE(Exists(Pending));
}

}  // namespace
