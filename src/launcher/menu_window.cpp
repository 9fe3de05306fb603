#include "launcher/menu_window.h"

#include "discovery/cd_search.h"
#include "discovery/registry.h"
#include "gamefs/file_system.h"
#include "launcher/commands.h"
#include "launcher/menu_view.h"
#include "menu_shared/menu_shared.h"

namespace {

bool Quitting;

LRESULT OnCreate(HWND window)
{
    FileSystemStartup();
    return CreateMenuContent(window);
}

// Paints the picture and enables the buttons for the installation found
// in the registry.
LRESULT RefreshMenu()
{
    PaintPicture();
    char path[RegistryValueBufferSize];
    EnableMenuButtons(ReadAppPathsValue("rumbelon.exe", "Path", path) != 0);
    return 0;
}

// Releases the picture and the buttons' font, the disc's handle and the
// game file system, in that order, and ends the message loop with exit code
// 0; only the first call does anything. Leaving by a button ends the loop
// without destroying the window; should the window still be destroyed
// later, the sequence has already run.
LRESULT QuitLauncher()
{
    if (Quitting)
        return 0;
    Quitting = true;
    ReleaseDrawingObjects();
    ReleaseGameDisc();
    FileSystemShutdown();
    PostQuitMessage(0);
    return 0;
}

// Once the menu quits, the file system is gone: a command that still
// arrives (a posted message, a second click queued behind the first) runs
// nothing.
LRESULT OnCommand(int id, int code)
{
    if (Quitting)
        return 0;
    switch (RunMenuCommand(id, code)) {
    case MenuRefreshes:
        return RefreshMenu();
    case MenuQuits:
        return QuitLauncher();
    case MenuStays:
        break;
    }
    return 0;
}

// The window is no dialog, but the message loop lets the dialog manager
// handle the keyboard, which then asks the window what a dialog would
// answer. Moving to the next or previous control (arrow keys, and Tab on
// some systems): the window moves the focus itself.
LRESULT OnNextControl(WPARAM next, LPARAM isWindow)
{
    HWND target =
        isWindow ? reinterpret_cast<HWND>(next) : GetNextDlgTabItem(MenuWindow, GetFocus(), next != 0);
    if (target)
        SetFocus(target);
    return 0;
}

// Asked for its default button, the window names the button that has the
// focus, so that Enter presses it as Space does.
LRESULT OnGetDefaultId()
{
    int id = FocusedMenuButton();
    return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
}

}  // namespace

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return RefreshMenu();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        return QuitLauncher();
    case WM_GETMINMAXINFO:
        return AllowMenuSize(reinterpret_cast<MINMAXINFO *>(lParam));
    case WM_DPICHANGED:
        return RescaleMenu(LOWORD(wParam), reinterpret_cast<const RECT *>(lParam));
    case WM_NEXTDLGCTL:
        return OnNextControl(wParam, lParam);
    case DM_GETDEFID:
        return OnGetDefaultId();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
