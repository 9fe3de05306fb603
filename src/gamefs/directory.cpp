#include "gamefs/directory.h"

#include "core/pool.h"
#include "gamefs/crt.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/path.h"

#include <string.h>

bool IsAbsolutePath(const char *path)
{
    if (!path || !path[0])
        return false;
    return path[1] == ':' || (path[0] == '\\' && path[1] == '\\');
}

// The C runtime's change of directory also records the new directory as its
// drive's current one, as a Windows program expects; so the test goes
// through it and not straight to the system.
bool DirectoryExists(const char *path)
{
    if (!path)
        return false;
    int drive = _getdrive();
    char current[GamePathLimit];
    if (!_getcwd(current, sizeof current))
        return false;  // a directory that cannot be noted cannot be restored
    if (_chdir(path) != 0) {
        _chdrive(drive);
        return false;
    }
    _chdir(current);
    _chdrive(drive);
    return true;
}

// A pool copy of a directory path with the backslash that every kept
// directory path ends with (the empty path stays empty).
static char *CopyDirectoryPath(const char *path)
{
    size_t n = strlen(path);
    bool slash = n > 0 && !EndsWithBackslash(path);
    char *copy = static_cast<char *>(PoolAlloc(n + slash + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, path, n);
    if (slash)
        copy[n++] = '\\';
    copy[n] = '\0';
    return copy;
}

static void FreeString(char *text)
{
    if (text)
        PoolFree(text, strlen(text) + 1);
}

static void FreeSearchPath(SearchPath *searchPath)
{
    FreeString(searchPath->path);
    PoolFree(searchPath, sizeof(SearchPath));
}

SearchPath *CreateSearchPath(const char *path)
{
    if (!path || !SearchPathRegistry)
        return nullptr;
    char full[GamePathBufferSize];
    // A resolved path of 260 characters has no room for its backslash.
    if (!_fullpath(full, path, sizeof full) ||
        (strlen(full) == GamePathLimit && !EndsWithBackslash(full)))
        return nullptr;
    SearchPath *searchPath = static_cast<SearchPath *>(PoolAllocZeroed(sizeof(SearchPath)));
    if (!searchPath)
        return nullptr;
    searchPath->path = CopyDirectoryPath(full);
    // Unregistered, it would escape FileSystemShutdown: no room in the
    // registry fails the call.
    if (!searchPath->path || !DirectoryExists(searchPath->path) ||
        !ListInsertBack(searchPath, SearchPathRegistry)) {
        FreeSearchPath(searchPath);
        return nullptr;
    }
    return searchPath;
}

void CloseSearchPath(SearchPath *searchPath)
{
    if (!searchPath)
        return;
    FreeSearchPath(searchPath);
    ListRemove(searchPath, SearchPathRegistry);
}

// The directory a new handle names, as formed from the caller's pieces; a
// path that would pass GamePathLimit is refused rather than cut.
static bool NamedDirectory(const char *path, const SearchPath *searchPath, char *joined)
{
    if (searchPath)
        return !IsAbsolutePath(path) &&
               JoinPath(joined, GamePathBufferSize, searchPath->path, path, nullptr);
    return IsAbsolutePath(path) && JoinPath(joined, GamePathBufferSize, path, nullptr, nullptr);
}

static void FreeHandle(DirectoryHandle *handle)
{
    ListDestroy(handle->searchPaths);
    FreeString(handle->path);
    PoolFree(handle, sizeof(DirectoryHandle));
}

DirectoryHandle *OpenDirectory(const char *path, SearchPath *searchPath)
{
    if (!path || !DirectoryRegistry)
        return nullptr;
    char joined[GamePathBufferSize];
    if (!NamedDirectory(path, searchPath, joined) || !DirectoryExists(joined))
        return nullptr;
    DirectoryHandle *handle = static_cast<DirectoryHandle *>(PoolAllocZeroed(sizeof(DirectoryHandle)));
    if (!handle)
        return nullptr;
    handle->path = CopyDirectoryPath(path);
    bool made = handle->path != nullptr;
    if (made && searchPath) {
        handle->searchPaths = ListCreate();
        made = handle->searchPaths && ListInsertBack(searchPath, handle->searchPaths);
    }
    if (!made || !ListInsertBack(handle, DirectoryRegistry)) {
        FreeHandle(handle);
        return nullptr;
    }
    return handle;
}

void CloseDirectory(DirectoryHandle *handle)
{
    if (!handle)
        return;
    FreeHandle(handle);
    ListRemove(handle, DirectoryRegistry);
}

bool FirstHandleFolder(const DirectoryHandle *handle, HandleFolder *folder)
{
    if (!handle->searchPaths) {
        *folder = {handle->path, "", nullptr, nullptr};
        return true;
    }
    *folder = {nullptr, handle->path, handle->searchPaths, handle->searchPaths};
    return NextHandleFolder(folder);
}

bool NextHandleFolder(HandleFolder *folder)
{
    if (!folder->list)
        return false;
    folder->node = folder->node->next;
    if (folder->node == folder->list)
        return false;
    folder->base = static_cast<const SearchPath *>(folder->node->payload)->path;
    return true;
}

const char *DirectoryPath(const DirectoryHandle *handle)
{
    return handle ? handle->path : nullptr;
}
