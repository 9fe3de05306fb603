#pragma once

// The menu window: the background picture above a column of seven push
// buttons, enabled by whether the game is installed.

#include <windows.h>

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Moves `window` to the centre of its parent, or of the screen when it is
// not a child window, keeping its size and Z order.
void CentreWindow(HWND window);

// Creates a window whose caption is the language's string `stringId`
// (empty when the string is missing).
HWND CreateLabelledButton(const char *className, UINT stringId, DWORD style, int x, int y, int width,
                          int height, HWND parent, int id, HINSTANCE instance, void *parameter);

// Paints the picture and enables the buttons for the installation found
// in the registry. Returns 0 for the window procedure.
LRESULT RefreshMenu();

// Releases the picture, the disc's handle and the game file system and ends
// the message loop with exit code 0; only the first call does anything.
// Returns 0.
LRESULT QuitLauncher();

// True once QuitLauncher has run: the file system is gone, and a command
// that still arrives (a posted message, a second click queued behind the
// first) must run nothing.
bool MenuIsQuitting();
