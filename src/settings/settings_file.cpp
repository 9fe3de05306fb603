#include "settings/settings_file.h"

#include "discovery/registry.h"
#include "gamefs/directory.h"
#include "gamefs/game_file.h"
#include "gamefs/path.h"
#include "gamefs/text_line.h"
#include "settings/settings_file_calls.h"
#include "settings/settings_line.h"

#include <windows.h>

SettingsRecord Settings = {0, 0, DefaultResolutionCode};

static const char SettingsFileName[] = "res.dat";
// The new line goes to a file of its own first, "res.tmp" or, when that name
// is taken, "res1.tmp" to "res99.tmp", which is then moved over "res.dat":
// such a save never leaves "res.dat" half written, and never touches a file
// that it did not create.
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

SettingsFileCalls SettingsFiles = {CreateFileA, CloseHandle, MoveFileExA};

// Errors for which the folder or the old file allows no new file in its
// place, where a write in place may still succeed: no right to create files
// (granted per file, as under Program Files), or another program holding
// "res.dat" open without sharing its deletion.
static bool ForWantOfRights(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

static bool NameTaken(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Creates a file that did not exist, under the first free pending name of
// the folder: whatever already has a name (a file, a folder, a link) is
// neither opened nor followed. Its path goes to pending. Any error other
// than a taken name ends the search; the last error is in error.
static HANDLE CreatePendingFile(const char *folder, char (&pending)[MAX_PATH], DWORD *error)
{
    *error = ERROR_FILE_EXISTS;
    for (int i = 0; i < PendingNameCount && NameTaken(*error); ++i) {
        char name[16];
        if (i == 0)
            lstrcpyA(name, "res.tmp");
        else
            wsprintfA(name, "res%d.tmp", i);
        if (!JoinPath(pending, sizeof pending, folder, name, nullptr)) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        HANDLE file = SettingsFiles.create(pending, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                           nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        *error = GetLastError();
    }
    return INVALID_HANDLE_VALUE;
}

// Writes text whole, on the disk, and closes the file; false (the file
// closed all the same) when any of that failed.
static bool WriteWholeAndClose(HANDLE file, const char *text, DWORD length)
{
    DWORD written = 0;
    bool whole = WriteFile(file, text, length, &written, nullptr) && written == length &&
                 FlushFileBuffers(file);
    bool closed = SettingsFiles.close(file) != 0;
    return whole && closed;
}

enum ReplaceOutcome { Replaced, NotSaved, WriteInPlace };

// Writes the line and its line end to a pending file of this save and puts
// that in place of the old file only when the write, the flush and the
// close succeeded; otherwise the old file stays as it was. The pending file
// never outlives the call. Where the folder or the old file allows no new
// file in its place, the outcome asks for a write in place instead.
static ReplaceOutcome ReplaceSettingsFile(const char *folder, const char *line)
{
    char target[MAX_PATH], pending[MAX_PATH];
    if (!JoinPath(target, sizeof target, folder, SettingsFileName, nullptr))
        return NotSaved;
    DWORD error;
    HANDLE file = CreatePendingFile(folder, pending, &error);
    if (file == INVALID_HANDLE_VALUE)
        return ForWantOfRights(error) || NameTaken(error) ? WriteInPlace : NotSaved;
    char text[SettingsLineSize + 2];
    DWORD length = DWORD(wsprintfA(text, "%s\r\n", line));
    if (!WriteWholeAndClose(file, text, length)) {
        DeleteFileA(pending);  // a full disk: the old file is the better one
        return NotSaved;
    }
    if (SettingsFiles.move(pending, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Replaced;
    error = GetLastError();
    DeleteFileA(pending);
    return ForWantOfRights(error) ? WriteInPlace : NotSaved;
}

// The plain write: the old file truncated and written again through the
// file layer, which never writes into an archive.
static void WriteSettingsFileInPlace(DirectoryHandle *folder, const char *line)
{
    if (GameFile *file = OpenGameFile(folder, SettingsFileName, "wb")) {
        WriteLine(file, line);
        CloseGameFile(file);
    }
}

void SaveSettings()
{
    DirectoryHandle *folder = OpenInstallationFolder();
    if (!folder)
        return;
    char line[SettingsLineSize];
    if (FormatSettingsLine(&Settings, line, sizeof line) > 0 &&
        ReplaceSettingsFile(DirectoryPath(folder), line) == WriteInPlace)
        WriteSettingsFileInPlace(folder, line);
    CloseDirectory(folder);
}
