// The Windows C runtime calls of crt.h over POSIX, for the sanitizer build.

#include "gamefs/crt.h"

#include <string.h>
#include <unistd.h>

int _fmode = _O_TEXT;
char **__argv;

int _getdrive()
{
    return 3;  // C:, the one drive
}

int _chdrive(int)
{
    return 0;
}

char *_getcwd(char *buffer, int size)
{
    return getcwd(buffer, static_cast<size_t>(size));
}

int _chdir(const char *path)
{
    return chdir(path);
}

char *_fullpath(char *full, const char *path, size_t size)
{
    char current[_MAX_PATH + 1];
    if (path[0] == '/')
        current[0] = '\0';
    else if (!getcwd(current, sizeof current) || strlen(current) + 1 >= size)
        return nullptr;
    else
        strcat(current, "/");
    if (strlen(current) + strlen(path) >= size)
        return nullptr;
    strcpy(full, current);
    strcat(full, path);
    return full;
}

// The drive is "X:" at the start; the folder runs to the last separator.
void _splitpath(const char *path, char *drive, char *folder, char *, char *)
{
    size_t driveLength = path[0] && path[1] == ':' ? 2 : 0;
    const char *rest = path + driveLength;
    size_t folderLength = 0;
    for (size_t i = 0; rest[i]; ++i) {
        if (rest[i] == '\\' || rest[i] == '/')
            folderLength = i + 1;
    }
    memcpy(drive, path, driveLength);
    drive[driveLength] = '\0';
    memcpy(folder, rest, folderLength);
    folder[folderLength] = '\0';
}

void _makepath(char *path, const char *drive, const char *folder, const char *, const char *)
{
    strcpy(path, drive);
    strcat(path, folder);
}
