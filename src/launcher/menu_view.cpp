#include "launcher/menu_view.h"

#include "launcher/window_dpi.h"
#include "launcher/window_helpers.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

namespace {

// Every size and place below is in pixels at 96 DPI; at another DPI each
// edge is scaled (ScaleToDpi), so that buttons that meet at 96 DPI still
// meet.
const int PictureWidth = 320;
const int PictureHeight = 240;
// The client area that the picture and the buttons need: the column ends 5
// pixels above its bottom, and it is one column narrower than the picture,
// as the menu has always shown it.
const int ClientWidth = 319;
const int ClientHeight = 490;
// The window's size as it is created, which that client area had with the
// system metrics of 96 DPI in the menu's day; WM_CREATE sizes it for its
// content.
const int CreatedWidth = 325;
const int CreatedHeight = 515;
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

UINT LayoutDpi;    // the DPI the window is laid out for
SIZE AllowedSize;  // the outer size the menu last gave its window
HWND ButtonWindows[ButtonCount];
HFONT ButtonFont;  // null while the buttons draw with the system font
HBITMAP Picture;
HDC PictureDC;  // off-screen copy of the picture, painted from on demand

RECT ButtonRect(const MenuButton &button, UINT dpi)
{
    return {ScaleToDpi(ButtonX, dpi), ScaleToDpi(button.y, dpi), ScaleToDpi(ButtonX + ButtonWidth, dpi),
            ScaleToDpi(button.y + button.height, dpi)};
}

// Moves and sizes the window to `outer`, a size it may then have
// (AllowMenuSize).
void PlaceWindow(const RECT &outer, UINT flags)
{
    AllowedSize = {outer.right - outer.left, outer.bottom - outer.top};
    SetWindowPos(MenuWindow, nullptr, outer.left, outer.top, AllowedSize.cx, AllowedSize.cy,
                 flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The buttons draw with the system font, as they always have. That font is
// made for the system's DPI: on a monitor of another DPI they get a copy of
// it scaled to the window's.
void SetButtonFont(UINT dpi)
{
    HFONT previous = ButtonFont;
    ButtonFont = nullptr;
    UINT systemDpi = SystemDpi();
    LOGFONTA font;
    if (dpi != systemDpi && GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font)) {
        font.lfHeight = MulDiv(font.lfHeight, int(dpi), int(systemDpi));
        font.lfWidth = MulDiv(font.lfWidth, int(dpi), int(systemDpi));
        ButtonFont = CreateFontIndirectA(&font);
    }
    if (ButtonFont || previous)
        for (HWND button : ButtonWindows)
            SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(ButtonFont), TRUE);
    if (previous)
        DeleteObject(previous);
}

// Bitmap 127 at the window's DPI, selected into the off-screen device
// context: at 96 DPI the bitmap itself. At whole multiples of 96 DPI every
// pixel is repeated, since the picture is pixel art and stays as sharp as
// at 96 DPI. At other DPIs repeating would make some rows and columns one
// pixel wider than the rest, so the picture is stretched with the smoothest
// mode GDI has, HALFTONE, which averages the pixels that meet in each
// pixel of the copy.
void PreparePicture(UINT dpi)
{
    Picture = LoadBitmapA(ProgramInstance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    PictureDC = CreateCompatibleDC(nullptr);
    SelectObject(PictureDC, Picture);
    if (dpi == DefaultDpi)
        return;
    HDC original = PictureDC;
    HBITMAP originalPicture = Picture;
    int width = ScaleToDpi(PictureWidth, dpi), height = ScaleToDpi(PictureHeight, dpi);
    HDC screen = GetDC(nullptr);
    Picture = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    PictureDC = CreateCompatibleDC(nullptr);
    SelectObject(PictureDC, Picture);
    SetStretchBltMode(PictureDC, dpi % DefaultDpi == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(PictureDC, 0, 0, nullptr);  // as HALFTONE asks
    StretchBlt(PictureDC, 0, 0, width, height, original, 0, 0, PictureWidth, PictureHeight, SRCCOPY);
    DeleteDC(original);
    DeleteObject(originalPicture);
}

void ReleasePicture()
{
    DeleteDC(PictureDC);
    DeleteObject(Picture);
    PictureDC = nullptr;
    Picture = nullptr;
}

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

    HWND window = CreateWindowExA(0, name, name, WS_CAPTION | WS_SYSMENU, 0, 0, CreatedWidth, CreatedHeight,
                                  nullptr, nullptr, instance, nullptr);
    if (window) {
        ShowWindow(window, show);
        UpdateWindow(window);
    }
    return window;
}

LRESULT CreateMenuContent(HWND window)
{
    MenuWindow = window;
    LayoutDpi = WindowDpi(window);
    SIZE outer = OuterSizeForDpi(window, ScaleToDpi(ClientWidth, LayoutDpi), ScaleToDpi(ClientHeight, LayoutDpi),
                                 LayoutDpi);
    PlaceWindow({0, 0, outer.cx, outer.cy}, SWP_NOMOVE);
    CentreWindow(window);
    for (int i = 0; i < ButtonCount; i++) {
        const MenuButton &button = Buttons[i];
        RECT place = ButtonRect(button, LayoutDpi);
        int width = place.right - place.left, height = place.bottom - place.top;
        ButtonWindows[i] = CreateLabelledButton("Button", button.stringId, ButtonStyle, place.left, place.top, width,
                                                height, window, button.commandId, ProgramInstance, nullptr);
    }
    SetButtonFont(LayoutDpi);
    PreparePicture(LayoutDpi);
    return 0;
}

// The system keeps a window within about the screen's size; the menu's
// window keeps the size it was given, which CentreWindow then places at the
// work area's edge.
LRESULT AllowMenuSize(MINMAXINFO *limits)
{
    if (limits->ptMaxTrackSize.x < AllowedSize.cx)
        limits->ptMaxTrackSize.x = AllowedSize.cx;
    if (limits->ptMaxTrackSize.y < AllowedSize.cy)
        limits->ptMaxTrackSize.y = AllowedSize.cy;
    return 0;
}

LRESULT RescaleMenu(UINT dpi, const RECT *suggested)
{
    if (dpi == 0 || !suggested)
        return 0;
    LayoutDpi = dpi;
    PlaceWindow(*suggested, 0);
    for (int i = 0; i < ButtonCount; i++) {
        RECT place = ButtonRect(Buttons[i], dpi);
        MoveWindow(ButtonWindows[i], place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
    }
    SetButtonFont(dpi);
    ReleasePicture();
    PreparePicture(dpi);
    InvalidateRect(MenuWindow, nullptr, TRUE);
    return 0;
}

void PaintPicture()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(MenuWindow, &paint);
    // Source AND the default white brush: the picture as stored.
    BitBlt(dc, 0, 0, ScaleToDpi(PictureWidth, LayoutDpi), ScaleToDpi(PictureHeight, LayoutDpi), PictureDC, 0, 0,
           MERGECOPY);
    EndPaint(MenuWindow, &paint);
}

void EnableMenuButtons(bool installed)
{
    for (int i = 0; i < ButtonCount; i++)
        EnableWindow(ButtonWindows[i],
                     installed ? Buttons[i].enabledWhenInstalled : Buttons[i].enabledWhenNotInstalled);
}

void ReleaseDrawingObjects()
{
    ReleasePicture();
    if (ButtonFont)
        DeleteObject(ButtonFont);
    ButtonFont = nullptr;
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
