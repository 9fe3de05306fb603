// The settings file in a real folder, found through a real application-path
// entry, read and written through the game file system.

#include "settings/settings_file.h"

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

}  // namespace
