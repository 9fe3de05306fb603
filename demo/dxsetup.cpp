// The demo disc's DirectX installer, "redist\directx6\directx\dxsetup.exe":
// it installs nothing and says that it ran, and from where.

#include "demo_log.h"

#include <windows.h>

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LogThisRun();
    char program[MAX_PATH] = "", text[MAX_PATH + 96];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    snprintf(text, sizeof text, "DirectX 6 setup (demo stand-in) ran from %s.\nNothing was installed.",
             program);
    MessageBoxA(nullptr, text, "DirectX Setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
