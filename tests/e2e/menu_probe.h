#pragma once

// The menu as the end-to-end tests, the screenshot tool and the start-up
// benchmark see it from outside.

#include "driver.h"

namespace menu {

// The built menu and its language libraries, side by side.
std::wstring BinFolder();
std::wstring AutorunPath();

// String `id` of the language library `library` ("rm_eng.dll") of the
// build, as the menu reads it into a buffer of `size` characters.
std::wstring LibraryString(const wchar_t *library, UINT id, int size = 256);

// The menu's window class and title.
extern const wchar_t WindowName[];

// The registry entries the menu reads, under HKEY_LOCAL_MACHINE: the
// game's application path and its uninstall entry.
extern const wchar_t AppPathsKey[];
extern const wchar_t UninstallKey[];

// Starts the menu in `directory` (the folder of autorun.exe when empty).
driver::Child StartMenu(const std::wstring &directory = std::wstring(),
                        const std::wstring &program = AutorunPath());

// The menu window of `menu`, once shown; null if it does not appear.
HWND WaitForMenuWindow(const driver::Child &menu, DWORD milliseconds = 20000);

// Bitmap 127 of autorun.exe, as the system decodes it and as the menu
// shows it at the screen's DPI (ScreenDpi, Wine's LogPixels).
driver::Image Picture();
int ScreenDpi();

// Whether the window's client area shows `picture` at its top-left corner,
// pixel for pixel as far as the client area reaches; `mismatches` counts
// the pixels that differ.
bool ShowsPicture(HWND window, const driver::Image &picture, int *mismatches = nullptr);

// The enabled state of each button, in layout order (the two play buttons,
// install, DirectX, settings, uninstall, exit), and those states without
// and with an installation.
std::vector<bool> EnabledStates(HWND window);
extern const std::vector<bool> NotInstalled;
extern const std::vector<bool> Installed;

// What a click on the button `id` sends, posted straight to the menu
// whatever state the button shows.
void SendCommand(HWND window, int id);

// Waits until the menu has handled everything posted to it so far: a
// focus request posted last is carried out only then. (A sent message
// would not do: a thread handles those before its posted messages, and
// also while WinExec waits for a started program to become idle.)
bool Settle(HWND window, DWORD milliseconds);

// Asks the menu to close as the close box does and waits for its exit code
// (-1 when it does not end).
long CloseMenu(const driver::Child &menu, HWND window);

}  // namespace menu
