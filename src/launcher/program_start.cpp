#include "launcher/program_start.h"

#include "launcher/command_line.h"
#include "launcher/window_helpers.h"
#include "menu_shared/menu_shared.h"

namespace {

typedef BOOL(WINAPI *ShellExecuteCall)(SHELLEXECUTEINFOA *info);
ShellExecuteCall ShellExecuteInShell32;

// shell32.dll, with the libraries it brings in, was the largest part of the
// menu's own start-up while it was imported, yet the menu calls it only for
// a program that needs administrator rights. So it is loaded then, once, by
// its full path in the system folder: no other folder is searched.
BOOL WINAPI ShellExecuteOnFirstUse(SHELLEXECUTEINFOA *info)
{
    if (!ShellExecuteInShell32) {
        const char name[] = "\\shell32.dll";
        char path[MAX_PATH];
        UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length + sizeof name > MAX_PATH) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        lstrcpyA(path + length, name);
        HMODULE shell = LoadLibraryA(path);
        if (!shell)
            return FALSE;
        // Through void (*)(): the one function type that converts to any.
        ShellExecuteInShell32 = reinterpret_cast<ShellExecuteCall>(
            reinterpret_cast<void (*)()>(GetProcAddress(shell, "ShellExecuteExA")));
        if (!ShellExecuteInShell32)
            return FALSE;
    }
    return ShellExecuteInShell32(info);
}

// Found as WinExec finds the program of a command line: in the menu's
// folder, the current folder, the system's folders and PATH.
bool ProgramFileExists(const char *candidate)
{
    char found[MAX_PATH];
    DWORD length = SearchPathA(nullptr, candidate, nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD attributes = GetFileAttributesA(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell's default verb shows the consent prompt, owned by the menu,
// for a program that needs administrator rights, and starts the program
// once the user agrees. The program is the one that WinExec found, an
// unquoted line read as WinExec reads it. The folder is named: a program started elevated
// would otherwise begin in the system folder. The start is complete when
// the call returns (the menu may quit right after), and a failure is the
// menu's to report, in its own words.
StartResult StartThroughShell(const char *commandLine)
{
    char program[MAX_PATH], folder[MAX_PATH];
    const char *parameters = SplitCommandLine(commandLine, program, sizeof program, ProgramFileExists);
    if (!parameters || ReadCurrentDirectory(folder) == 0)
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

ProgramStarter Starter = {WinExec, ShellExecuteOnFirstUse};

StartResult StartProgram(const char *commandLine)
{
    if (Starter.execute(commandLine, SW_RESTORE) >= 32)
        return ProgramStarted;
    // WinExec's result does not tell this case apart; the last error does.
    if (GetLastError() != ERROR_ELEVATION_REQUIRED)
        return ProgramNotStarted;
    return StartThroughShell(commandLine);
}
