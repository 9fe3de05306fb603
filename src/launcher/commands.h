#pragma once

// The commands of the menu's buttons.

// What the menu window does once a command has run.
enum MenuNext {
    MenuStays,      // nothing more
    MenuRefreshes,  // repaints and re-enables its buttons
    MenuQuits,      // runs its quit sequence
};

// Runs command `id` for a WM_COMMAND with notification `code`.
MenuNext RunMenuCommand(int id, int code);
