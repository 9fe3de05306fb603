// The yardstick of the start-up benchmark: what the menu shows, and nothing
// of its own start-up. The menu's own code makes the same window, the seven
// buttons with their texts from the English language library (loaded as
// the menu loads it) and the states the menu shows without an
// installation, and paints bitmap 127 of the menu's resources, behind the
// menu's message loop. It reads no language file, no locale and no
// registry, looks for no other window and starts no file system: what the
// menu's start-up costs beyond this program is its own.

#include "launcher/language.h"
#include "launcher/menu_view.h"
#include "menu_shared/menu_shared.h"

#include <windows.h>

namespace {

// The menu's window procedure without its commands, its keyboard answers
// and the registry lookup of each paint.
LRESULT CALLBACK ReferenceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateMenuContent(window);
    case WM_PAINT:
        PaintPicture();
        EnableMenuButtons(false);
        return 0;
    case WM_GETMINMAXINFO:
        return AllowMenuSize(reinterpret_cast<MINMAXINFO *>(lParam));
    case WM_DPICHANGED:
        return RescaleMenu(LOWORD(wParam), reinterpret_cast<const RECT *>(lParam));
    case WM_DESTROY:
        ReleaseDrawingObjects();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    ProgramInstance = instance;
    LanguageLibrary = LoadLanguageLibrary("rm_eng.dll");
    int exitCode = CreateMenuWindow(instance, show, ReferenceWindowProc) ? RunMessageLoop() : 1;
    if (LanguageLibrary)
        FreeLibrary(LanguageLibrary);
    return exitCode;
}
