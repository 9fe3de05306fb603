#pragma once

// The menu window: the background picture above a column of seven push
// buttons, enabled by whether the game is installed.

#include <windows.h>

// The window's outer size: the picture and the button column below it, in
// a frame with a caption.
const int MenuWindowWidth = 325;
const int MenuWindowHeight = 515;

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the menu's window class (the menu's name, icon and background)
// with `procedure`, creates the window and shows it with `show`; null when
// it cannot be created.
HWND CreateMenuWindow(HINSTANCE instance, int show, WNDPROC procedure);

// Runs the message loop until the quit message and returns its exit code.
// Tab and the arrow keys move the focus between the buttons; Space and
// Enter press the one that has it.
int RunMessageLoop();

// Paints the picture and enables the buttons for the installation found
// in the registry. Returns 0 for the window procedure.
LRESULT RefreshMenu();

// The window's visible parts, one at a time, for the menu and for the
// start-up benchmark's reference program, which shows the same window
// without the menu's own start-up.

// For WM_CREATE: centres the window and makes its seven buttons and the
// off-screen copy of the picture. Returns 0.
LRESULT CreateMenuContent(HWND window);

// For WM_PAINT: the picture at the top of the client area.
void PaintPicture();

// The buttons' enabled states, with or without an installed game.
void EnableMenuButtons(bool installed);

// Releases the picture and its off-screen device context.
void ReleasePicture();

// Releases the picture, the disc's handle and the game file system and ends
// the message loop with exit code 0; only the first call does anything.
// Returns 0.
LRESULT QuitLauncher();

// True once QuitLauncher has run: the file system is gone, and a command
// that still arrives (a posted message, a second click queued behind the
// first) must run nothing.
bool MenuIsQuitting();
