#pragma once

// Small Win32 helpers of the menu's windows.

#include <windows.h>

// Moves `window` to the centre of its parent, or of the screen when it is
// not a child window, keeping its size and Z order; a top-level window
// larger than the screen's work area goes to the work area's edge.
void CentreWindow(HWND window);

// Reads the current directory; its length, or 0 when it cannot be read or
// would be cut off.
DWORD ReadCurrentDirectory(char (&directory)[MAX_PATH]);

// Creates a window whose caption is the language's string `stringId`
// (empty when the string is missing).
HWND CreateLabelledButton(const char *className, UINT stringId, DWORD style, int x, int y, int width,
                          int height, HWND parent, int id, HINSTANCE instance, void *parameter);
