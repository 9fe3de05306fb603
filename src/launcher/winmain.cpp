// The menu's entry point: language, single instance, window, message loop.

#include "gamefs/file_system.h"
#include "launcher/language.h"
#include "launcher/menu_window.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

#include <windows.h>

namespace {

// The game, or another menu, is already running.
bool AlreadyRunning()
{
    char menuClass[MenuStringSize + 1], menuTitle[MenuStringSize + 1];
    char gameClass[MenuStringSize + 1], gameTitle[MenuStringSize + 1];
    LoadMenuString(IDS_MENU_CLASS, menuClass, MenuStringSize);
    LoadMenuString(IDS_MENU_TITLE, menuTitle, MenuStringSize);
    LoadMenuString(IDS_GAME_CLASS, gameClass, MenuStringSize);
    LoadMenuString(IDS_GAME_TITLE, gameTitle, MenuStringSize);
    return FindWindowA(gameClass, gameTitle) || FindWindowA(menuClass, menuTitle);
}

HWND CreateMenuWindow(HINSTANCE instance, int show)
{
    char name[MenuStringSize + 1];
    LoadMenuString(IDS_MENU_CLASS, name, MenuStringSize);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MenuWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_RUMBELON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);

    HWND window = CreateWindowExA(0, name, name, WS_CAPTION | WS_SYSMENU, 0, 0, MenuWindowWidth,
                                  MenuWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, show);
        UpdateWindow(window);
    }
    return window;
}

// Tab and the arrow keys move the focus between the buttons; Space and
// Enter press the one that has it.
int RunMessageLoop()
{
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (IsDialogMessageA(MenuWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? int(message.wParam) : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    const char *library = nullptr;
    if (!ChooseLanguageLibrary(&library, GetLocaleInfoA)) {
        MessageBoxA(nullptr, "This is not the Japanese version of Rumbelon", "Error", MB_OK);
        return 0;
    }
    ProgramInstance = instance;
    LanguageLibrary = library ? LoadLanguageLibrary(library) : nullptr;

    int exitCode = 0;
    if (!AlreadyRunning()) {
        FileSystemStartup();
        if (CreateMenuWindow(instance, show)) {
            exitCode = RunMessageLoop();
        } else {
            // Without a window the loop could never end: give up at once.
            FileSystemShutdown();
            exitCode = 1;
        }
    }
    if (LanguageLibrary)
        FreeLibrary(LanguageLibrary);
    return exitCode;
}
