// Opening a game file: in each folder that the handle names, the loose
// file first, then, for a mode that only reads, the entry of that folder's
// archive. Everything below is reached from OpenGameFile.

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

// The handles of the layer carry one search path each, so each folder is
// tried whole, loose file and archive, before the next.
GameFile *OpenGameFile(DirectoryHandle *handle, const char *name, const char *mode)
{
    if (!handle || !name || !mode || !OpenFileRegistry)
        return nullptr;
    // From here on, modes without "b" or "t" open untranslated streams.
    _fmode = _O_BINARY;
    GameFile *file = NewGameFile();
    if (!file)
        return nullptr;
    // A mode that writes never reaches an archive.
    const bool reads = ModeOnlyReads(mode);
    HandleFolder folder;
    for (bool more = FirstHandleFolder(handle, &folder); more; more = NextHandleFolder(&folder)) {
        file->stream = OpenLooseFile(folder, name, mode);
        if (file->stream || (reads && OpenEntryInFolder(file, folder, name)))
            return RegisterGameFile(file, mode);
    }
    FreeGameFile(file);
    return nullptr;
}
