// The Performance Settings dialog of the real menu under Wine, and the
// settings file "res.dat" that it reads and writes, worked from outside as a
// user works them: the settings button, clicks on the radio buttons, keys in
// the resolution list, OK, Cancel, Esc and the close box; then the file
// checked byte for byte on disk.

#include "menu_fixture.h"
#include "settings_probe.h"
#include "resources/resource.h"

#include "support/archive_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using driver::FileBytes;
using driver::FolderListing;
using settings::Choice;
using settings::Read;
using settings::Shown;

const wchar_t ScratchFolder[] = L"C:\\rumbelon-settings\\";

const char *const RowTexts[] = {"320x200", "400x300", "512x384", "640x480", "800x600", "1024x768"};

const Shown StartValues = Choice(3, false, false);  // 640x480, full screen, high

class Settings : public MenuFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(MenuFixture::SetUp());
        ASSERT_TRUE(FreshFolder(ScratchFolder));
        Install(ScratchFolder);
    }

    void TearDown() override
    {
        if (menuWindow) {
            EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
        }
        MenuFixture::TearDown();
    }

    // Registers `installation` (with its trailing backslash) as the game's
    // folder, the way the installer names it: without the backslash.
    void Install(const std::wstring &installation)
    {
        folder = installation;
        demo::Register(folder.substr(0, folder.size() - 1), L"");
    }

    std::wstring SettingsFile() const { return folder + L"res.dat"; }

    // Writes an old file (WriteOldFile), then opens the menu.
    void OpenMenuAfterOldFile(const std::wstring &path, const std::string &bytes)
    {
        oldFileTime = driver::WriteOldFile(path, bytes);
        ASSERT_NE(0u, oldFileTime);
        ASSERT_TRUE(OpenMenu());
    }

    // The old file as it was written: the same bytes, the same time.
    void ExpectUntouched(const std::wstring &path, const std::string &bytes)
    {
        EXPECT_EQ(bytes, FileBytes(path));
        EXPECT_EQ(oldFileTime, driver::LastWriteTime(path));
    }

    // Presses the settings button (or, with `post`, sends its command
    // straight to the menu) and waits for the dialog. The menu is its owner
    // and takes no input while it is open.
    HWND OpenDialog(bool post = false)
    {
        if (post)
            menu::SendCommand(menuWindow, IDC_PERFORMANCE_SETTINGS);
        else
            driver::Click(driver::FindControl(menuWindow, IDC_PERFORMANCE_SETTINGS).window);
        dialog = driver::WaitForDialog(menuProcess->processId, nullptr, 20000);
        EXPECT_TRUE(dialog) << "the settings dialog did not appear";
        if (dialog) {
            EXPECT_EQ(menuWindow, GetWindow(dialog, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(menuWindow));
            // Position (0, 0): the client areas share their top-left
            // corner (the dialog's frame reaches out beyond the menu's).
            RECT own = driver::ClientRectOnScreen(dialog), owner = driver::ClientRectOnScreen(menuWindow);
            EXPECT_EQ(owner.left, own.left);
            EXPECT_EQ(owner.top, own.top);
        }
        return dialog;
    }

    // Waits until the dialog is gone and the menu is back in its own loop,
    // which it reaches only after the save and the refresh; the menu is
    // enabled again.
    void WaitUntilClosed()
    {
        ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindow(dialog); }, 20000)) << "the dialog stayed open";
        DWORD_PTR answer;
        ASSERT_TRUE(SendMessageTimeoutW(menuWindow, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer));
        EXPECT_TRUE(IsWindowEnabled(menuWindow));
    }

    void PressOk()
    {
        driver::Answer(dialog, IDOK);
        WaitUntilClosed();
    }

    // Picks another row and the other radio button of each pair, the
    // buttons by mouse, and sees each choice take.
    void ChangeEverything(int row)
    {
        SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_SETCURSEL, row, 0);
        Shown now = Read(dialog);
        Shown changed = Choice(row, now.windowed, now.low);
        ASSERT_EQ(changed, now);
        changed = Choice(row, !now.windowed, now.low);
        driver::MouseClick(GetDlgItem(dialog, now.windowed ? IDC_FULL_SCREEN : IDC_WINDOWED));
        EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog) == changed; }, 10000)) << Read(dialog);
        changed = Choice(row, !now.windowed, !now.low);
        driver::MouseClick(GetDlgItem(dialog, now.low ? IDC_HIGH : IDC_LOW));
        EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog) == changed; }, 10000)) << Read(dialog);
    }

    // Opens the dialog (OpenDialog), sees it show `shown`, picks `row` and
    // the other radio button of each pair, and presses OK.
    void ChangeAndSave(const Shown &shown, int row, bool post = false)
    {
        ASSERT_TRUE(OpenDialog(post));
        EXPECT_EQ(shown, Read(dialog));
        ChangeEverything(row);
        PressOk();
    }

    HWND dialog = nullptr;  // the last opened
    std::wstring folder;
    ULONGLONG oldFileTime = 0;
};

// Each line below is written to "res.dat", the dialog opened on it, and OK
// pressed; the rows run in this order in one menu, whose record lives on
// between them: a file that gives no code (empty) keeps the code chosen
// before, and no file at all keeps every value.
struct LineCase {
    const char *file;  // null: no "res.dat"
    Shown shown;
    const char *saved;
};

const LineCase LineCases[] = {
    {nullptr, StartValues, "6 F H\r\n"},
    {"8WL", Choice(4, true, true), "8 W L\r\n"},
    {"", Choice(4, false, false), "8 F H\r\n"},
    {"8 w l\r\n", Choice(4, true, true), "8 W L\r\n"},
    {"  4   W   H\n", Choice(1, true, false), "4 W H\r\n"},
    {nullptr, Choice(1, true, false), "4 W H\r\n"},
    {"5 F\r\n8 W L\r\n", Choice(2, false, false), "5 F H\r\n"},
    {"6 Windowed Low", Choice(3, true, false), "6 W H\r\n"},
    {"12 F H", Choice(3, false, false), "6 F H\r\n"},
    {"1 W L", Choice(5, true, true), "1 W L\r\n"},
    {"W L", Choice(5, false, false), "1 F H\r\n"},
    {"3 f h", Choice(0, false, false), "3 F H\r\n"},
    {"-1 W", Choice(3, true, false), "6 W H\r\n"},
};

TEST_F(Settings, EachLineIsShownThenSavedInItsOwnForm)
{
    // The game's own folder, whose name holds a space.
    Install(std::wstring(demo::InstallFolder) + L"\\");
    ASSERT_TRUE(FreshFolder(folder));
    OpenMenu();
    const std::vector<std::wstring> english = settings::LibraryTexts(L"rm_eng.dll");
    for (const LineCase &line : LineCases) {
        SCOPED_TRACE(line.file ? testing::PrintToString(std::string(line.file)) : "no file");
        DeleteFileW(SettingsFile().c_str());
        if (line.file) {
            ASSERT_TRUE(driver::WriteFileBytes(SettingsFile(), line.file));
        }
        ASSERT_TRUE(OpenDialog());
        EXPECT_EQ(line.shown, Read(dialog));
        EXPECT_EQ(english, settings::ShownTexts(dialog));
        HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
        ASSERT_EQ(6, SendMessageW(list, CB_GETCOUNT, 0, 0));
        for (int row = 0; row < 6; row++) {
            wchar_t text[32] = L"";
            SendMessageW(list, CB_GETLBTEXT, row, LPARAM(text));
            EXPECT_EQ(std::wstring(RowTexts[row], RowTexts[row] + strlen(RowTexts[row])), text);
        }
        PressOk();
        EXPECT_EQ(line.saved, FileBytes(SettingsFile()));
        EXPECT_EQ(std::vector<std::wstring>{L"res.dat"}, FolderListing(folder));
    }
}

TEST_F(Settings, AChangedChoiceIsSavedAsTheNewLine)
{
    ASSERT_TRUE(driver::WriteFileBytes(SettingsFile(), "6 F H\r\n"));
    OpenMenu();
    ASSERT_TRUE(OpenDialog());
    ASSERT_EQ(StartValues, Read(dialog));
    driver::MouseClick(GetDlgItem(dialog, IDC_WINDOWED));
    EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog) == Choice(3, true, false); }, 10000)) << Read(dialog);
    driver::MouseClick(GetDlgItem(dialog, IDC_LOW));
    EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog) == Choice(3, true, true); }, 10000)) << Read(dialog);

    // Tab to the list, two rows down, and Enter, which presses the default
    // button OK while the list has the focus.
    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    SetForegroundWindow(dialog);
    for (int tabs = 0; tabs < 4 && driver::FocusOf(dialog) != list; tabs++) {
        HWND before = driver::FocusOf(dialog);
        driver::PressKey(VK_TAB);
        driver::WaitUntil([&] { return driver::FocusOf(dialog) != before; }, 5000);
    }
    ASSERT_EQ(list, driver::FocusOf(dialog));
    driver::PressKey(VK_DOWN);
    EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog).row == 4; }, 5000)) << Read(dialog);
    driver::PressKey(VK_DOWN);
    EXPECT_TRUE(driver::WaitUntil([&] { return Read(dialog).row == 5; }, 5000)) << Read(dialog);
    EXPECT_EQ(Choice(5, true, true), Read(dialog));
    EXPECT_EQ("6 F H\r\n", FileBytes(SettingsFile()));  // nothing changes before OK
    driver::PressKey(VK_RETURN);
    WaitUntilClosed();
    EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));

    // The next opening reads the new line back.
    ChangeAndSave(Choice(5, true, true), 0);
    EXPECT_EQ("3 F H\r\n", FileBytes(SettingsFile()));
}

TEST_F(Settings, CancelEscAndTheCloseBoxLeaveTheFileAsItWas)
{
    const char line[] = "8 W L\r\n";
    ASSERT_NO_FATAL_FAILURE(OpenMenuAfterOldFile(SettingsFile(), line));
    for (const char *how : {"Cancel", "Esc", "close box"}) {
        SCOPED_TRACE(how);
        ASSERT_TRUE(OpenDialog());
        EXPECT_EQ(Choice(4, true, true), Read(dialog));
        // A click on the menu's Exit button does nothing while the dialog
        // is open; the clicks that follow show it has been handled.
        driver::MouseClick(driver::FindControl(menuWindow, IDC_EXIT).window);
        ChangeEverything(1);
        EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0));
        if (how[0] == 'C') {
            driver::Answer(dialog, IDCANCEL);
        } else if (how[0] == 'E') {
            SetForegroundWindow(dialog);
            driver::PressKey(VK_ESCAPE);
        } else {
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        WaitUntilClosed();
        ExpectUntouched(SettingsFile(), line);
        EXPECT_EQ(std::vector<std::wstring>{L"res.dat"}, FolderListing(folder));
    }
}

TEST_F(Settings, AFileInsideTheArchiveIsShownAndTheSaveGoesBesideIt)
{
    const std::string archive =
        ArchiveBytes({{"README.TXT", "not the settings\r\n"}, {"RES.DAT", "1 W L\r\n"}, {"OTHER.DAT", "3 F H\r\n"}});
    const std::wstring archivePath = folder + L"FASTFILE.DAT";
    ASSERT_NO_FATAL_FAILURE(OpenMenuAfterOldFile(archivePath, archive));

    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Choice(5, true, true), Read(dialog));
    PressOk();
    // The save makes a loose "res.dat" beside the archive and never
    // touches the archive.
    EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));
    ExpectUntouched(archivePath, archive);

    // From now on the loose file comes first.
    ChangeAndSave(Choice(5, true, true), 2);
    EXPECT_EQ("5 F H\r\n", FileBytes(SettingsFile()));
    ASSERT_TRUE(OpenDialog());
    EXPECT_EQ(Choice(2, false, false), Read(dialog));
    driver::Answer(dialog, IDCANCEL);
    WaitUntilClosed();
    ExpectUntouched(archivePath, archive);
    std::vector<std::wstring> expected = {L"FASTFILE.DAT", L"res.dat"};
    EXPECT_EQ(expected, FolderListing(folder));
}

TEST_F(Settings, ASaveThatCannotBeWrittenLeavesTheOldFile)
{
    const char line[] = "3 F H\r\n";
    ASSERT_NO_FATAL_FAILURE(OpenMenuAfterOldFile(SettingsFile(), line));

    // The new line cannot be put in place: another program holds "res.dat"
    // open and shares it with nobody.
    ASSERT_TRUE(OpenDialog());
    ASSERT_EQ(Choice(0, false, false), Read(dialog));
    HANDLE held = CreateFileW(SettingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ChangeEverything(5);
    PressOk();
    CloseHandle(held);
    ExpectUntouched(SettingsFile(), line);
    EXPECT_EQ(std::vector<std::wstring>{L"res.dat"}, FolderListing(folder));

    // Names already taken ("res.tmp" a folder, "res1.tmp" someone else's
    // file) are left as they are: the save goes around them.
    ASSERT_TRUE(CreateDirectoryW((folder + L"res.tmp").c_str(), nullptr));
    ASSERT_TRUE(driver::WriteFileBytes(folder + L"res1.tmp", "not the game's"));
    ChangeAndSave(Choice(0, false, false), 5);
    EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));
    EXPECT_EQ("not the game's", FileBytes(folder + L"res1.tmp"));
    std::vector<std::wstring> expected = {L"res.dat", L"res.tmp\\", L"res1.tmp"};
    EXPECT_EQ(expected, FolderListing(folder));
    EXPECT_TRUE(FolderListing(folder + L"res.tmp\\").empty());
}

TEST_F(Settings, WithoutAnInstallationTheDialogShowsTheStartValuesAndOkWritesNothing)
{
    ASSERT_TRUE(driver::WriteFileBytes(SettingsFile(), "1 W L\r\n"));
    // The menu's current directory, with a language file: the dialog
    // speaks German.
    std::wstring current = LanguageFolder(nullptr);
    ASSERT_TRUE(driver::WriteFileBytes(current + L"lang.dat", "german"));
    const std::vector<std::wstring> german = settings::LibraryTexts(L"rm_ger.dll");

    // The blank marker and an empty "Path" both enable the settings button
    // and name no folder.
    for (const wchar_t *path : {L" ", L""}) {
        SCOPED_TRACE(path[0] ? "one space" : "empty");
        ASSERT_NO_FATAL_FAILURE(SetPath(path));
        OpenMenu(current);
        ASSERT_TRUE(IsWindowEnabled(driver::FindControl(menuWindow, IDC_PERFORMANCE_SETTINGS).window));
        ASSERT_TRUE(OpenDialog());
        EXPECT_EQ(StartValues, Read(dialog));
        EXPECT_EQ(german, settings::ShownTexts(dialog));
        ChangeEverything(4);
        PressOk();
        // The choice lives on in the menu, and still reaches no file.
        ASSERT_TRUE(OpenDialog());
        EXPECT_EQ(Choice(4, true, true), Read(dialog));
        PressOk();
        EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
        menuWindow = nullptr;
        driver::Stop(menuProcess);
        EXPECT_EQ(std::vector<std::wstring>{L"lang.dat"}, FolderListing(current));
        EXPECT_EQ(std::vector<std::wstring>{L"res.dat"}, FolderListing(folder));
        EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));
    }
}

TEST_F(Settings, WithTheEntryGoneTheCommandStillShowsTheDialogAndTheMenuRefreshesAfterIt)
{
    ASSERT_TRUE(driver::WriteFileBytes(SettingsFile(), "1 W L\r\n"));
    OpenMenu();
    HWND settingsButton = driver::FindControl(menuWindow, IDC_PERFORMANCE_SETTINGS).window;
    ASSERT_TRUE(IsWindowEnabled(settingsButton));

    // The uninstaller removes the entry while the menu is open. A user's
    // click on the still enabled button first moves the focus to it, which
    // refreshes the menu: the button goes, and no dialog comes.
    demo::Register(L"", L"");
    driver::MouseClick(settingsButton);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindowEnabled(settingsButton); }, 10000));
    EXPECT_FALSE(driver::WaitForDialog(menuProcess->processId, nullptr, 2000));

    // The command itself still shows the dialog, on the start values.
    ASSERT_NO_FATAL_FAILURE(ChangeAndSave(StartValues, 0, true));
    EXPECT_FALSE(IsWindowEnabled(driver::FindControl(menuWindow, IDC_PLAY).window));
    EXPECT_TRUE(IsWindowEnabled(driver::FindControl(menuWindow, IDC_INSTALL).window));
    EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));
    EXPECT_EQ(std::vector<std::wstring>{L"res.dat"}, FolderListing(folder));

    // Registered again while the dialog is open: the menu shows it once the
    // dialog has closed.
    ASSERT_TRUE(OpenDialog(true));
    EXPECT_EQ(Choice(0, true, true), Read(dialog));
    Install(folder);
    EXPECT_FALSE(IsWindowEnabled(settingsButton));
    driver::Answer(dialog, IDCANCEL);
    WaitUntilClosed();
    EXPECT_TRUE(IsWindowEnabled(settingsButton));
    EXPECT_TRUE(IsWindowEnabled(driver::FindControl(menuWindow, IDC_PLAY).window));
    EXPECT_FALSE(IsWindowEnabled(driver::FindControl(menuWindow, IDC_INSTALL).window));
    EXPECT_EQ("1 W L\r\n", FileBytes(SettingsFile()));
}

}  // namespace
