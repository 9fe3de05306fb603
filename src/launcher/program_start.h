#pragma once

// How the menu starts another program: with WinExec, and once more through
// the shell for a program that needs administrator rights.

#include <windows.h>

// The system's error for a program that needs administrator rights, which
// MinGW-w64's winerror.h does not name.
#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

enum StartResult {
    ProgramStarted,
    ProgramNotStarted,
    // The program needs administrator rights, and the user declined to give
    // them at the system's consent prompt.
    StartDeclined,
};

// The system calls that start a program. The menu uses WinExec and
// ShellExecuteExA, which it takes from shell32.dll when it first needs it;
// a test puts its own here.
struct ProgramStarter {
    UINT(WINAPI *execute)(LPCSTR commandLine, UINT show);
    BOOL(WINAPI *executeWithShell)(SHELLEXECUTEINFOA *info);
};
extern ProgramStarter Starter;

// Starts `commandLine` with SW_RESTORE in the current directory; the
// program runs on its own, the menu never waits for it. Where a menu
// without administrator rights may not start the program itself
// (ERROR_ELEVATION_REQUIRED: its manifest asks for those rights, or its
// name marks it as an installer), the shell starts the same program with
// the same parameters in the same folder, after asking the user.
StartResult StartProgram(const char *commandLine);
