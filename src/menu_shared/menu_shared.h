#pragma once

// What the menu's windows share, from the main window to the disc prompt
// and the settings dialog: the language library that every user-visible
// string comes from, the program's instance, the menu window that owns
// every message box and dialog, and the loader of the menu's strings.

#include <windows.h>

// The loaded language library, or null: then the strings come from the
// program's own module, which carries the English ones.
extern HMODULE LanguageLibrary;
extern HINSTANCE ProgramInstance;
extern HWND MenuWindow;

// The string loader's size for the menu's texts: at most 254 characters,
// in buffers of MenuStringSize + 1 bytes.
const int MenuStringSize = 255;

// Loads string `id` of the language into `buffer` (of `size` bytes, at
// least 1); a missing string leaves it empty. Returns the string's length.
int LoadMenuString(UINT id, char *buffer, int size);

// What a message box does when its text or its caption is missing.
enum MissingTexts { ShowAnyway, ShowNothing };

// Shows a message box owned by the menu window: string textId under the
// caption string of the menu's boxes, with the buttons and icon of type.
// Returns the box's answer, or 0 without a box.
int ShowMenuMessage(UINT textId, UINT type, MissingTexts missing);
