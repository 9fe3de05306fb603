// Opening a game file: the loose file, else the archive fallback of
// archive_cache.cpp.

#include "gamefs/game_file.h"

#include "gamefs/crt.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/path.h"

// Opens the loose file of the folder by its full path (which also drops "."
// and ".." components). A path too long to form or to resolve counts as a
// file that does not open.
static FILE *OpenLooseFile(const HandleFolder &folder, const char *name, const char *mode)
{
    char joined[GamePathBufferSize];
    char full[GamePathBufferSize];
    if (!JoinPath(joined, sizeof joined, folder.base, folder.relative, name) ||
        !_fullpath(full, joined, sizeof full))
        return nullptr;
    return fopen(full, mode);
}

// In each folder of the handle the loose file wins; when it does not open,
// the archive fallback looks in the archives of all the handle's folders.
// The handles of the layer carry one search path each, so the order is:
// loose file, then archive entry.
GameFile *OpenGameFile(DirectoryHandle *handle, const char *name, const char *mode)
{
    if (!handle || !name || !mode || !OpenFileRegistry)
        return nullptr;
    // From here on, modes without "b" or "t" open untranslated streams.
    _fmode = _O_BINARY;
    HandleFolder folder;
    for (bool more = FirstHandleFolder(handle, &folder); more; more = NextHandleFolder(&folder)) {
        // The record before the stream: a mode that writes has truncated
        // the file once it is open.
        GameFile *file = NewGameFile();
        if (!file)
            return nullptr;
        file->stream = OpenLooseFile(folder, name, mode);
        if (file->stream)
            return RegisterGameFile(file, mode);
        FreeGameFile(file);
        if (GameFile *entry = OpenArchiveEntry(handle, name, mode))
            return entry;
    }
    return nullptr;
}
