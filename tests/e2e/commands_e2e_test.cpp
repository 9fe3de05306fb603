// The menu's button commands under Wine, on the demo disc: what each
// command starts, from where and with which command line (the disc's log),
// the boxes and pages a user answers, and whether the menu stays or quits.
//
// run-suite maps D: and E: as CD-ROM drives and F: as a hard disk (see
// CMakeLists.txt), which every case checks first. Every case begins with
// D: empty, the disc in E:, a copy of the disc on F:, nothing installed and
// an empty log.

#include "demo_probe.h"
#include "discovery/registry.h"
#include "menu_probe.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

using driver::Child;
using driver::FileBytes;
using driver::FolderListing;

const wchar_t EmptyDrive[] = L"D:\\";
const wchar_t DiscDrive[] = L"E:\\";
const wchar_t HardDisk[] = L"F:\\";
const wchar_t EmptyFolder[] = L"C:\\Rumbelon without game";
const DWORD Patience = 30000;

const std::wstring Folder = demo::InstallFolder;
const std::wstring Game = Folder + L"\\rumbelon.exe";
const std::wstring GameData = Folder + L"\\FASTFILE.DAT";
const std::wstring Uninstaller = Folder + L"\\" + demo::UninstallerName;
const std::wstring StartMenu = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Rumbelon\\";

bool Exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(const wchar_t *key)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::wstring RegistryString(const wchar_t *key, const wchar_t *name)
{
    wchar_t value[512] = L"";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

DWORD RegistryNumber(const wchar_t *key, const wchar_t *name)
{
    DWORD value = 0, size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// String `id` of the English language library, which the menu uses here.
std::wstring MenuString(UINT id)
{
    return driver::ModuleString(menu::BinFolder() + L"rm_eng.dll", id);
}

// A process the menu started, taken hold of while it waits in its box or
// window, so that its exit code can still be read after it ends.
Child Attach(const demo::Run &run)
{
    Child child;
    child.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                                run.processId);
    child.processId = child.process ? run.processId : 0;
    return child;
}

// The text of a control of another process.
std::wstring ControlText(HWND control)
{
    wchar_t text[2048] = L"";
    SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, Patience,
                        nullptr);
    return text;
}

// Whether a message box shows an icon (in its static control 1088).
bool ShowsIcon(HWND box)
{
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(GetDlgItem(box, 1088), STM_GETICON, 0, 0, SMTO_NORMAL, Patience, &icon);
    return icon != 0;
}

// The ids of a message box's buttons, in ascending order.
std::vector<int> BoxButtons(HWND box)
{
    std::vector<int> ids;
    for (const driver::Control &control : driver::ReadControls(box))
        if (control.className == L"Button" && control.visible)
            ids.push_back(control.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string drives = driver::DriveProblems();
        ASSERT_TRUE(drives.empty()) << drives;
        RemoveInstallation();
        demo::ClearLog();
        driver::ClearFolder(EmptyDrive);
        ASSERT_TRUE(Insert(DiscDrive));
        ASSERT_TRUE(Insert(HardDisk));
    }

    void TearDown() override
    {
        for (Child &child : children)
            driver::Stop(&child);
        StopLoggedRuns();
        RemoveInstallation();
    }

    void RemoveInstallation()
    {
        demo::Register(L"", L"");
        driver::RemoveFolder(Folder + L"\\");
        driver::RemoveFolder(std::wstring(EmptyFolder) + L"\\");
        driver::RemoveFolder(StartMenu);
    }

    // Whatever a program of the disc left running (a failed case) would
    // keep the next menu from starting. Only processes that still run the logged program
    // are ended, should a process id have been reused.
    void StopLoggedRuns()
    {
        for (const demo::Run &run : demo::ReadLog()) {
            Child child = Attach(run);
            wchar_t image[MAX_PATH] = L"";
            DWORD size = MAX_PATH;
            if (child.process && QueryFullProcessImageNameW(child.process, 0, image, &size) &&
                _wcsicmp(image, run.program.c_str()) == 0)
                driver::Stop(&child);
            else if (child.process)
                CloseHandle(child.process);
        }
    }

    // A disc in the drive: the whole demo disc copied to its root.
    static bool Insert(const wchar_t *root)
    {
        return Exists(std::wstring(root) + L"rumbelon\\rumbelon.exe") || demo::CopyDisc(root);
    }

    // Installs the game with the disc's installer, without its pages.
    void InstallGame()
    {
        Child &setup = Keep(driver::Start(L"\"E:\\setup.exe\" /S", DiscDrive));
        ASSERT_EQ(0, driver::WaitForExit(setup, Patience));
        demo::ClearLog();
    }

    Child &Keep(const Child &child)
    {
        children.push_back(child);
        return children.back();
    }

    // Starts the copy of the menu on the drive `root`, in that root, and
    // waits for its window.
    HWND OpenMenu(const wchar_t *root)
    {
        menuProcess = &Keep(menu::StartMenu(root, std::wstring(root) + L"autorun.exe"));
        HWND window = menu::WaitForMenuWindow(*menuProcess, Patience);
        EXPECT_TRUE(window) << "the menu window did not appear";
        return window;
    }

    HWND Button(HWND window, int id) { return GetDlgItem(window, id); }

    // A click whose command ends without waiting for anyone: returns once
    // the menu has carried it out.
    void Press(HWND window, int id)
    {
        ASSERT_TRUE(SendMessageTimeoutW(Button(window, id), BM_CLICK, 0, 0, SMTO_NORMAL, Patience, nullptr))
            << "the menu did not finish the command";
    }

    // What a click sends, for a command whose button the registry state has
    // disabled: the state the menu showed at its last repaint may be out of
    // date (another installation registered the game meanwhile).
    void SendCommand(HWND window, int id)
    {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Button(window, id)));
    }

    // Waits until the menu has handled everything posted to it so far: a
    // focus request posted last is carried out only then. (A sent message
    // would not do: a thread handles those before its posted messages, and
    // also while WinExec waits for a started program to become idle.)
    bool Settle(HWND window)
    {
        HWND exit = Button(window, IDC_EXIT), directX = Button(window, IDC_INSTALL_DIRECTX);
        HWND target = driver::FocusOf(window) == exit ? directX : exit;
        PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        return driver::WaitUntil([&] { return driver::FocusOf(window) == target; }, Patience);
    }

    // The menu finished its command and kept running, with no box open.
    void ExpectStays(HWND window)
    {
        EXPECT_TRUE(Settle(window)) << "the menu did not come back to its loop";
        EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0)) << "the menu quit";
        EXPECT_FALSE(driver::FindTopWindow(L"#32770", nullptr, menuProcess->processId)) << "a box is open";
    }

    // Leaves by Exit, which needs the menu still there.
    void ExitMenu(HWND window)
    {
        ASSERT_TRUE(IsWindow(window)) << "the menu is gone already";
        driver::Click(Button(window, IDC_EXIT));
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
        Child &standIn = Keep(Attach(run));
        HWND box = driver::WaitForDialog(run.processId, title, Patience);
        EXPECT_TRUE(box) << "no box titled " << std::string(title, title + wcslen(title));
        driver::Answer(box, button);
        return driver::WaitForExit(standIn, Patience);
    }

    // The menu stays while the program `run` waits in its box or on its
    // first page; that is answered with `button` (the program's exit code
    // must be `code`), the user leaves the menu, and nothing else was
    // started.
    void StaysThenAnswer(HWND window, const demo::Run &run, const wchar_t *title, int button, long code)
    {
        ExpectStays(window);
        EXPECT_EQ(code, AnswerStandIn(run, title, button));
        ExitMenu(window);
        EXPECT_EQ(1u, demo::ReadLog().size());
    }

    // With `folder` registered, both play buttons start nothing and show
    // no box; the menu stays. Returns the menu window.
    HWND PlayStartsNothing(const wchar_t *folder)
    {
        demo::Register(folder, L"");
        HWND window = OpenMenu(DiscDrive);
        if (!window)
            return nullptr;
        Press(window, IDC_PLAY);
        Press(window, IDC_PLAY_OPTION);
        ExpectStays(window);
        EXPECT_TRUE(demo::ReadLog().empty());
        return window;
    }

    // The installer ran and was answered Cancel: nothing of the game is
    // there.
    void ExpectNothingInstalled()
    {
        EXPECT_FALSE(Exists(Folder));
        EXPECT_FALSE(KeyExists(menu::AppPathsKey));
        EXPECT_FALSE(KeyExists(menu::UninstallKey));
    }

    // A box of the menu titled "Rumbelon" with `text`, the buttons
    // `buttons` (ascending ids) and an icon or none, answered with `answer`.
    void ExpectMenuBox(const std::wstring &text, const std::vector<int> &buttons, bool icon, int answer)
    {
        HWND box = driver::WaitForDialog(menuProcess->processId, L"Rumbelon", Patience);
        ASSERT_TRUE(box);
        EXPECT_EQ(text, driver::MessageBoxText(box));
        EXPECT_EQ(buttons, BoxButtons(box));
        EXPECT_EQ(icon, ShowsIcon(box));
        driver::Answer(box, answer);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box); }, Patience));
    }

    // A click whose command shows one of the menu's error boxes (string
    // `text`, OK and an icon), answered; the menu stays.
    void ExpectErrorBox(HWND window, int button, UINT text)
    {
        driver::Click(Button(window, button));
        ExpectMenuBox(MenuString(text), {IDOK}, true, IDOK);
        ExpectStays(window);
    }

    std::deque<Child> children;  // references to them stay valid
    Child *menuProcess = nullptr;
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
        HWND window = OpenMenu(c.menuRoot);
        ASSERT_TRUE(window);
        driver::Click(Button(window, IDC_INSTALL));
        demo::Run setup = OnlyRun();
        EXPECT_EQ(L"E:\\setup.exe", setup.program);
        EXPECT_EQ(c.menuRoot, setup.directory);
        EXPECT_EQ(c.commandLine, setup.commandLine);
        // The menu decided before the installer changed anything.
        StaysThenAnswer(window, setup, L"Rumbelon Setup", IDCANCEL, 1);
        ExpectNothingInstalled();
    }
}

TEST_F(Commands, BlankPathPlaysNothingAndInstallStays)
{
    // The play buttons are enabled, yet a blank folder is no installation.
    HWND window = PlayStartsNothing(L" ");
    ASSERT_TRUE(window);

    SendCommand(window, IDC_INSTALL);
    demo::Run setup = OnlyRun();
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    StaysThenAnswer(window, setup, L"Rumbelon Setup", IDCANCEL, 1);
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
        HWND window = OpenMenu(DiscDrive);
        ASSERT_TRUE(window);
        driver::Click(Button(window, c.button));
        demo::Run game = OnlyRun();
        Child &running = Keep(Attach(game));
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
    HWND window = PlayStartsNothing(L"C:\\Games\\Rumbelon");
    ASSERT_TRUE(window);
    EXPECT_TRUE(driver::FindControl(window, IDC_PLAY).enabled);
    ExitMenu(window);
    EXPECT_TRUE(demo::ReadLog().empty());
}

TEST_F(Commands, FolderWithoutTheGameShowsTheInstallationErrorAndRestoresTheDirectory)
{
    ASSERT_TRUE(CreateDirectoryW(EmptyFolder, nullptr));
    demo::Register(EmptyFolder, L"");
    HWND window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    for (int button : {IDC_PLAY, IDC_PLAY_OPTION}) {
        ExpectErrorBox(window, button, IDS_INSTALLATION_ERROR);
    }
    EXPECT_TRUE(demo::ReadLog().empty());

    // Back on the disc: Install sees a CD-ROM drive again and starts the
    // bare name there, then leaves, the game being registered.
    SendCommand(window, IDC_INSTALL);
    demo::Run setup = OnlyRun();
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    EXPECT_EQ(L"E:\\", setup.directory);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    EXPECT_EQ(1, AnswerStandIn(setup, L"Rumbelon Setup", IDCANCEL));
}

TEST_F(Commands, DirectXFromTheDiscStartsItsSetupThereAndStays)
{
    HWND window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    driver::Click(Button(window, IDC_INSTALL_DIRECTX));
    demo::Run directX = OnlyRun();
    EXPECT_EQ(L"E:\\redist\\directx6\\directx\\dxsetup.exe", directX.program);
    EXPECT_EQ(L"E:\\redist\\directx6\\directx\\dxsetup.exe", directX.commandLine);
    EXPECT_EQ(L"E:\\", directX.directory);
    StaysThenAnswer(window, directX, L"DirectX Setup", IDOK, 0);
}

TEST_F(Commands, DirectXFromAHardDiskPromptsUntilTheDiscIsInADrive)
{
    driver::ClearFolder(DiscDrive);
    HWND window = OpenMenu(HardDisk);
    ASSERT_TRUE(window);
    const std::wstring prompt = MenuString(IDS_INSERT_DISC);

    driver::Click(Button(window, IDC_INSTALL_DIRECTX));
    ExpectMenuBox(prompt, {IDCANCEL, IDRETRY}, false, IDCANCEL);
    ExpectStays(window);
    EXPECT_TRUE(demo::ReadLog().empty());

    // Retry without a disc asks again, as often as the user likes.
    driver::Click(Button(window, IDC_INSTALL_DIRECTX));
    for (int retry = 0; retry < 3; retry++) {
        SCOPED_TRACE(retry);
        HWND box = driver::WaitForDialog(menuProcess->processId, L"Rumbelon", Patience);
        ASSERT_TRUE(box);
        EXPECT_EQ(prompt, driver::MessageBoxText(box));
        if (retry == 2) {
            ASSERT_TRUE(Insert(EmptyDrive));  // the disc appears in D:
        }
        driver::Answer(box, IDRETRY);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(box); }, Patience));
    }
    demo::Run directX = OnlyRun();
    EXPECT_EQ(L"D:\\redist\\directx6\\directx\\dxsetup.exe", directX.commandLine);
    EXPECT_EQ(L"F:\\", directX.directory);
    StaysThenAnswer(window, directX, L"DirectX Setup", IDOK, 0);
}

// A disc whose programs do not start: Install and DirectX both show the
// disc error, not the installation error, and the menu stays.
TEST_F(Commands, DiscProgramsThatDoNotStartShowTheDiscError)
{
    ASSERT_TRUE(Insert(EmptyDrive));  // D: is emptied again before every case
    ASSERT_TRUE(DeleteFileW(L"D:\\setup.exe"));
    ASSERT_TRUE(DeleteFileW(L"D:\\redist\\directx6\\directx\\dxsetup.exe"));
    HWND window = OpenMenu(EmptyDrive);
    ASSERT_TRUE(window);
    for (int button : {IDC_INSTALL, IDC_INSTALL_DIRECTX}) {
        SCOPED_TRACE(button);
        ExpectErrorBox(window, button, IDS_DISC_ERROR);
    }
    ExitMenu(window);
    EXPECT_TRUE(demo::ReadLog().empty());
}

// Commands queued behind Exit (a second click, a posted message) arrive
// after the quit sequence has shut the file system down: they run nothing.
// The menu's thread is held while both are posted, so that both are queued
// before Exit runs.
TEST_F(Commands, CommandsAfterTheQuitRunNothing)
{
    HWND window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_NE(DWORD(-1), SuspendThread(thread));
    SendCommand(window, IDC_EXIT);
    // From the disc both would start their programs at once, with no box
    // (which the pending quit would close unseen).
    SendCommand(window, IDC_INSTALL);
    SendCommand(window, IDC_INSTALL_DIRECTX);
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
            ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, menu::UninstallKey, L"UninstallString",
                                                  value));
        }
        HWND window = OpenMenu(DiscDrive);
        ASSERT_TRUE(window);
        Press(window, IDC_UNINSTALL);
        EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
        EXPECT_TRUE(demo::ReadLog().empty());
    }
}

TEST_F(Commands, MissingUninstallerShowsTheInstallationErrorAndStays)
{
    demo::Register(Folder, L"\"C:\\windows\\rumbelon-gone.exe\" \"" + Folder + L"\"");
    HWND window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    ExpectErrorBox(window, IDC_UNINSTALL, IDS_INSTALLATION_ERROR);
    ExitMenu(window);
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
        EXPECT_EQ(usable, KeyExists(menu::AppPathsKey) || KeyExists(menu::UninstallKey));
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
    HWND window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    EXPECT_EQ(NotInstalled, EnabledStates(window));
    driver::Click(Button(window, IDC_INSTALL));
    demo::Run setup = OnlyRun();
    Child &installer = Keep(Attach(setup));
    EXPECT_EQ(L"E:\\setup.exe", setup.program);
    EXPECT_EQ(L"setup.exe", setup.commandLine);
    EXPECT_EQ(L"E:\\", setup.directory);
    ExpectStays(window);
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
    EXPECT_EQ((std::vector<std::wstring>{L"Rumbelon.lnk", L"Uninstall Rumbelon.lnk"}), FolderListing(StartMenu));
    EXPECT_EQ(1u, demo::ReadLog().size());
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_TRUE(driver::WaitUntil([&] { return EnabledStates(window) == Installed; }, Patience));
    ExitMenu(window);

    // The Start menu's shortcut starts the game in its folder too.
    demo::ClearLog();
    ShellExecuteW(nullptr, nullptr, (StartMenu + L"Rumbelon.lnk").c_str(), nullptr, nullptr, SW_RESTORE);
    demo::Run fromStartMenu = OnlyRun();
    Child &started = Keep(Attach(fromStartMenu));
    EXPECT_EQ(Folder, fromStartMenu.directory);
    PostMessageW(driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", fromStartMenu.processId, Patience), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, driver::WaitForExit(started, Patience));

    // Settings once, then play.
    demo::ClearLog();
    window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    EXPECT_EQ(Installed, EnabledStates(window));
    driver::Click(Button(window, IDC_PERFORMANCE_SETTINGS));
    HWND dialog = driver::WaitForDialog(menuProcess->processId, L"Performance Settings", Patience);
    ASSERT_TRUE(dialog);
    driver::Answer(dialog, IDOK);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindow(dialog); }, Patience));
    ExpectStays(window);
    EXPECT_EQ("6 F H\r\n", FileBytes(settingsFile));
    EXPECT_FALSE(Exists(Folder + L"\\res.tmp"));

    driver::Click(Button(window, IDC_PLAY));
    demo::Run game = OnlyRun();
    Child &running = Keep(Attach(game));
    EXPECT_EQ(Game, game.program);
    EXPECT_EQ(Folder, game.directory);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    HWND gameWindow = driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", game.processId, Patience);
    ASSERT_TRUE(gameWindow);
    std::wstring report = ControlText(GetDlgItem(gameWindow, 100));
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
    ASSERT_TRUE(driver::WriteTextFile(Folder + L"\\saved.txt", "mine\r\n"));
    demo::ClearLog();
    window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    driver::Click(Button(window, IDC_UNINSTALL));
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, Patience));
    demo::Run uninstall = OnlyRun();
    Child &uninstaller = Keep(Attach(uninstall));
    EXPECT_EQ(L"", demo::AnswerPages(uninstall.processId, {L"Uninstall", L"Finish"}, Patience));
    EXPECT_EQ(0, driver::WaitForExit(uninstaller, Patience));
    EXPECT_EQ(std::vector<std::wstring>{L"saved.txt"}, FolderListing(Folder + L"\\"));
    EXPECT_FALSE(Exists(StartMenu));
    EXPECT_FALSE(KeyExists(menu::AppPathsKey));
    EXPECT_FALSE(KeyExists(menu::UninstallKey));
    EXPECT_EQ(1u, demo::ReadLog().size());

    window = OpenMenu(DiscDrive);
    ASSERT_TRUE(window);
    EXPECT_EQ(NotInstalled, EnabledStates(window));
    ExitMenu(window);
}

}  // namespace
