#include "launcher/window_helpers.h"

#include "menu_shared/menu_shared.h"

// The reference is the parent's window rectangle, counted with both edges
// (right - left + 1), or the screen. A top-level window larger than the
// screen's work area starts at the work area's edge instead, in each
// direction in which it is larger, so that its caption stays on the screen.
void CentreWindow(HWND window)
{
    int width, height;
    HWND parent = GetParent(window);
    bool child = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) && parent;
    if (child) {
        RECT outer;
        GetWindowRect(parent, &outer);
        width = outer.right - outer.left + 1;
        height = outer.bottom - outer.top + 1;
    } else {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    RECT own;
    GetWindowRect(window, &own);
    int x = (width + own.left - own.right - 1) / 2;
    int y = (height + own.top - own.bottom - 1) / 2;
    RECT work;
    if (!child && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        if (own.right - own.left > work.right - work.left)
            x = work.left;
        if (own.bottom - own.top > work.bottom - work.top)
            y = work.top;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

HWND CreateLabelledButton(const char *className, UINT stringId, DWORD style, int x, int y, int width,
                          int height, HWND parent, int id, HINSTANCE instance, void *parameter)
{
    char caption[MenuStringSize + 1] = "";
    LoadMenuString(stringId, caption, MenuStringSize);
    return CreateWindowExA(0, className, caption, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, parameter);
}

DWORD ReadCurrentDirectory(char (&directory)[MAX_PATH])
{
    DWORD length = GetCurrentDirectoryA(MAX_PATH, directory);
    return length < MAX_PATH ? length : 0;
}
