// Starts the menu from a folder (as a disc's autorun starts it from the
// disc's root), waits until its window shows the picture, and saves a
// screenshot of the window as a PNG. With "close", closes the menu again;
// with "wait", waits until the user has closed it and every program it
// started has ended.
//
//   show_menu <folder> <screenshot.png> close|wait

#include "menu_probe.h"

#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

namespace {

// Wine's own processes, which live as long as the prefix's server.
bool IsSystemProcess(const wchar_t *name)
{
    static const wchar_t *const names[] = {L"explorer.exe", L"services.exe", L"winedevice.exe",
                                           L"plugplay.exe", L"svchost.exe",  L"rpcss.exe",
                                           L"conhost.exe",  L"start.exe",    L"wineboot.exe"};
    for (const wchar_t *system : names)
        if (_wcsicmp(name, system) == 0)
            return true;
    return false;
}

bool OtherProgramsRun()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = entry.th32ProcessID != GetCurrentProcessId() && !IsSystemProcess(entry.szExeFile);
    CloseHandle(snapshot);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 4 || (wcscmp(argv[3], L"close") != 0 && wcscmp(argv[3], L"wait") != 0)) {
        fprintf(stderr, "usage: show_menu folder screenshot.png close|wait\n");
        return 2;
    }
    std::wstring folder = argv[1];
    if (folder.back() != L'\\')
        folder += L'\\';
    driver::Child child = menu::StartMenu(folder, folder + L"autorun.exe");
    HWND window = menu::WaitForMenuWindow(child);
    if (!window) {
        fprintf(stderr, "show_menu: the menu window did not appear\n");
        driver::Stop(&child);
        return 1;
    }
    driver::Image picture = menu::Picture();
    int mismatches = 0;
    if (!driver::WaitUntil([&] { return menu::ShowsPicture(window, picture, &mismatches); }, 10000))
        fprintf(stderr, "show_menu: %d pixels on screen differ from bitmap 127 (%dx%d)\n", mismatches,
                picture.width, picture.height);
    RECT frame;
    GetWindowRect(window, &frame);
    if (!driver::WritePng(driver::CaptureScreen(frame), argv[2])) {
        fprintf(stderr, "show_menu: cannot write the screenshot\n");
        driver::Stop(&child);
        return 1;
    }
    if (wcscmp(argv[3], L"close") == 0) {
        long code = menu::CloseMenu(child, window);
        driver::Stop(&child);
        return code == 0 ? 0 : 1;
    }
    long code = driver::WaitForExit(child, INFINITE);
    driver::Stop(&child);
    while (OtherProgramsRun())
        Sleep(500);
    return code == 0 ? 0 : 1;
}
