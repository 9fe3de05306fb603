// A start that fails with ERROR_ELEVATION_REQUIRED, as Windows fails it
// for a menu without administrator rights when the program asks for them.
// Wine runs every program with those rights, so the system calls are
// replaced here by fakes that record what the commands ask of them.

#include "gamefs/file_system.h"
#include "launcher/commands.h"
#include "launcher/program_start.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"
#include "support/registry_entries.h"
#include "support/windows_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


// What the fakes were asked, and how they fail: with a last error, or
// not at all (0).
struct ShellRequest {
    std::string verb, file, parameters, directory;
    ULONG mask;
    int show;
    HWND owner;
};
std::vector<std::string> Executed;
std::vector<ShellRequest> ShellRequests;
DWORD ExecuteError;
DWORD ShellError;
int BoxesShown;

UINT WINAPI FakeWinExec(LPCSTR commandLine, UINT show)
{
    Executed.push_back(std::string(commandLine) + (show == SW_RESTORE ? "" : " (not restored)"));
    SetLastError(ExecuteError);
    // As WinExec reports an error that no result below 32 names.
    return ExecuteError < 32 ? ExecuteError : ERROR_BAD_FORMAT;
}

std::string Text(const char *text)
{
    return text ? text : "(null)";
}

BOOL WINAPI FakeShellExecute(SHELLEXECUTEINFOA *info)
{
    ShellRequests.push_back({Text(info->lpVerb), Text(info->lpFile), Text(info->lpParameters),
                             Text(info->lpDirectory), info->fMask, info->nShow, info->hwnd});
    SetLastError(ShellError);
    return ShellError == 0;
}

// Every message box the menu opens is counted and kept from appearing.
LRESULT CALLBACK CountBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16] = "";
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) &&
        lstrcmpA(name, "#32770") == 0) {
        BoxesShown++;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string CurrentDirectory()
{
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    return directory;
}

TEST(ElevationRequired, TheShellStartsTheSameProgramInTheSameFolderAndADeclineShowsNothing)
{
    char temporary[MAX_PATH];
    ASSERT_TRUE(GetTempPathA(MAX_PATH, temporary));
    const std::string folder = std::string(temporary) + "Rumbelon (x86) game";
    const std::string uninstaller = "\"" + folder + "\\uninst.exe\" /lang=en";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    WriteBytes(folder + "\\rumbelon.exe", "MZ");
    WriteBytes(folder + "\\uninst.exe", "MZ");
    ASSERT_TRUE(SetRegistryString(AppPathsEntry, "Path", folder));
    ASSERT_TRUE(SetRegistryString(UninstallEntry, "UninstallString", uninstaller));
    ASSERT_TRUE(FileSystemStartup());  // the play command opens the folder through it
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountBoxes, nullptr, GetCurrentThreadId());
    const ProgramStarter system = Starter;
    Starter = {FakeWinExec, FakeShellExecute};
    const std::string before = CurrentDirectory();
    MenuWindow = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);

    // The game asks for administrator rights and the user declines: no
    // error, the menu stays as it was, the current directory too.
    ExecuteError = ERROR_ELEVATION_REQUIRED;
    ShellError = ERROR_CANCELLED;
    EXPECT_EQ(MenuStays, RunMenuCommand(IDC_PLAY_OPTION, 0));
    const std::string game = folder + "\\rumbelon.exe";
    EXPECT_EQ(std::vector<std::string>{"\"" + game + "\" -0v"}, Executed);
    ASSERT_EQ(1u, ShellRequests.size());
    EXPECT_EQ("(null)", ShellRequests[0].verb);  // the shell's default, which asks
    EXPECT_EQ(game, ShellRequests[0].file);
    EXPECT_EQ("-0v", ShellRequests[0].parameters);
    EXPECT_EQ(folder, ShellRequests[0].directory);
    EXPECT_EQ(ULONG(SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI), ShellRequests[0].mask);
    EXPECT_EQ(SW_RESTORE, ShellRequests[0].show);
    EXPECT_EQ(MenuWindow, ShellRequests[0].owner);  // of the consent prompt
    EXPECT_EQ(0, BoxesShown);
    EXPECT_EQ(before, CurrentDirectory());

    // Any other failure, of the first start or of the shell's, shows the
    // error as before; only the elevation goes to the shell. Unquoted, as
    // many installers write it, with blanks in its path, the program is
    // found as WinExec finds it, among real files.
    ASSERT_TRUE(SetRegistryString(UninstallEntry, "UninstallString", folder + "\\uninst /S"));
    ExecuteError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(MenuStays, RunMenuCommand(IDC_UNINSTALL, 0));
    EXPECT_EQ(1u, ShellRequests.size());
    ExecuteError = ERROR_ELEVATION_REQUIRED;
    ShellError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(MenuStays, RunMenuCommand(IDC_UNINSTALL, 0));
    EXPECT_EQ(2, BoxesShown);
    ASSERT_EQ(2u, ShellRequests.size());
    EXPECT_EQ(folder + "\\uninst.exe|/S", ShellRequests[1].file + "|" + ShellRequests[1].parameters);
    // Found in the current folder, it reaches the shell by its full path.
    ASSERT_TRUE(SetRegistryString(UninstallEntry, "UninstallString", "uninst /S") &&
                SetCurrentDirectoryA(folder.c_str()));
    EXPECT_EQ(MenuStays, RunMenuCommand(IDC_UNINSTALL, 0));
    ASSERT_TRUE(SetCurrentDirectoryA(before.c_str()) && ShellRequests.size() == 3);
    EXPECT_EQ(folder + "\\uninst.exe", ShellRequests[2].file);
    ASSERT_TRUE(SetRegistryString(UninstallEntry, "UninstallString", uninstaller));

    // The user agrees: the uninstaller runs, and the menu quits as after
    // any start of it. The quoted path with its spaces is the program.
    ShellError = 0;
    Executed.clear();
    ShellRequests.clear();
    EXPECT_EQ(MenuQuits, RunMenuCommand(IDC_UNINSTALL, 0));
    EXPECT_EQ(std::vector<std::string>{uninstaller}, Executed);
    ASSERT_EQ(1u, ShellRequests.size());
    EXPECT_EQ(folder + "\\uninst.exe", ShellRequests[0].file);
    EXPECT_EQ("/lang=en", ShellRequests[0].parameters);
    EXPECT_EQ(before, ShellRequests[0].directory);
    EXPECT_EQ(3, BoxesShown);

    FileSystemShutdown();
    Starter = system;
    DestroyWindow(MenuWindow);
    MenuWindow = nullptr;
    DeleteFileA((folder + "\\uninst.exe").c_str());
    DeleteFileA((folder + "\\rumbelon.exe").c_str());
    UnhookWindowsHookEx(hook);
    DeleteRegistryKey(AppPathsEntry);
    DeleteRegistryKey(UninstallEntry);
    RemoveDirectoryA(folder.c_str());
}

// The menu's own shell call, not a fake: it finds shell32.dll when first
// needed, and the shell answers for a program that is not there.
TEST(ShellStart, TakesTheShellWhenFirstNeeded)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = "C:\\no such program.exe";
    info.nShow = SW_RESTORE;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Starter.executeWithShell(&info));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
}

}  // namespace
