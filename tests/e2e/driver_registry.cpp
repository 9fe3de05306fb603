// The registry, prepared with real registry calls.

#include "driver.h"

namespace driver {

bool SetRegistryValue(HKEY root, const std::wstring &key, const std::wstring &name, DWORD type,
                      const void *data, DWORD size)
{
    HKEY opened;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool set = RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE *>(data), size) ==
               ERROR_SUCCESS;
    RegCloseKey(opened);
    return set;
}

bool SetRegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                       const std::wstring &value)
{
    return SetRegistryValue(root, key, name, REG_SZ, value.c_str(),
                            DWORD((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteRegistryKey(HKEY root, const std::wstring &key)
{
    RegDeleteTreeW(root, key.c_str());
    RegDeleteKeyW(root, key.c_str());
}

}  // namespace driver
