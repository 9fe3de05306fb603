// The menu's entry point: language, single instance, window, message loop.

#include "launcher/language.h"
#include "launcher/menu_view.h"
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

    // The window starts the game file system as it is created and shuts
    // it down as the menu quits. Without a window the loop could never end:
    // the menu gives up at once.
    int exitCode = 0;
    if (!AlreadyRunning())
        exitCode = CreateMenuWindow(instance, show, MenuWindowProc) ? RunMessageLoop() : 1;
    if (LanguageLibrary)
        FreeLibrary(LanguageLibrary);
    return exitCode;
}
