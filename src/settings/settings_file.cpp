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
// The new line goes to a file of its own first, "res.tmp" or, when that name
// is taken, "res1.tmp" to "res99.tmp"; a save never leaves "res.dat" half
// written, and never touches a file that it did not create.
static const int PendingNameCount = 100;

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

// Creates a file that did not exist, under the first free pending name of
// the folder: whatever already has a name (a file, a folder, a link) is
// neither opened nor followed. Its path goes to pending.
static HANDLE CreatePendingFile(const DirectoryHandle *folder, char (&pending)[MAX_PATH])
{
    for (int i = 0; i < PendingNameCount; ++i) {
        char name[16];
        if (i == 0)
            lstrcpyA(name, "res.tmp");
        else
            wsprintfA(name, "res%d.tmp", i);
        if (!JoinPath(pending, sizeof pending, folder->path, name, nullptr))
            return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileA(pending, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes the line and its line end to a pending file of this save and puts
// that in place of the old file only when the write and the close
// succeeded; otherwise the old file stays as it was and the pending file
// goes. Nothing else in the folder is touched.
static void ReplaceSettingsFile(DirectoryHandle *folder, const char *line)
{
    char target[MAX_PATH], pending[MAX_PATH];
    if (!JoinPath(target, sizeof target, folder->path, SettingsFileName, nullptr))
        return;
    HANDLE file = CreatePendingFile(folder, pending);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[SettingsLineSize + 2];
    int length = wsprintfA(text, "%s\r\n", line);
    DWORD written = 0;
    bool whole = WriteFile(file, text, DWORD(length), &written, nullptr) && written == DWORD(length);
    bool closed = CloseHandle(file) != 0;
    if (whole && closed && MoveFileExA(pending, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
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
