// The yardstick of the start-up benchmark: what the menu shows, and nothing
// of its own start-up. The same window (class, caption, size, centred), the
// seven buttons made by the menu's own helper from the English language
// library, loaded as the menu loads it, with the states the menu shows
// without an installation, and bitmap 127 of the menu's resources painted
// from a memory device context, behind the menu's message loop. It reads no
// language file, no locale and no registry, looks for no other window and
// starts no file system: what the menu's start-up costs beyond this program
// is its own.
//
// The button table repeats the menu's layout; the benchmark compares the
// two windows control by control before it times them.

#include "launcher/language.h"
#include "launcher/menu_window.h"
#include "launcher/window_helpers.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

#include <windows.h>

namespace {

const int PictureWidth = 320;
const int PictureHeight = 240;
const DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON;
const int ButtonX = 5;
const int ButtonWidth = 310;

struct ReferenceButton {
    UINT stringId;
    int commandId;
    int y;
    int height;
    bool enabled;  // as the menu shows it without an installation
};

const ReferenceButton Buttons[] = {
    {IDS_PLAY, IDC_PLAY, 245, 45, false},
    {IDS_PLAY_OPTION, IDC_PLAY_OPTION, 290, 45, false},
    {IDS_INSTALL, IDC_INSTALL, 335, 30, true},
    {IDS_INSTALL_DIRECTX, IDC_INSTALL_DIRECTX, 365, 30, true},
    {IDS_PERFORMANCE_SETTINGS, IDC_PERFORMANCE_SETTINGS, 395, 30, false},
    {IDS_UNINSTALL, IDC_UNINSTALL, 425, 30, false},
    {IDS_EXIT, IDC_EXIT, 455, 30, true},
};
const int ButtonCount = sizeof Buttons / sizeof Buttons[0];

HWND ButtonWindows[ButtonCount];
HBITMAP Picture;
HDC PictureDC;

LRESULT OnCreate(HWND window)
{
    MenuWindow = window;
    CentreWindow(window);
    for (int i = 0; i < ButtonCount; i++) {
        const ReferenceButton &button = Buttons[i];
        ButtonWindows[i] = CreateLabelledButton("Button", button.stringId, ButtonStyle, ButtonX, button.y, ButtonWidth,
                                                button.height, window, button.commandId, ProgramInstance, nullptr);
    }
    Picture = LoadBitmapA(ProgramInstance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    PictureDC = CreateCompatibleDC(nullptr);
    SelectObject(PictureDC, Picture);
    return 0;
}

// The menu's paint without its registry lookup.
LRESULT OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(MenuWindow, &paint);
    BitBlt(dc, 0, 0, PictureWidth, PictureHeight, PictureDC, 0, 0, MERGECOPY);
    EndPaint(MenuWindow, &paint);
    for (int i = 0; i < ButtonCount; i++)
        EnableWindow(ButtonWindows[i], Buttons[i].enabled);
    return 0;
}

LRESULT OnDestroy()
{
    DeleteDC(PictureDC);
    DeleteObject(Picture);
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK ReferenceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint();
    case WM_DESTROY:
        return OnDestroy();
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    ProgramInstance = instance;
    LanguageLibrary = LoadLanguageLibrary("rm_eng.dll");

    char name[MenuStringSize + 1];
    LoadMenuString(IDS_MENU_CLASS, name, MenuStringSize);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ReferenceWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_RUMBELON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, name, name, WS_CAPTION | WS_SYSMENU, 0, 0, MenuWindowWidth,
                                  MenuWindowHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(MenuWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (LanguageLibrary)
        FreeLibrary(LanguageLibrary);
    return 0;
}
