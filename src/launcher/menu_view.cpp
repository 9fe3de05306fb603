#include "launcher/menu_view.h"

#include "launcher/window_helpers.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

namespace {

const int PictureWidth = 320;
const int PictureHeight = 240;
const DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON;
// Every button spans the column below the picture.
const int ButtonX = 5;
const int ButtonWidth = 310;

struct MenuButton {
    UINT stringId;
    int commandId;
    int y;
    int height;
    bool enabledWhenInstalled;
    bool enabledWhenNotInstalled;
};

// In creation order, which is also the order of the Tab key.
const MenuButton Buttons[] = {
    {IDS_PLAY, IDC_PLAY, 245, 45, true, false},
    {IDS_PLAY_OPTION, IDC_PLAY_OPTION, 290, 45, true, false},
    {IDS_INSTALL, IDC_INSTALL, 335, 30, false, true},
    {IDS_INSTALL_DIRECTX, IDC_INSTALL_DIRECTX, 365, 30, true, true},
    {IDS_PERFORMANCE_SETTINGS, IDC_PERFORMANCE_SETTINGS, 395, 30, true, false},
    {IDS_UNINSTALL, IDC_UNINSTALL, 425, 30, true, false},
    {IDS_EXIT, IDC_EXIT, 455, 30, true, true},
};
const int ButtonCount = sizeof Buttons / sizeof Buttons[0];

HWND ButtonWindows[ButtonCount];
HBITMAP Picture;
HDC PictureDC;  // off-screen copy of the picture, painted from on demand

}  // namespace

HWND CreateMenuWindow(HINSTANCE instance, int show, WNDPROC procedure)
{
    char name[MenuStringSize + 1];
    LoadMenuString(IDS_MENU_CLASS, name, MenuStringSize);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
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

LRESULT CreateMenuContent(HWND window)
{
    MenuWindow = window;
    CentreWindow(window);
    for (int i = 0; i < ButtonCount; i++) {
        const MenuButton &button = Buttons[i];
        ButtonWindows[i] = CreateLabelledButton("Button", button.stringId, ButtonStyle, ButtonX, button.y, ButtonWidth,
                                                button.height, window, button.commandId, ProgramInstance, nullptr);
    }
    Picture = LoadBitmapA(ProgramInstance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    PictureDC = CreateCompatibleDC(nullptr);
    SelectObject(PictureDC, Picture);
    return 0;
}

void PaintPicture()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(MenuWindow, &paint);
    // Source AND the default white brush: the picture as stored.
    BitBlt(dc, 0, 0, PictureWidth, PictureHeight, PictureDC, 0, 0, MERGECOPY);
    EndPaint(MenuWindow, &paint);
}

void EnableMenuButtons(bool installed)
{
    for (int i = 0; i < ButtonCount; i++)
        EnableWindow(ButtonWindows[i],
                     installed ? Buttons[i].enabledWhenInstalled : Buttons[i].enabledWhenNotInstalled);
}

void ReleasePicture()
{
    DeleteDC(PictureDC);
    DeleteObject(Picture);
    PictureDC = nullptr;
    Picture = nullptr;
}

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

int FocusedMenuButton()
{
    HWND focus = GetFocus();
    for (HWND button : ButtonWindows)
        if (button && button == focus)
            return GetDlgCtrlID(button);
    return 0;
}
