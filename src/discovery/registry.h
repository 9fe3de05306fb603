#pragma once

// The two registry entries that the game's installer writes under
// HKEY_LOCAL_MACHINE: the application path of its executable and its
// uninstall entry. Read only.

// What `out` must hold for the lookups below.
const int RegistryValueBufferSize = 256;

// Reads string value `value` of the application-path entry of `executable`
// ("rumbelon.exe") into `out` (at least RegistryValueBufferSize bytes). Returns 1 with `out`
// holding the zero-terminated value, 0 when any key is missing, the value
// is absent, is not a string or needs more than 128 bytes; `out` is then
// left as it was.
int ReadAppPathsValue(const char *executable, const char *value, char *out);

// The same over the uninstall entry of `product` ("Rumbelon").
int ReadUninstallValue(const char *product, const char *value, char *out);

// Whether a value of either entry names nothing: it is empty, or it is the
// blank marker, one space, with which an installer marks no installation.
bool IsBlankValue(const char *value);

// The installation folder: the "Path" value of the application-path entry
// of "rumbelon.exe". Returns 1 with `out` (at least RegistryValueBufferSize
// bytes) holding it, 0 when the entry is missing or the value blank.
int ReadInstallationFolder(char *out);
