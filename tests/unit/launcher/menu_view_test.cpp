#include "launcher/menu_view.h"
#include "launcher/window_dpi.h"

#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return CreateMenuContent(window);
    if (message == WM_DPICHANGED)
        return RescaleMenu(LOWORD(wParam), reinterpret_cast<const RECT *>(lParam));
    return message == WM_GETMINMAXINFO ? AllowMenuSize(reinterpret_cast<MINMAXINFO *>(lParam))
                                       : DefWindowProcA(window, message, wParam, lParam);
}

// Moved to a monitor of twice the system's DPI (a message Wine never sends),
// the window takes the suggested rectangle, even one taller than the screen,
// and lays its buttons out again at that DPI, in the system font scaled.
TEST(MenuView, DpiChangeTakesTheSuggestedRectangleAndLaysTheButtonsOutAgain)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ViewProc;
    windowClass.lpszClassName = "MenuViewTest";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(0, "MenuViewTest", "", WS_CAPTION | WS_SYSMENU, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(window);
    const int dpi = 2 * int(SystemDpi());
    RECT suggested = {10, 0, 710, GetSystemMetrics(SM_CYSCREEN) + 100}, frame, exit;
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(window, &frame);
    EXPECT_TRUE(EqualRect(&suggested, &frame));
    HWND button = GetDlgItem(window, IDC_EXIT);
    GetWindowRect(button, &exit);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&exit), 2);
    RECT expected = {MulDiv(5, dpi, 96), MulDiv(455, dpi, 96), MulDiv(315, dpi, 96), MulDiv(485, dpi, 96)};
    EXPECT_TRUE(EqualRect(&expected, &exit));
    LOGFONTA system = {}, font = {};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(2 * system.lfHeight, font.lfHeight);
    DestroyWindow(window);
    MenuWindow = nullptr;
    ReleaseDrawingObjects();
}

}  // namespace
