// The menu's button commands under Wine, on the demo disc: what each
// command starts, from where and with which command line (the disc's log),
// the boxes and pages a user answers, and whether the menu stays or quits.
//
// run-suite maps D: and E: as CD-ROM drives and F: as a hard disk (see
// CMakeLists.txt), which every case checks first. Every case begins with
// D: empty, the disc in E:, a copy of the disc on F:, nothing installed and
// an empty log.

#include "discovery/registry.h"
#include "menu_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using driver::Child;
using driver::Exists;
using driver::FileBytes;
using driver::FolderListing;
using driver::RegistryKeyExists;
using driver::RegistryNumber;
using driver::RegistryString;

const wchar_t EmptyDrive[] = L"D:\\";
const wchar_t DiscDrive[] = L"E:\\";
const wchar_t HardDisk[] = L"F:\\";
const wchar_t EmptyFolder[] = L"C:\\Rumbelon without game";

const std::wstring Folder = demo::InstallFolder;
const std::wstring Game = Folder + L"\\rumbelon.exe";
const std::wstring GameData = Folder + L"\\FASTFILE.DAT";
const std::wstring Uninstaller = Folder + L"\\" + demo::UninstallerName;
const std::wstring Shortcuts = demo::StartMenuFolder;

class Commands : public MenuFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(MenuFixture::SetUp());
        driver::ClearFolder(EmptyDrive);
        ASSERT_TRUE(demo::InsertDisc(DiscDrive));
        ASSERT_TRUE(demo::InsertDisc(HardDisk));
    }

    // Installs the game with the disc's installer, without its pages.
    void InstallGame()
    {
        Child &setup = Keep(driver::Start(L"\"E:\\setup.exe\" /S", DiscDrive));
        ASSERT_EQ(0, driver::WaitForExit(setup, Patience));
        demo::ClearLog();
    }

    // A click whose command ends without waiting for anyone: returns once
    // the menu has carried it out.
    void Press(int id)
    {
        ASSERT_TRUE(SendMessageTimeoutW(GetDlgItem(menuWindow, id), BM_CLICK, 0, 0, SMTO_NORMAL, Patience, nullptr))
            << "the menu did not finish the command";
    }

    // The menu finished its command and kept running, with no box open.
    void ExpectStays()
    {
        EXPECT_TRUE(menu::Settle(menuWindow, Patience)) << "the menu did not come back to its loop";
        EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0)) << "the menu quit";
        EXPECT_FALSE(driver::FindTopWindow(L"#32770", nullptr, menuProcess->processId)) << "a box is open";
    }

    // Leaves by Exit, which needs the menu still there.
    void ExitMenu()
    {
        ASSERT_TRUE(IsWindow(menuWindow)) << "the menu is gone already";
        driver::Click(GetDlgItem(menuWindow, IDC_EXIT));
        EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    }

    // The one run the menu has started so far, once it is logged.
    demo::Run OnlyRun()
    {
        std::vector<demo::Run> runs = demo::WaitForRuns(1, Patience);
        EXPECT_EQ(1u, runs.size());
        return runs.empty() ? demo::Run{L"", 0, L"", L""} : runs[0];
    }

    // Answers the first box or page of the program `run` (a stand-in, or
    // the installer) and returns its exit code.
    long AnswerStandIn(const demo::Run &run, const wchar_t *title, int button)
    {
        Child &standIn = Keep(driver::Attach(run.processId));
        HWND box = driver::WaitForDialog(run.processId, title, Patience);
        EXPECT_TRUE(box) << "no box titled " << std::string(title, title + wcslen(title));
        driver::Answer(box, button);
        return driver::WaitForExit(standIn, Patience);
    }

    // The menu stays while the program `run` waits in its box or on its
    // first page; that is answered with `button` (the program's exit code
    // must be `code`), the user leaves the menu, and nothing else was
    // started.
    void StaysThenAnswer(const demo::Run &run, const wchar_t *title, int button, long code)
    {
        ExpectStays();
        EXPECT_EQ(code, AnswerStandIn(run, title, button));
        ExitMenu();
        EXPECT_EQ(1u, demo::ReadLog().size());
    }

    // With `folder` registered, both play buttons start nothing and show
    // no box; the menu stays. Returns the menu window.
    HWND PlayStartsNothing(const wchar_t *folder)
    {
        demo::Register(folder, L"");
        if (!OpenMenuOn(DiscDrive))
            return nullptr;
        Press(IDC_PLAY);
        Press(IDC_PLAY_OPTION);
        ExpectStays();
        EXPECT_TRUE(demo::ReadLog().empty());
        return menuWindow;
    }

    // The installer ran and was answered Cancel: nothing of the game is
    // there.
    void ExpectNothingInstalled()
    {
        EXPECT_FALSE(Exists(Folder));
        EXPECT_FALSE(RegistryKeyExists(menu::AppPathsKey));
        EXPECT_FALSE(RegistryKeyExists(menu::UninstallKey));
    }

    // A box of the menu titled "Rumbelon" with `text`, the buttons
    // `buttons` (ascending ids) and an icon or none, answered with `answer`.
    void ExpectMenuBox(const std::wstring &text, const std::vector<int> &buttons, bool icon, int answer)
    {
        HWND box = driver::WaitForDialog(menuProcess->processId, L"Rumbelon", Patience);
        ASSERT_TRUE(box);
        EXPECT_EQ(text, driver::MessageBoxText(box));
        EXPECT_EQ(buttons, driver::BoxButtons(box));
        EXPECT_EQ(icon, driver::ShowsIcon(box, Patience));
        driver::Answer(box, answer);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box); }, Patience));
    }

    // A click whose command shows one of the menu's error boxes (string
    // `text`, OK and an icon), answered; the menu stays.
    void ExpectErrorBox(int button, UINT text)
    {
        driver::Click(GetDlgItem(menuWindow, button));
        ExpectMenuBox(menu::LibraryString(L"rm_eng.dll", text), {IDOK}, true, IDOK);
        ExpectStays();
    }
};

// From the disc the bare name starts, without a drive search; from a copy
// on the hard disk the search passes the empty D: and finds the disc in E:,
// without a prompt. Nothing is registered yet, so the menu stays.
TEST_F(Commands, InstallStartsTheDiscsSetupAndStaysWhileNothingIsRegistered)
{
    struct Case {
        const wchar_t *menuRoot;
        const wchar_t *commandLine;
    };
    for (const Case &c : {Case{DiscDrive, L"setup.exe"}, Case{HardDisk, L"E:\\setup.exe"}}) {
        SCOPED_TRACE(std::string(c.menuRoot, c.menuRoot + 2));
        demo::ClearLog();
        ASSERT_TRUE(OpenMenuOn(c.menuRoot));
        driver::Click(GetDlgItem(menuWindow, IDC_INSTALL));
        demo::Run setup = OnlyRun();
        EXPECT_EQ(L"E:\\setup.exe", setup.program);
        EXPECT_EQ(c.menuRoot, setup.directory);
        EXPECT_EQ(c.commandLine, setup.commandLine);
        // The menu decided before the installer changed anything.
        StaysThenAnswer(setup, L"Rumbelon Setup", IDCANCEL, 1);
        ExpectNothingInstalled();
    }
}

TEST_F(Commands, BlankPathPlaysNothingAndInstallStays)
{
    // The play buttons are enabled, yet a blank folder is no installation.
    ASSERT_TRUE(PlayStartsNothing(L" "));

    menu::SendCommand(menuWindow, IDC_INSTALL);
    demo::Run setup = OnlyRun();
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    StaysThenAnswer(setup, L"Rumbelon Setup", IDCANCEL, 1);
}

TEST_F(Commands, PlayButtonsStartTheGameInItsFolderAndQuit)
{
    ASSERT_NO_FATAL_FAILURE(InstallGame());
    struct Case {
        int button;
        std::wstring commandLine;
    };
    for (const Case &c :
         {Case{IDC_PLAY, L"\"" + Game + L"\""}, Case{IDC_PLAY_OPTION, L"\"" + Game + L"\" -0v"}}) {
        SCOPED_TRACE(c.button);
        demo::ClearLog();
        ASSERT_TRUE(OpenMenuOn(DiscDrive));
        driver::Click(GetDlgItem(menuWindow, c.button));
        demo::Run game = OnlyRun();
        Child &running = Keep(driver::Attach(game.processId));
        EXPECT_EQ(Game, game.program);
        EXPECT_EQ(c.commandLine, game.commandLine);
        EXPECT_EQ(Folder, game.directory);
        EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));

        HWND gameWindow = driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", game.processId, Patience);
        ASSERT_TRUE(gameWindow);
        PostMessageW(gameWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, driver::WaitForExit(running, Patience));
    }
}

TEST_F(Commands, RegisteredFolderThatDoesNotExistStartsNothing)
{
    ASSERT_TRUE(PlayStartsNothing(L"C:\\Games\\Rumbelon"));
    EXPECT_TRUE(driver::FindControl(menuWindow, IDC_PLAY).enabled);
    ExitMenu();
    EXPECT_TRUE(demo::ReadLog().empty());
}

TEST_F(Commands, FolderWithoutTheGameShowsTheInstallationErrorAndRestoresTheDirectory)
{
    ASSERT_TRUE(FreshFolder(std::wstring(EmptyFolder) + L"\\"));
    demo::Register(EmptyFolder, L"");
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    for (int button : {IDC_PLAY, IDC_PLAY_OPTION}) {
        ExpectErrorBox(button, IDS_INSTALLATION_ERROR);
    }
    EXPECT_TRUE(demo::ReadLog().empty());

    // Back on the disc: Install sees a CD-ROM drive again and starts the
    // bare name there, then leaves, the game being registered.
    menu::SendCommand(menuWindow, IDC_INSTALL);
    demo::Run setup = OnlyRun();
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    EXPECT_EQ(L"E:\\", setup.directory);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    EXPECT_EQ(1, AnswerStandIn(setup, L"Rumbelon Setup", IDCANCEL));
}

TEST_F(Commands, DirectXFromTheDiscStartsItsSetupThereAndStays)
{
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    driver::Click(GetDlgItem(menuWindow, IDC_INSTALL_DIRECTX));
    demo::Run directX = OnlyRun();
    EXPECT_EQ(L"E:\\redist\\directx6\\directx\\dxsetup.exe", directX.program);
    EXPECT_EQ(L"E:\\redist\\directx6\\directx\\dxsetup.exe", directX.commandLine);
    EXPECT_EQ(L"E:\\", directX.directory);
    StaysThenAnswer(directX, L"DirectX Setup", IDOK, 0);
}

TEST_F(Commands, DirectXFromAHardDiskPromptsUntilTheDiscIsInADrive)
{
    driver::ClearFolder(DiscDrive);
    ASSERT_TRUE(OpenMenuOn(HardDisk));
    const std::wstring prompt = menu::LibraryString(L"rm_eng.dll", IDS_INSERT_DISC);

    driver::Click(GetDlgItem(menuWindow, IDC_INSTALL_DIRECTX));
    ExpectMenuBox(prompt, {IDCANCEL, IDRETRY}, false, IDCANCEL);
    ExpectStays();
    EXPECT_TRUE(demo::ReadLog().empty());

    // Retry without a disc asks again, as often as the user likes.
    driver::Click(GetDlgItem(menuWindow, IDC_INSTALL_DIRECTX));
    for (int retry = 0; retry < 3; retry++) {
        SCOPED_TRACE(retry);
        HWND box = driver::WaitForDialog(menuProcess->processId, L"Rumbelon", Patience);
        ASSERT_TRUE(box);
        EXPECT_EQ(prompt, driver::MessageBoxText(box));
        if (retry == 2) {
            ASSERT_TRUE(demo::InsertDisc(EmptyDrive));  // the disc appears in D:
        }
        driver::Answer(box, IDRETRY);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box); }, Patience));
    }
    demo::Run directX = OnlyRun();
    EXPECT_EQ(L"D:\\redist\\directx6\\directx\\dxsetup.exe", directX.commandLine);
    EXPECT_EQ(L"F:\\", directX.directory);
    StaysThenAnswer(directX, L"DirectX Setup", IDOK, 0);
}

// A disc whose programs do not start: Install and DirectX both show the
// disc error, not the installation error, and the menu stays.
TEST_F(Commands, DiscProgramsThatDoNotStartShowTheDiscError)
{
    ASSERT_TRUE(demo::InsertDisc(EmptyDrive));  // D: is emptied again before every case
    ASSERT_TRUE(DeleteFileW(L"D:\\setup.exe"));
    ASSERT_TRUE(DeleteFileW(L"D:\\redist\\directx6\\directx\\dxsetup.exe"));
    ASSERT_TRUE(OpenMenuOn(EmptyDrive));
    for (int button : {IDC_INSTALL, IDC_INSTALL_DIRECTX}) {
        SCOPED_TRACE(button);
        ExpectErrorBox(button, IDS_DISC_ERROR);
    }
    ExitMenu();
    EXPECT_TRUE(demo::ReadLog().empty());
}

// Commands queued behind Exit (a second click, a posted message) arrive
// after the quit sequence has shut the file system down: they run nothing.
// The menu's thread is held while both are posted, so that both are queued
// before Exit runs.
TEST_F(Commands, CommandsAfterTheQuitRunNothing)
{
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(menuWindow, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_NE(DWORD(-1), SuspendThread(thread));
    menu::SendCommand(menuWindow, IDC_EXIT);
    // From the disc both would start their programs at once, with no box
    // (which the pending quit would close unseen).
    menu::SendCommand(menuWindow, IDC_INSTALL);
    menu::SendCommand(menuWindow, IDC_INSTALL_DIRECTX);
    ResumeThread(thread);
    CloseHandle(thread);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    EXPECT_TRUE(demo::ReadLog().empty());
}

TEST_F(Commands, UninstallWithoutAnUninstallerQuitsAtOnce)
{
    for (const wchar_t *value : {L" ", L"", static_cast<const wchar_t *>(nullptr)}) {
        SCOPED_TRACE(value ? (*value ? "blank" : "empty") : "none");
        demo::Register(Folder, L"");
        if (value) {
            ASSERT_TRUE(driver::SetRegistryString(menu::UninstallKey, L"UninstallString", value));
        }
        ASSERT_TRUE(OpenMenuOn(DiscDrive));
        Press(IDC_UNINSTALL);
        EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
        EXPECT_TRUE(demo::ReadLog().empty());
    }
}

TEST_F(Commands, MissingUninstallerShowsTheInstallationErrorAndStays)
{
    demo::Register(Folder, L"\"C:\\windows\\rumbelon-gone.exe\" \"" + Folder + L"\"");
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    ExpectErrorBox(IDC_UNINSTALL, IDS_INSTALLATION_ERROR);
    ExitMenu();
    EXPECT_TRUE(demo::ReadLog().empty());
}

// The installer refuses (with /S: exit code 3, nothing made) a folder whose
// values the menu could not read back with its ANSI calls into 128 bytes.
// The suite's ANSI code page is 1252 (LC_ALL=C.UTF-8): it has "ó", but no
// Cyrillic and no "Ł" (best fit "L"). 114 characters fit the uninstall line.
TEST_F(Commands, SetupRefusesFoldersTheMenuCannotReadBack)
{
    ASSERT_EQ(1252u, GetACP()) << "the folders below are chosen for code page 1252";
    const std::wstring longest = L"C:\\" + std::wstring(111, L'R');
    for (const std::wstring &folder : {std::wstring(L"C:\\Игры\\Rumbelon"),
                                       std::wstring(L"C:\\Łódka\\Rumbelon"), longest + L"S", longest}) {
        SCOPED_TRACE(folder.size());
        const bool usable = folder == longest;
        if (!usable) {  // the folder page names it and stays
            Child &wizard = Keep(driver::Start(L"\"E:\\setup.exe\" /D=" + folder, DiscDrive));
            EXPECT_EQ(L"", demo::AnswerPages(wizard.processId, {L"Next >", L"Install"}, Patience));
            // Until the wizard's title gains its trailing space, the box's is the same.
            ASSERT_TRUE(driver::WaitForTopWindow(L"#32770", L"Rumbelon Setup ", wizard.processId, Patience));
            HWND box = driver::WaitForDialog(wizard.processId, L"Rumbelon Setup", Patience);
            ASSERT_TRUE(box);
            EXPECT_NE(std::wstring::npos, driver::MessageBoxText(box).find(L"\r\n" + folder + L"\r\n"));
            driver::Answer(box, IDOK);
            driver::Answer(demo::WaitForPage(wizard.processId, L"Install", Patience), IDCANCEL);
            EXPECT_EQ(1, driver::WaitForExit(wizard, Patience));
        }
        Child &setup = Keep(driver::Start(L"\"E:\\setup.exe\" /S /D=" + folder, DiscDrive));
        EXPECT_EQ(usable ? 0 : 3, driver::WaitForExit(setup, Patience));
        EXPECT_EQ(usable, Exists(folder));
        EXPECT_EQ(usable, RegistryKeyExists(menu::AppPathsKey) || RegistryKeyExists(menu::UninstallKey));
        const std::string ansi(folder.begin(), folder.end());  // as the menu reads them
        char path[RegistryValueBufferSize] = "", command[RegistryValueBufferSize] = "";
        EXPECT_EQ(usable, ReadAppPathsValue("rumbelon.exe", "Path", path) && ansi == path);
        EXPECT_EQ(usable, ReadUninstallValue("Rumbelon", "UninstallString", command) &&
                              "\"" + ansi + "\\uninst.exe\"" == command);
        demo::Register(L"", L"");
        driver::RemoveFolder(folder + L"\\");
    }
}

using menu::EnabledStates;
using menu::Installed;
using menu::NotInstalled;

// The disc's own installer and uninstaller, worked through the menu as a
// user works them: install by answering the installer's pages, the
// settings once, play, then uninstall by answering the uninstaller's; the
// registry entries, the installation folder and the log after each step.
TEST_F(Commands, RoundTripWithTheDiscsInstaller)
{
    const std::wstring settingsFile = Folder + L"\\res.dat";

    // Install from the disc: the installer shows its first page before it
    // changes anything, so the menu stays, ready to play once repainted.
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    EXPECT_EQ(NotInstalled, EnabledStates(menuWindow));
    driver::Click(GetDlgItem(menuWindow, IDC_INSTALL));
    demo::Run setup = OnlyRun();
    Child &installer = Keep(driver::Attach(setup.processId));
    EXPECT_EQ(L"E:\\setup.exe", setup.program);
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    EXPECT_EQ(L"E:\\", setup.directory);
    ExpectStays();
    EXPECT_EQ(L"", demo::AnswerPages(setup.processId, {L"Next >", L"Install", L"Finish"}, Patience));
    EXPECT_EQ(0, driver::WaitForExit(installer, Patience));
    EXPECT_EQ((std::vector<std::wstring>{L"FASTFILE.DAT", L"res.dat", L"rumbelon.exe", L"uninst.exe"}),
              FolderListing(Folder + L"\\"));
    EXPECT_TRUE(FileBytes(demo::DiscFolder() + L"rumbelon\\rumbelon.exe") == FileBytes(Game));
    EXPECT_TRUE(FileBytes(demo::DiscFolder() + L"rumbelon\\FASTFILE.DAT") == FileBytes(GameData));
    EXPECT_EQ("6 F H\r\n", FileBytes(settingsFile));
    EXPECT_EQ(Folder, RegistryString(menu::AppPathsKey, L"Path"));
    EXPECT_EQ(Game, RegistryString(menu::AppPathsKey, nullptr));
    EXPECT_EQ(L"\"" + Uninstaller + L"\"", RegistryString(menu::UninstallKey, L"UninstallString"));
    EXPECT_EQ(L"\"" + Uninstaller + L"\" /S", RegistryString(menu::UninstallKey, L"QuietUninstallString"));
    EXPECT_EQ(L"Rumbelon", RegistryString(menu::UninstallKey, L"DisplayName"));
    EXPECT_EQ(Game, RegistryString(menu::UninstallKey, L"DisplayIcon"));
    EXPECT_EQ(L"Rumbelon", RegistryString(menu::UninstallKey, L"Publisher"));
    EXPECT_EQ(1u, RegistryNumber(menu::UninstallKey, L"NoModify"));
    EXPECT_EQ(1u, RegistryNumber(menu::UninstallKey, L"NoRepair"));
    EXPECT_FALSE(RegistryString(menu::UninstallKey, L"DisplayVersion").empty());
    EXPECT_EQ(Folder, RegistryString(menu::UninstallKey, L"InstallLocation"));
    EXPECT_EQ((FileBytes(Game).size() + FileBytes(GameData).size() + FileBytes(Uninstaller).size() + 7) / 1024,
              RegistryNumber(menu::UninstallKey, L"EstimatedSize"));  // 7: res.dat
    EXPECT_EQ((std::vector<std::wstring>{L"Rumbelon.lnk", L"Uninstall Rumbelon.lnk"}), FolderListing(Shortcuts));
    EXPECT_EQ(1u, demo::ReadLog().size());
    InvalidateRect(menuWindow, nullptr, FALSE);
    EXPECT_TRUE(driver::WaitUntil([&] { return EnabledStates(menuWindow) == Installed; }, Patience));
    ExitMenu();

    // The Start menu's shortcut starts the game in its folder too.
    demo::ClearLog();
    ShellExecuteW(nullptr, nullptr, (Shortcuts + L"Rumbelon.lnk").c_str(), nullptr, nullptr, SW_RESTORE);
    demo::Run fromStartMenu = OnlyRun();
    Child &started = Keep(driver::Attach(fromStartMenu.processId));
    EXPECT_EQ(Folder, fromStartMenu.directory);
    PostMessageW(driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", fromStartMenu.processId, Patience), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, driver::WaitForExit(started, Patience));

    // Settings once, then play.
    demo::ClearLog();
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    EXPECT_EQ(Installed, EnabledStates(menuWindow));
    driver::Click(GetDlgItem(menuWindow, IDC_PERFORMANCE_SETTINGS));
    HWND dialog = driver::WaitForDialog(menuProcess->processId, L"Performance Settings", Patience);
    ASSERT_TRUE(dialog);
    driver::Answer(dialog, IDOK);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(dialog); }, Patience));
    ExpectStays();
    EXPECT_EQ("6 F H\r\n", FileBytes(settingsFile));
    EXPECT_FALSE(Exists(Folder + L"\\res.tmp"));

    driver::Click(GetDlgItem(menuWindow, IDC_PLAY));
    demo::Run game = OnlyRun();
    Child &running = Keep(driver::Attach(game.processId));
    EXPECT_EQ(Game, game.program);
    EXPECT_EQ(Folder, game.directory);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    HWND gameWindow = driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", game.processId, Patience);
    ASSERT_TRUE(gameWindow);
    std::wstring report = driver::ControlText(GetDlgItem(gameWindow, 100), Patience);
    // Its texts are what the build packed into its folder's archive, beside which no loose copy is.
    EXPECT_EQ(0u, report.find(L"Rumbelon (demo stand-in), its texts read from its FASTFILE.DAT\r\n"));
    EXPECT_NE(std::wstring::npos, report.find(L"Command line: \"" + Game + L"\"\r\n"))
        << std::string(report.begin(), report.end());
    EXPECT_NE(std::wstring::npos, report.find(L"Current directory: " + Folder + L"\r\n"));
    EXPECT_NE(std::wstring::npos,
              report.find(L"Settings: \"6 F H\": code 6 (640x480), full screen, high drawing distance"));
    PostMessageW(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, driver::WaitForExit(running, Patience));

    // Uninstall. The uninstaller runs as a copy of itself, which logs its
    // start, so that it can remove its own file. What the user saved in
    // the folder stays, and so does the folder with it.
    ASSERT_TRUE(driver::WriteFileBytes(Folder + L"\\saved.txt", "mine\r\n"));
    demo::ClearLog();
    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    driver::Click(GetDlgItem(menuWindow, IDC_UNINSTALL));
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    demo::Run uninstall = OnlyRun();
    Child &uninstaller = Keep(driver::Attach(uninstall.processId));
    EXPECT_EQ(L"", demo::AnswerPages(uninstall.processId, {L"Uninstall", L"Finish"}, Patience));
    EXPECT_EQ(0, driver::WaitForExit(uninstaller, Patience));
    EXPECT_EQ(std::vector<std::wstring>{L"saved.txt"}, FolderListing(Folder + L"\\"));
    EXPECT_FALSE(Exists(Shortcuts));
    EXPECT_FALSE(RegistryKeyExists(menu::AppPathsKey));
    EXPECT_FALSE(RegistryKeyExists(menu::UninstallKey));
    EXPECT_EQ(1u, demo::ReadLog().size());

    ASSERT_TRUE(OpenMenuOn(DiscDrive));
    EXPECT_EQ(NotInstalled, EnabledStates(menuWindow));
    ExitMenu();
}

}  // namespace
