// Starts the menu from a folder (as a disc's autorun starts it from the
// disc's root), waits until its window shows the picture, and saves a
// screenshot of the window as a PNG. With "wait", then waits until the user
// has closed the menu and every program it started has ended. With "tour",
// works the menu as a first-time user would instead, saving screenshots
// beside the first: installs the game by answering the installer's pages
// ("<screenshot>-setup.png", its first page; "<screenshot>-installed.png",
// the menu with its play buttons enabled), plays ("<screenshot>-game.png",
// the game's window, then closed), and uninstalls by answering the
// uninstaller's pages ("<screenshot>-uninstalled.png", the menu started
// again).
//
//   show_menu <folder> <screenshot.png> wait|tour    (folder "." for the current one)

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

// Clicks the menu's button `id` and returns the program that logs its start
// next, once it has; null when none did. The log keeps the whole tour.
HANDLE ClickAndOpenNextRun(HWND window, int id)
{
    size_t before = demo::ReadLog().size();
    driver::Click(GetDlgItem(window, id));
    std::vector<demo::Run> runs = demo::WaitForRuns(before + 1, 30000);
    return runs.size() == before + 1 ? driver::Attach(runs.back().processId).process : nullptr;
}

// Whether the program ended within a minute; releases the handle.
bool Ended(HANDLE process)
{
    bool ended = WaitForSingleObject(process, 60000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// Installs by answering the installer's pages, with a screenshot of its
// first page. The installer changes nothing before those answers, so the
// menu stays, and sees the game once it repaints.
bool Install(HWND window, const std::wstring &shot)
{
    HANDLE setup = ClickAndOpenNextRun(window, IDC_INSTALL);
    if (!setup)
        return Fail("the installer did not start");
    DWORD id = GetProcessId(setup);
    HWND first = demo::WaitForPage(id, L"Next >", 30000);
    WaitForInputIdle(setup, 30000);  // the page is drawn
    bool answered = first && SaveWindow(first, Beside(shot, L"-setup")) &&
                    demo::AnswerPages(id, {L"Next >", L"Install", L"Finish"}, 60000).empty();
    if (!Ended(setup) || !answered)
        return Fail("the installer's pages did not come");
    HWND play = GetDlgItem(window, IDC_PLAY);
    auto enabled = [&] {
        InvalidateRect(window, nullptr, FALSE);
        return IsWindowEnabled(play) != FALSE;
    };
    return driver::WaitUntil(enabled, 30000) || Fail("the play buttons stayed disabled after the installation");
}

// Plays, with a screenshot of the game's window, which is then closed.
bool Play(const driver::Child &menu, HWND window, const std::wstring &shot)
{
    HANDLE game = ClickAndOpenNextRun(window, IDC_PLAY);
    if (!game)
        return Fail("the game did not start");
    bool quit = driver::WaitForExit(menu, 30000) == 0;
    HWND gameWindow = driver::WaitForTopWindow(L"Rumbelon", L"Rumbelon", GetProcessId(game), 30000);
    WaitForInputIdle(game, 30000);  // its report is drawn
    bool saved = gameWindow && SaveWindow(gameWindow, Beside(shot, L"-game"));
    if (gameWindow)
        PostMessageW(gameWindow, WM_CLOSE, 0, 0);
    if (!Ended(game) || !gameWindow)
        return Fail("the game window did not come and go");
    return (quit || Fail("the menu did not quit after starting the game")) && saved;
}

// Uninstalls by answering the uninstaller's pages; the menu quits as it
// starts the uninstaller.
bool Uninstall(const driver::Child &menu, HWND window)
{
    HANDLE uninstall = ClickAndOpenNextRun(window, IDC_UNINSTALL);
    if (!uninstall)
        return Fail("the uninstaller did not start");
    bool quit = driver::WaitForExit(menu, 30000) == 0;
    bool answered = demo::AnswerPages(GetProcessId(uninstall), {L"Uninstall", L"Finish"}, 60000).empty();
    if (!Ended(uninstall) || !answered)
        return Fail("the uninstaller's pages did not come");
    return quit || Fail("the menu did not quit after starting the uninstaller");
}

// The menu started again from `folder`, once its window shows the picture
// and the buttons `states`; null if it does not.
HWND Reopen(driver::Child *menu, const std::wstring &folder, const std::vector<bool> &states)
{
    driver::Stop(menu);
    *menu = menu::StartMenu(folder, folder + L"autorun.exe");
    HWND window = menu::WaitForMenuWindow(*menu);
    driver::Image picture = menu::Picture();
    auto ready = [&] { return menu::EnabledStates(window) == states && menu::ShowsPicture(window, picture); };
    return window && driver::WaitUntil(ready, 30000) ? window : nullptr;
}

bool Tour(driver::Child *menu, HWND window, const std::wstring &folder, const std::wstring &shot)
{
    if (!Install(window, shot) || !SaveWindow(window, Beside(shot, L"-installed")) || !Play(*menu, window, shot))
        return false;
    window = Reopen(menu, folder, menu::Installed);
    if (!window)
        return Fail("the menu did not come back with the game installed");
    if (!Uninstall(*menu, window))
        return false;
    window = Reopen(menu, folder, menu::NotInstalled);
    return window ? SaveWindow(window, Beside(shot, L"-uninstalled"))
                  : Fail("the menu did not come back as before the installation");
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 4 || (wcscmp(argv[3], L"wait") != 0 && wcscmp(argv[3], L"tour") != 0)) {
        fprintf(stderr, "usage: show_menu folder screenshot.png wait|tour\n");
        return 2;
    }
    wchar_t full[MAX_PATH];
    std::wstring folder(full, GetFullPathNameW(argv[1], MAX_PATH, full, nullptr));
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
