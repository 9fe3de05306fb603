#include "installation.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

const char InstallFolder[] = "C:\\Program Files\\Rumbelon";
const char AppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\rumbelon.exe";
const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rumbelon";
const char UninstallerName[] = "rumbelon-uninstall.exe";

namespace {

bool Join(char (&out)[MAX_PATH], const char *folder, const char *name)
{
    int length = snprintf(out, sizeof out, "%s\\%s", folder, name);
    return length > 0 && length < int(sizeof out);
}

bool IsDotEntry(const WIN32_FIND_DATAA &found)
{
    return strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0;
}

bool IsFolder(const WIN32_FIND_DATAA &found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Calls visit(folder entry path, entry) for every entry but "." and "..";
// false as soon as a visit fails or the folder cannot be listed.
template <typename Visit>
bool ForEachEntry(const char *folder, Visit visit)
{
    char pattern[MAX_PATH];
    if (!Join(pattern, folder, "*"))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool done = true;
    do {
        char path[MAX_PATH];
        if (!IsDotEntry(found))
            done = Join(path, folder, found.cFileName) && visit(path, found);
    } while (done && FindNextFileA(search, &found));
    FindClose(search);
    return done;
}

}  // namespace

bool CopyTree(const char *from, const char *to)
{
    if (!CreateDirectoryA(to, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    return ForEachEntry(from, [&](const char *path, const WIN32_FIND_DATAA &found) {
        char target[MAX_PATH];
        if (!Join(target, to, found.cFileName))
            return false;
        if (IsFolder(found))
            return CopyTree(path, target);
        // Files on a disc are read-only; their copies must not be.
        return CopyFileA(path, target, FALSE) && SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    });
}

bool RemoveTree(const char *folder)
{
    ForEachEntry(folder, [](const char *path, const WIN32_FIND_DATAA &found) {
        if (IsFolder(found))
            return RemoveTree(path);
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path) != 0;
    });
    return RemoveDirectoryA(folder) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}
