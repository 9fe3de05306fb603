#pragma once

// What the menu window shows: the background picture above a column of
// seven push buttons, laid out for the DPI of the monitor the window is on.
// The menu's window procedure builds on these, and so does the start-up
// benchmark's reference program, which shows the same window without the
// menu's own start-up.

#include <windows.h>

// Registers the menu's window class (the menu's name, icon and background)
// with `procedure`, creates the window and shows it with `show`; null when
// it cannot be created.
HWND CreateMenuWindow(HINSTANCE instance, int show, WNDPROC procedure);

// Runs the message loop until the quit message and returns its exit code.
// Tab and the arrow keys move the focus between the buttons; Space and
// Enter press the one that has it.
int RunMessageLoop();

// For WM_CREATE: sizes the window for its content at its DPI, centres it,
// and makes its seven buttons and the off-screen copy of the picture.
// Returns 0.
LRESULT CreateMenuContent(HWND window);

// For WM_GETMINMAXINFO: lets the window have the size its content needs,
// even where that is larger than the screen.
LRESULT AllowMenuSize(MINMAXINFO *limits);

// For WM_DPICHANGED, when the window has moved to a monitor of another DPI:
// takes the system's suggested rectangle and lays the buttons, their font
// and the picture out again for `dpi`. Returns 0.
LRESULT RescaleMenu(UINT dpi, const RECT *suggested);

// For WM_PAINT: the picture at the top of the client area.
void PaintPicture();

// The buttons' enabled states, with or without an installed game.
void EnableMenuButtons(bool installed);

// The control id of the button that has the focus; 0 when none has.
int FocusedMenuButton();

// Releases the picture, its off-screen device context and the buttons'
// font.
void ReleaseDrawingObjects();
