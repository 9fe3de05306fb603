#pragma once

// The commands of the menu's buttons.

#include <windows.h>

// Runs command `id` for a WM_COMMAND with notification `code`; returns
// what the window procedure returns.
LRESULT RunMenuCommand(int id, int code);
