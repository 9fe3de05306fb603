#pragma once

// Small Win32 helpers of the menu's windows.

#include <windows.h>

// Moves `window` to the centre of its parent, or of the screen when it is
// not a child window, keeping its size and Z order.
void CentreWindow(HWND window);

// Creates a window whose caption is the language's string `stringId`
// (empty when the string is missing).
HWND CreateLabelledButton(const char *className, UINT stringId, DWORD style, int x, int y, int width,
                          int height, HWND parent, int id, HINSTANCE instance, void *parameter);
