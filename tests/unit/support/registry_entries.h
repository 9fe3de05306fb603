#pragma once

// The registry entries that the menu reads, as the unit tests write them:
// under HKEY_LOCAL_MACHINE, in the view of this 32-bit program.

#include <string>

// The keys that hold one key per executable (App Paths) or per product
// (Uninstall), with their trailing backslash.
extern const char AppPathsKeys[];
extern const char UninstallKeys[];

// The game's own entries: "rumbelon.exe" and "Rumbelon" below those.
extern const std::string AppPathsEntry;
extern const std::string UninstallEntry;

// Sets string value `name` of `key`, making the key as needed.
bool SetRegistryString(const std::string &key, const char *name, const std::string &value);

// Removes `key` with everything below it.
void DeleteRegistryKey(const std::string &key);
