#include "registry_entries.h"

#include <windows.h>

const char AppPathsKeys[] = "SOFTWARE\\MICROSOFT\\Windows\\CurrentVersion\\App Paths\\";
const char UninstallKeys[] = "SOFTWARE\\MICROSOFT\\Windows\\CurrentVersion\\Uninstall\\";
const std::string AppPathsEntry = std::string(AppPathsKeys) + "rumbelon.exe";
const std::string UninstallEntry = std::string(UninstallKeys) + "Rumbelon";

bool SetRegistryString(const std::string &key, const char *name, const std::string &value)
{
    return RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, value.c_str(),
                           DWORD(value.size() + 1)) == ERROR_SUCCESS;
}

void DeleteRegistryKey(const std::string &key)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
}
