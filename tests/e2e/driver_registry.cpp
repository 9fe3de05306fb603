#include "driver.h"

namespace driver {

bool SetRegistryValue(const std::wstring &key, const std::wstring &name, DWORD type, const void *data, DWORD size)
{
    HKEY opened;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool set = RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE *>(data), size) ==
               ERROR_SUCCESS;
    RegCloseKey(opened);
    return set;
}

bool SetRegistryString(const std::wstring &key, const std::wstring &name, const std::wstring &value)
{
    return SetRegistryValue(key, name, REG_SZ, value.c_str(), DWORD((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteRegistryKey(const std::wstring &key)
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

bool RegistryKeyExists(const wchar_t *key)
{
    HKEY opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::wstring RegistryString(const wchar_t *key, const wchar_t *name)
{
    wchar_t value[512] = L"";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

DWORD RegistryNumber(const wchar_t *key, const wchar_t *name)
{
    DWORD value = 0, size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

}  // namespace driver
