// The demo disc's game, "rumbelon\rumbelon.exe": a window of class and
// title "Rumbelon" (which the menu looks for to refuse a second start) that
// shows its command line, its current directory and the settings it reads
// from "res.dat" there, a loose file or an entry of the folder's
// "FASTFILE.DAT", through the game's own file layer.

#include "demo_log.h"
#include "gamefs/file_system.h"
#include "gamefs/game_file.h"
#include "gamefs/text_line.h"
#include "settings/resolution_list.h"
#include "settings/settings_line.h"

#include <windows.h>

#include <stdio.h>

namespace {

const char Name[] = "Rumbelon";
const int ReportId = 100;

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
    snprintf(report, sizeof report,
             "Rumbelon (demo stand-in)\r\nCommand line: %s\r\nCurrent directory: %s\r\nSettings: %s",
             GetCommandLineA(), directory, settings);
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
