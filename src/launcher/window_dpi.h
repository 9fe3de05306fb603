#pragma once

// The DPI that the menu's window is drawn at, and sizes at that DPI. The
// system's per-monitor calls exist only on Windows 10 and later: each is
// looked up in user32 when it is needed, and older systems get the call
// they have instead, so the menu still starts wherever it did.

#include <windows.h>

// The DPI that the menu's sizes are given at.
const UINT DefaultDpi = 96;

// The DPI that the system's stock objects (the system font) were made for.
UINT SystemDpi();

// The DPI of the monitor that `window` is on, where the system tells it
// (Windows 10); the system's DPI elsewhere.
UINT WindowDpi(HWND window);

// `pixels` at 96 DPI, at `dpi`: scaled by dpi / 96 and rounded to the
// nearest pixel, halves away from zero.
int ScaleToDpi(int pixels, UINT dpi);

// The outer size of a window with the style and extended style of `window`
// (and no menu bar) whose client area is `width` by `height`, with the frame
// and caption the system gives a window at `dpi`.
SIZE OuterSizeForDpi(HWND window, int width, int height, UINT dpi);
