#include "discovery/registry.h"

#include <string.h>
#include <windows.h>

namespace {

const DWORD ValueSize = 128;
const size_t KeyNameSize = 128;

// Gives `out` the value as the query reported it: up to its terminator, then
// zeros for the rest of the reported count. The result is always
// terminated, even when the stored string was not; 128 characters without
// a terminator are one too many, as they would be with it.
int CopyValue(const char *data, DWORD size, char *out)
{
    const char *end = static_cast<const char *>(memchr(data, '\0', size));
    if (!end && size == ValueSize)
        return 0;
    size_t length = end ? size_t(end - data) : size;
    memcpy(out, data, length);
    memset(out + length, 0, size > length ? size - length : 1);
    return 1;
}

// Opens HKEY_LOCAL_MACHINE\SOFTWARE\MICROSOFT\Windows\CurrentVersion
// \<entry>\<name> one key at a time and reads the string `value` of the
// last one. Every key opened is closed again, whatever happens.
int ReadEntryValue(const char *entry, const char *name, const char *value, char *out)
{
    if (!name || !value || !out || strlen(name) >= KeyNameSize)
        return 0;
    const char *route[] = {"SOFTWARE", "MICROSOFT", "Windows", "CurrentVersion", entry, name};
    const int depth = sizeof route / sizeof route[0];
    HKEY keys[depth];
    int opened = 0;
    HKEY parent = HKEY_LOCAL_MACHINE;
    while (opened < depth &&
           RegOpenKeyExA(parent, route[opened], 0, KEY_READ, &keys[opened]) == ERROR_SUCCESS)
        parent = keys[opened++];

    int found = 0;
    if (opened == depth) {
        char data[ValueSize] = {};
        DWORD type = REG_NONE, size = ValueSize;
        if (RegQueryValueExA(parent, value, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            found = CopyValue(data, size, out);
    }
    while (opened > 0)
        RegCloseKey(keys[--opened]);
    return found;
}

}  // namespace

int ReadAppPathsValue(const char *executable, const char *value, char *out)
{
    return ReadEntryValue("App Paths", executable, value, out);
}

int ReadUninstallValue(const char *product, const char *value, char *out)
{
    return ReadEntryValue("Uninstall", product, value, out);
}

bool IsBlankValue(const char *value)
{
    return value[0] == '\0' || strcmp(value, " ") == 0;
}

int ReadInstallationFolder(char *out)
{
    return ReadAppPathsValue("rumbelon.exe", "Path", out) && !IsBlankValue(out);
}
