#pragma once

// Where the demo installer puts the game and how it registers it; the
// uninstaller undoes exactly this.

// The installation folder, with a space in its path as on most machines.
extern const char InstallFolder[];

// HKEY_LOCAL_MACHINE keys of the application-path entry of "rumbelon.exe"
// and of the uninstall entry "Rumbelon".
extern const char AppPathsKey[];
extern const char UninstallKey[];

// The uninstaller's name in the Windows folder, where it stays (as shared
// uninstallers do) so that it can remove the whole installation folder.
extern const char UninstallerName[];

// Copies the folder `from` (with its subfolders) into `to`, making `to`
// and its subfolders as needed. Both without a closing backslash.
bool CopyTree(const char *from, const char *to);

// Removes the folder and everything in it; true when it is gone.
bool RemoveTree(const char *folder);
