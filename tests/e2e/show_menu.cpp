// Starts the menu from a folder (as a disc's autorun starts it from the
// disc's root), waits until its window shows the picture, and saves a
// screenshot of the window as a PNG. With "wait", then waits until the user
// has closed the menu and every program it started has ended. With "tour",
// works the menu as a first-time user would instead: installs the game
// (answering the installer), saves "<screenshot>-installed.png" of the menu
// with its play buttons enabled, plays, and saves "<screenshot>-game.png"
// of the game's window before closing it.
//
//   show_menu <folder> <screenshot.png> wait|tour

#include "demo_probe.h"
#include "menu_probe.h"
#include "resources/resource.h"

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

bool SaveWindow(HWND window, const std::wstring &path)
{
    RECT frame;
    GetWindowRect(window, &frame);
    if (driver::WritePng(driver::CaptureScreen(frame), path))
        return true;
    fwprintf(stderr, L"show_menu: cannot write %ls\n", path.c_str());
    return false;
}

// The picture of a PNG path with `suffix` before its extension.
std::wstring Beside(const std::wstring &path, const wchar_t *suffix)
{
    size_t dot = path.rfind(L'.');
    return path.substr(0, dot) + suffix + path.substr(dot);
}

bool Fail(const char *what)
{
    fprintf(stderr, "show_menu: %s\n", what);
    return false;
}

// The program that logged its start as the only run, once it has started;
// null when none did.
HANDLE OnlyRun()
{
    std::vector<demo::Run> runs = demo::WaitForRuns(1, 30000);
    return runs.size() == 1 ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, runs[0].processId)
                            : nullptr;
}

// Installs with the disc's installer. The menu stays open when it sees no
// installation as the installer comes up, and quits when the installer has
// already registered the game by then (an answer given before the
// installer has gone idle); it is started again in that case. Returns the
// menu's window with its play buttons enabled, or null.
HWND Install(driver::Child *menu, HWND window, const std::wstring &folder)
{
    demo::ClearLog();
    driver::Click(GetDlgItem(window, IDC_INSTALL));
    HWND question = driver::WaitForDialog(0, L"Rumbelon Setup", 30000);
    HANDLE setup = OnlyRun();
    if (!question || !setup)
        return Fail("the installer did not ask"), nullptr;
    driver::Answer(question, IDOK);
    bool ended = WaitForSingleObject(setup, 60000) == WAIT_OBJECT_0;
    CloseHandle(setup);
    if (!ended)
        return Fail("the installer did not end"), nullptr;
    // The menu re-reads the registry as it repaints.
    HWND play = GetDlgItem(window, IDC_PLAY);
    auto settled = [&] {
        if (!IsWindow(window))
            return true;
        InvalidateRect(window, nullptr, FALSE);
        return IsWindowEnabled(play) != FALSE;
    };
    if (driver::WaitUntil(settled, 30000) && !IsWindow(window)) {
        driver::Stop(menu);
        *menu = menu::StartMenu(folder, folder + L"autorun.exe");
        window = menu::WaitForMenuWindow(*menu);
        play = GetDlgItem(window, IDC_PLAY);
    }
    if (!IsWindowEnabled(play))
        return Fail("the play buttons stayed disabled after the installation"), nullptr;
    return window;
}

bool Tour(driver::Child *menu, HWND window, const std::wstring &folder, const std::wstring &shot)
{
    window = Install(menu, window, folder);
    if (!window || !SaveWindow(window, Beside(shot, L"-installed")))
        return false;
    demo::ClearLog();
    driver::Click(GetDlgItem(window, IDC_PLAY));
    if (driver::WaitForExit(*menu, 30000) != 0)
        return Fail("the menu did not quit after starting the game");
    HANDLE process = OnlyRun();
    HWND game = driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", 0, 30000);
    if (!process || !game)
        return Fail("the game window did not appear");
    WaitForInputIdle(process, 30000);  // its report is drawn
    bool saved = SaveWindow(game, Beside(shot, L"-game"));
    PostMessageW(game, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return saved && ended;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 4 || (wcscmp(argv[3], L"wait") != 0 && wcscmp(argv[3], L"tour") != 0)) {
        fprintf(stderr, "usage: show_menu folder screenshot.png wait|tour\n");
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
    bool done = SaveWindow(window, argv[2]);
    if (done && wcscmp(argv[3], L"tour") == 0) {
        done = Tour(&child, window, folder, argv[2]);
    } else if (done) {
        done = driver::WaitForExit(child, INFINITE) == 0;
        while (OtherProgramsRun())
            Sleep(500);
    }
    driver::Stop(&child);
    return done ? 0 : 1;
}
