// The demo disc's game, "rumbelon\rumbelon.exe": a window of class and
// title "Rumbelon" (which the menu looks for to refuse a second start) that
// shows its command line, its current directory and the settings it reads
// from "res.dat" there, a loose file or an entry of the folder's
// "FASTFILE.DAT", through the game's own file layer; under texts that it
// reads the same way from its own folder, where the build packs them into
// the game's "FASTFILE.DAT".

#include "demo_log.h"
#include "gamefs/file_system.h"
#include "gamefs/game_file.h"
#include "gamefs/text_line.h"
#include "settings/resolution_list.h"
#include "settings/settings_line.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char Name[] = "Rumbelon";
const int ReportId = 100;

// The window's texts, one a line in "window.txt" in the game's folder: its
// heading, then the names of what it reports. Lines the file lacks keep
// these.
enum { Heading, CommandLineName, DirectoryName, SettingsName, TextCount };
char Texts[TextCount][128] = {"Rumbelon (demo stand-in), without its window.txt", "Command line",
                              "Current directory", "Settings"};

void ReadTexts()
{
    GameFile *file = OpenGameFile(ProgramDirectory, "window.txt", "rb");
    char line[sizeof Texts[0]];
    for (int i = 0; file && i < TextCount && ReadLine(file, line, sizeof line); ++i)
        memcpy(Texts[i], line, sizeof line);
    CloseGameFile(file);
}

// What "res.dat" in the current directory says, in words.
void DescribeSettings(char *out, size_t size)
{
    GameFile *file = OpenGameFile(WorkingDirectory, "res.dat", "rb");
    if (!file) {
        snprintf(out, size, "no res.dat");
        return;
    }
    char line[SettingsLineSize] = "";
    ReadLine(file, line, SettingsLineSize - 1);
    CloseGameFile(file);
    SettingsRecord settings = {0, 0, 6};
    ParseSettingsLine(line, &settings);
    int row = ResolutionRowForCode(settings.resolutionCode);
    bool offered = ResolutionCodeForRow(row) == settings.resolutionCode;
    snprintf(out, size, "\"%s\": code %ld (%s), %s, %s drawing distance", line,
             long(settings.resolutionCode), offered ? ResolutionRowTexts[row] : "not offered",
             settings.windowed ? "windowed" : "full screen", settings.lowDrawingDistance ? "low" : "high");
}

void ShowReport(HWND window)
{
    char directory[MAX_PATH] = "", settings[128], report[4 * MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, directory);
    DescribeSettings(settings, sizeof settings);
    ReadTexts();
    snprintf(report, sizeof report, "%s\r\n%s: %s\r\n%s: %s\r\n%s: %s", Texts[Heading], Texts[CommandLineName],
             GetCommandLineA(), Texts[DirectoryName], directory, Texts[SettingsName], settings);
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExA(0, "Edit", report, WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 8, 8,
                    client.right - 16, client.bottom - 16, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(ReportId)), nullptr, nullptr);
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        ShowReport(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    LogThisRun();
    FileSystemStartup();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = Name;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, Name, Name, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                  200, nullptr, nullptr, instance, nullptr);
    int code = 1;
    if (window) {
        ShowWindow(window, show);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        code = 0;
    }
    FileSystemShutdown();
    return code;
}
