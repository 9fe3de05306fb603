#pragma once

// The menu window's procedure: it paints the menu, enables its buttons by
// whether the game is installed, runs the buttons' commands and does what
// each asks next (stay, refresh or quit). The window owns the game file
// system: it starts it when it is created and shuts it down in its quit
// sequence, the one way out of the menu.

#include <windows.h>

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
