#include "demo_log.h"

#include <windows.h>

#include <stdio.h>

const char DemoLogPath[] = "C:\\rumbelon-demo.log";

void LogThisRun()
{
    char program[MAX_PATH] = "";
    char directory[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, directory);
    char line[4 * MAX_PATH];
    int length = snprintf(line, sizeof line, "%s\t%lu\t%s\t%s\r\n", program, GetCurrentProcessId(),
                          directory, GetCommandLineA());
    if (length < 0 || length >= int(sizeof line))
        return;
    // One write of the whole line, at the end of the file whoever else
    // writes there: lines of stand-ins that run together do not mix.
    HANDLE log = CreateFileA(DemoLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(log, line, DWORD(length), &written, nullptr);
    CloseHandle(log);
}
