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

// The full path of a program file, found as WinExec finds the program of a
// command line (in the menu's folder, the current folder, the system's
// folders and PATH; ".exe" added to a name without an extension), in found
// (MAX_PATH bytes); false when none is found or it is a folder.
bool FindProgramFile(const char *name, char *found)
{
    DWORD length = SearchPathA(nullptr, name, ".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    DWORD attributes = GetFileAttributesA(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ProgramFileExists(const char *candidate)
{
    char found[MAX_PATH];
    return FindProgramFile(candidate, found);
}

// The shell's default verb shows the consent prompt, owned by the menu,
// for a program that needs administrator rights, and starts the program
// once the user agrees. The program is the one that WinExec found, an
// unquoted line read as WinExec reads it, and the shell gets its full path:
// given a bare name, it would search its own places (App Paths among them).
// The folder is named: a program started elevated would otherwise begin in
// the system folder. The start is complete when the call returns (the menu
// may quit right after), and a failure is the menu's to report, in its own
// words.
StartResult StartThroughShell(const char *commandLine)
{
    char name[MAX_PATH], program[MAX_PATH], folder[MAX_PATH];
    const char *parameters = SplitCommandLine(commandLine, name, sizeof name, ProgramFileExists);
    if (!parameters || !FindProgramFile(name, program) || ReadCurrentDirectory(folder) == 0)
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
