#include "settings/settings_file.h"

#include "discovery/registry.h"
#include "gamefs/directory.h"
#include "gamefs/game_file.h"
#include "gamefs/path.h"
#include "gamefs/text_line.h"
#include "settings/settings_line.h"

#include <windows.h>

SettingsRecord Settings = {0, 0, 6};

static const char SettingsFileName[] = "res.dat";
// The new line goes here first; a save never leaves "res.dat" half written.
static const char PendingFileName[] = "res.tmp";

// A handle on the installation folder, or null when the game is not
// installed: no entry, an empty folder, or the blank marker " ".
static DirectoryHandle *OpenInstallationFolder()
{
    char folder[MAX_PATH] = "";
    if (!ReadInstallationFolder(folder))
        return nullptr;
    return OpenDirectory(folder, nullptr);
}

void LoadSettings()
{
    DirectoryHandle *folder = OpenInstallationFolder();
    if (!folder)
        return;
    if (GameFile *file = OpenGameFile(folder, SettingsFileName, "rb")) {
        char line[SettingsLineSize] = "";
        ReadLine(file, line, SettingsLineSize - 1);
        ParseSettingsLine(line, &Settings);
        CloseGameFile(file);
    }
    CloseDirectory(folder);
}

static bool JoinFolderPath(char *out, const DirectoryHandle *folder, const char *name)
{
    return JoinPath(out, MAX_PATH, folder->path, name, nullptr);
}

// Writes the line to the pending file and puts that in place of the old
// file only when the write and the close succeeded; otherwise the old file
// stays as it was and the pending one goes.
static void ReplaceSettingsFile(DirectoryHandle *folder, const char *line)
{
    char pending[MAX_PATH], target[MAX_PATH];
    if (!JoinFolderPath(pending, folder, PendingFileName) ||
        !JoinFolderPath(target, folder, SettingsFileName))
        return;
    GameFile *file = OpenGameFile(folder, PendingFileName, "wb");
    if (!file)
        return;
    int written = WriteLine(file, line);
    int closed = CloseGameFile(file);
    if (written && closed &&
        MoveFileExA(pending, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return;
    DeleteFileA(pending);
}

void SaveSettings()
{
    DirectoryHandle *folder = OpenInstallationFolder();
    if (!folder)
        return;
    char line[SettingsLineSize];
    if (FormatSettingsLine(&Settings, line, sizeof line) > 0)
        ReplaceSettingsFile(folder, line);
    CloseDirectory(folder);
}
