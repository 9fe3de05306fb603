// The parts of the disc search that need no disc, run beside an empty
// CD-ROM drive; the scans that find the disc run end to end.

#include "discovery/cd_search.h"

#include "support/windows_fixture.h"
#include "menu_shared/menu_shared.h"

namespace {

class DiscSearch : public FileSystemTest {};

TEST_F(DiscSearch, AFolderHoldsAFileOnlyWhenItOpensThere)
{
    std::string root = Folder("disc");
    MakeFolder(root + "rumbelon");
    WriteBytes(root + "rumbelon\\rumbelon.exe", "MZ");
    DirectoryHandle *handle = OpenDirectory(root.c_str(), nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(DiscHoldsFile(handle, "rumbelon\\rumbelon.exe"), 1);
    EXPECT_EQ(DiscHoldsFile(handle, "rumbelon\\missing.exe"), 0);
    EXPECT_EQ(DiscHoldsFile(nullptr, "rumbelon\\rumbelon.exe"), 0);
    EXPECT_EQ(ListLength(OpenFileRegistry), 0);  // the probe closes what it opened
    CloseDirectory(handle);
}

TEST_F(DiscSearch, AScanWithoutTheDiscKeepsNoHandle)
{
    ASSERT_EQ(GetDriveTypeA("E:\\"), UINT(DRIVE_CDROM)) << "E: should be an empty CD-ROM drive (the suite's DRIVES)";
    int before = ListLength(DirectoryRegistry);
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(ScanCdDrives("rumbelon\\rumbelon.exe"), 0);
    EXPECT_EQ(DiscDirectory, nullptr);
    EXPECT_EQ(ListLength(DirectoryRegistry), before);
}

// The quit sequence releases the disc before the file system shuts down:
// no pointer to the handle outlives it.
TEST_F(DiscSearch, ReleasingTheDiscClosesAndForgetsItsHandle)
{
    int before = ListLength(DirectoryRegistry);
    DiscDirectory = OpenDirectory(Folder("disc").c_str(), nullptr);
    ASSERT_NE(DiscDirectory, nullptr);
    ReleaseGameDisc();
    EXPECT_EQ(DiscDirectory, nullptr);
    EXPECT_EQ(ListLength(DirectoryRegistry), before);
}

TEST_F(DiscSearch, APromptWithoutItsTextsCountsAsCancel)
{
    // This program carries no string table, so the prompt cannot be shown;
    // the search must end rather than rescan without an answer.
    ProgramInstance = GetModuleHandleA(nullptr);
    LanguageLibrary = nullptr;
    EXPECT_EQ(FindGameDisc(), 0);
    EXPECT_EQ(DiscSearchCancelled, 0);
    EXPECT_EQ(DiscDirectory, nullptr);
}

}  // namespace
