#include "launcher/window_dpi.h"

namespace {

typedef UINT(WINAPI *DpiForWindowCall)(HWND window);
typedef BOOL(WINAPI *AdjustForDpiCall)(RECT *rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

// A function of user32 by name, or null where this system has none.
template <typename Call>
Call User32Function(const char *name)
{
    // Through void (*)(): the one function type that converts to any.
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

UINT SystemDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : DefaultDpi;
}

// Before Windows 10 every window of a DPI-aware program is drawn at the
// system's DPI (Windows 8.1 tells a per-monitor program of another monitor's
// DPI only as the window moves there, with WM_DPICHANGED).
UINT WindowDpi(HWND window)
{
    DpiForWindowCall dpiForWindow = User32Function<DpiForWindowCall>("GetDpiForWindow");
    UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int ScaleToDpi(int pixels, UINT dpi)
{
    return MulDiv(pixels, int(dpi), int(DefaultDpi));
}

// Before Windows 10 the frame and caption of every window are the system's,
// which is what AdjustWindowRectEx computes with.
SIZE OuterSizeForDpi(HWND window, int width, int height, UINT dpi)
{
    DWORD style = DWORD(GetWindowLongA(window, GWL_STYLE));
    DWORD exStyle = DWORD(GetWindowLongA(window, GWL_EXSTYLE));
    AdjustForDpiCall adjustForDpi = User32Function<AdjustForDpiCall>("AdjustWindowRectExForDpi");
    RECT rect = {0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        rect = {0, 0, width, height};
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}
