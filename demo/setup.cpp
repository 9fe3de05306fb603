// The demo disc's installer, "setup.exe": asks first, then copies the
// disc's game folder "rumbelon" into the installation folder, puts the
// uninstaller into the Windows folder, writes "res.dat" with the start
// values and registers the game (application path and uninstall entry).
// Exit code 0 when the game was installed, 1 otherwise.
//
// It asks before it changes anything, so the menu that started it sees the
// registry as it was until the user agrees.

#include "demo_log.h"
#include "installation.h"
#include "settings/settings_line.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char Title[] = "Rumbelon Setup";

// The folder of this program, without a closing backslash.
bool ProgramFolder(char (&folder)[MAX_PATH])
{
    DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    char *slash = strrchr(folder, '\\');
    if (!slash)
        return false;
    *slash = '\0';
    return true;
}

bool SetString(HKEY key, const char *name, const char *value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                          DWORD(strlen(value) + 1)) == ERROR_SUCCESS;
}

// Creates HKEY_LOCAL_MACHINE\path and sets its string values, given as
// name and value pairs (a null name is the key's default value).
bool WriteEntry(const char *path, const char *const (*values)[2], int count)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool written = true;
    for (int i = 0; i < count && written; i++)
        written = SetString(key, values[i][0], values[i][1]);
    RegCloseKey(key);
    return written;
}

bool Register(const char *uninstaller)
{
    char executable[MAX_PATH], uninstall[MAX_PATH];
    snprintf(executable, sizeof executable, "%s\\rumbelon.exe", InstallFolder);
    snprintf(uninstall, sizeof uninstall, "\"%s\" \"%s\"", uninstaller, InstallFolder);
    const char *const appPaths[][2] = {{nullptr, executable}, {"Path", InstallFolder}};
    const char *const product[][2] = {{"DisplayName", "Rumbelon"}, {"UninstallString", uninstall}};
    return WriteEntry(AppPathsKey, appPaths, 2) && WriteEntry(UninstallKey, product, 2);
}

// The game starts with 640x480, full screen and a high drawing distance.
bool WriteStartSettings()
{
    char path[MAX_PATH], line[SettingsLineSize + 2];
    SettingsRecord start = {0, 0, 6};
    snprintf(path, sizeof path, "%s\\res.dat", InstallFolder);
    int length = FormatSettingsLine(&start, line, SettingsLineSize);
    if (length < 0)
        return false;
    memcpy(line + length, "\r\n", 2);
    FILE *file = fopen(path, "wb");
    if (!file)
        return false;
    bool written = fwrite(line, 1, size_t(length) + 2, file) == size_t(length) + 2;
    return fclose(file) == 0 && written;
}

bool Install()
{
    char disc[MAX_PATH], game[MAX_PATH], source[MAX_PATH], uninstaller[MAX_PATH], windows[MAX_PATH];
    if (!ProgramFolder(disc) || !GetWindowsDirectoryA(windows, MAX_PATH))
        return false;
    snprintf(game, sizeof game, "%s\\rumbelon", disc);
    snprintf(source, sizeof source, "%s\\uninst.exe", disc);
    snprintf(uninstaller, sizeof uninstaller, "%s\\%s", windows, UninstallerName);
    CreateDirectoryA("C:\\Program Files", nullptr);
    return CopyTree(game, InstallFolder) && CopyFileA(source, uninstaller, FALSE) &&
           SetFileAttributesA(uninstaller, FILE_ATTRIBUTE_NORMAL) && WriteStartSettings() &&
           Register(uninstaller);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LogThisRun();
    char question[MAX_PATH + 64];
    snprintf(question, sizeof question, "Install Rumbelon in %s?", InstallFolder);
    if (MessageBoxA(nullptr, question, Title, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return 1;
    if (Install())
        return 0;
    MessageBoxA(nullptr, "Rumbelon could not be installed.", Title, MB_OK | MB_ICONHAND);
    return 1;
}
