#pragma once

// The menu window: the background picture above a column of seven push
// buttons, enabled by whether the game is installed.

#include <windows.h>

// The window's outer size: the picture and the button column below it, in
// a frame with a caption.
const int MenuWindowWidth = 325;
const int MenuWindowHeight = 515;

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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
