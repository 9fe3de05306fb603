#include "gamefs/game_file.h"

#include "core/pool.h"
#include "gamefs/crt.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/path.h"

#include <string.h>

int BinaryFlagFromMode(const char *mode)
{
    const char *letter = mode ? strpbrk(mode, "BbTt") : nullptr;
    if (letter)
        return *letter == 'B' || *letter == 'b';
    return (_fmode & _O_BINARY) != 0;
}

bool ModeOnlyReads(const char *mode)
{
    return mode && mode[0] == 'r' && !strpbrk(mode, "wa+");
}

// Opens the loose file folder + relative + name by its full path (which
// also drops "." and ".." components). A path too long to form or to
// resolve counts as a file that does not open.
static FILE *OpenLooseFile(const char *folder, const char *relative, const char *name,
                           const char *mode)
{
    char joined[GamePathBufferSize];
    char full[GamePathBufferSize];
    if (!JoinPath(joined, sizeof joined, folder, relative, name) ||
        !_fullpath(full, joined, sizeof full))
        return nullptr;
    return fopen(full, mode);
}

static GameFile *RegisterFile(GameFile *file, const char *mode)
{
    ListInsertBack(file, OpenFileRegistry);
    file->binary = BinaryFlagFromMode(mode);
    return file;
}

// The archive is consulted only when the loose file does not open, and only
// for reading: a mode that writes never reaches it.
static GameFile *ArchiveFallback(DirectoryHandle *handle, const char *name, const char *mode)
{
    return ModeOnlyReads(mode) ? OpenArchiveEntry(handle, name, mode) : nullptr;
}

GameFile *OpenGameFile(DirectoryHandle *handle, const char *name, const char *mode)
{
    if (!handle || !name || !mode || !OpenFileRegistry)
        return nullptr;
    // From here on, modes without "b" or "t" open untranslated streams.
    _fmode = _O_BINARY;
    GameFile *file = static_cast<GameFile *>(PoolAllocZeroed(sizeof(GameFile)));
    if (!file)
        return nullptr;

    if (!handle->searchPaths) {
        file->stream = OpenLooseFile(handle->path, nullptr, name, mode);
        if (file->stream)
            return RegisterFile(file, mode);
        PoolFree(file, sizeof(GameFile));
        return ArchiveFallback(handle, name, mode);
    }
    // Each search path in turn: its loose file, then the archives (under
    // every search path of the handle).
    ListForEach(node, handle->searchPaths) {
        const SearchPath *searchPath = static_cast<const SearchPath *>(node->payload);
        file->stream = OpenLooseFile(searchPath->path, handle->path, name, mode);
        if (file->stream)
            return RegisterFile(file, mode);
        if (GameFile *entry = ArchiveFallback(handle, name, mode)) {
            PoolFree(file, sizeof(GameFile));
            return entry;
        }
    }
    PoolFree(file, sizeof(GameFile));
    return nullptr;
}

int CloseGameFile(GameFile *file)
{
    if (!file)
        return 0;
    FILE *stream = file->stream;
    ListRemove(file, OpenFileRegistry);
    PoolFree(file, sizeof(GameFile));
    return stream && fclose(stream) == 0;
}

void CloseAllGameFiles()
{
    while (!ListIsEmpty(OpenFileRegistry))
        CloseGameFile(static_cast<GameFile *>(OpenFileRegistry->next->payload));
    ListDestroy(OpenFileRegistry);
    OpenFileRegistry = nullptr;
}
