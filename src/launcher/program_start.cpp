#include "launcher/program_start.h"

#include "launcher/command_line.h"
#include "menu_shared/menu_shared.h"

ProgramStarter Starter = {WinExec, ShellExecuteExA};

namespace {

// The shell's default verb shows the consent prompt, owned by the menu,
// for a program that needs administrator rights, and starts the program
// once the user agrees. The folder is named: a program started elevated
// would otherwise begin in the system folder. The start is complete when
// the call returns (the menu may quit right after), and a failure is the
// menu's to report, in its own words.
StartResult StartThroughShell(const char *commandLine)
{
    char program[MAX_PATH], folder[MAX_PATH];
    const char *parameters = SplitCommandLine(commandLine, program, sizeof program);
    DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (!parameters || length == 0 || length >= MAX_PATH)
        return ProgramNotStarted;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = MenuWindow;
    info.lpFile = program;
    info.lpParameters = *parameters ? parameters : nullptr;
    info.lpDirectory = folder;
    info.nShow = SW_RESTORE;
    if (Starter.executeWithShell(&info))
        return ProgramStarted;
    return GetLastError() == ERROR_CANCELLED ? StartDeclined : ProgramNotStarted;
}

}  // namespace

StartResult StartProgram(const char *commandLine)
{
    if (Starter.execute(commandLine, SW_RESTORE) >= 32)
        return ProgramStarted;
    // WinExec's result does not tell this case apart; the last error does.
    if (GetLastError() != ERROR_ELEVATION_REQUIRED)
        return ProgramNotStarted;
    return StartThroughShell(commandLine);
}
