#include "launcher/window_helpers.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

HWND MakeWindow(DWORD style, int x, int y, int width, int height, HWND parent)
{
    return CreateWindowExA(0, "Static", "", style, x, y, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

POINT PositionInParent(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&rect), 2);
    return {rect.left, rect.top};
}

TEST(CentreWindow, TopLevelWindowOnTheScreen)
{
    HWND window = MakeWindow(WS_POPUP, 7, 9, 325, 515, nullptr);
    ASSERT_TRUE(window);
    CentreWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 325 - 1) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 515 - 1) / 2, rect.top);
    EXPECT_EQ(325, rect.right - rect.left);
    EXPECT_EQ(515, rect.bottom - rect.top);
    DestroyWindow(window);
}

TEST(CentreWindow, ChildWindowInItsParentTruncatingTowardZero)
{
    HWND parent = MakeWindow(WS_POPUP, 100, 50, 400, 300, nullptr);
    ASSERT_TRUE(parent);
    // The reference is the parent's outer size plus one: 401 by 301.
    HWND child = MakeWindow(WS_CHILD, 3, 4, 100, 50, parent);
    CentreWindow(child);
    EXPECT_EQ(150, PositionInParent(child).x);
    EXPECT_EQ(125, PositionInParent(child).y);
    // Larger than its parent: (401 - 501 - 1) / 2 is -50, not -51.
    HWND wide = MakeWindow(WS_CHILD, 0, 0, 501, 402, parent);
    CentreWindow(wide);
    EXPECT_EQ(-50, PositionInParent(wide).x);
    EXPECT_EQ(-51, PositionInParent(wide).y);
    DestroyWindow(parent);
}

}  // namespace
