// The demo's uninstaller, registered as
//     "<Windows folder>\rumbelon-uninstall.exe" "<installation folder>"
// asks first, then removes the installation folder and both registry
// entries. It removes a folder only when it holds "rumbelon.exe", so that a
// wrong command line cannot empty some other folder. Exit code 0 when the
// game is gone, 1 otherwise.

#include "demo_log.h"
#include "installation.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char Title[] = "Rumbelon Uninstall";

// The folder named by the first argument (quoted or not), without a
// closing backslash; empty when there is none.
void FolderArgument(const char *commandLine, char (&folder)[MAX_PATH])
{
    // Past the program's own name.
    const char *p = commandLine;
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        p += strcspn(p, " \t");
    }
    p += strspn(p, " \t");
    size_t length = *p == '"' ? strcspn(++p, "\"") : strcspn(p, " \t");
    while (length > 0 && p[length - 1] == '\\')
        length--;
    folder[0] = '\0';
    if (length < MAX_PATH)
        snprintf(folder, sizeof folder, "%.*s", int(length), p);
}

bool HoldsTheGame(const char *folder)
{
    char executable[MAX_PATH];
    int length = snprintf(executable, sizeof executable, "%s\\rumbelon.exe", folder);
    return length > 0 && length < MAX_PATH && GetFileAttributesA(executable) != INVALID_FILE_ATTRIBUTES;
}

// The key with its values and subkeys; an entry that is not there is gone.
bool RemoveEntry(const char *key)
{
    LSTATUS status = RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LogThisRun();
    char folder[MAX_PATH];
    FolderArgument(GetCommandLineA(), folder);
    char question[MAX_PATH + 64];
    snprintf(question, sizeof question, "Remove Rumbelon from %s?", folder[0] ? folder : "this computer");
    if (MessageBoxA(nullptr, question, Title, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return 1;
    bool removed = true;
    if (folder[0] && HoldsTheGame(folder))
        removed = RemoveTree(folder);
    removed = RemoveEntry(AppPathsKey) && removed;
    removed = RemoveEntry(UninstallKey) && removed;
    if (removed)
        return 0;
    MessageBoxA(nullptr, "Rumbelon could not be removed completely.", Title, MB_OK | MB_ICONHAND);
    return 1;
}
