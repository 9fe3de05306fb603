#pragma once

// The system calls with which a save makes its pending file and moves it
// into place. The menu uses the system's own; a test puts its own here, to
// fail them as a folder without the right to create files, a full disk or
// another program's lock would.

#include <windows.h>

struct SettingsFileCalls {
    HANDLE(WINAPI *create)(LPCSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                           DWORD disposition, DWORD attributes, HANDLE model);
    BOOL(WINAPI *close)(HANDLE file);
    BOOL(WINAPI *move)(LPCSTR from, LPCSTR to, DWORD flags);
};
extern SettingsFileCalls SettingsFiles;
