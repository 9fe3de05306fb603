// An open file's record: made, registered and closed here, for loose files
// and archive entries alike; and what an open mode asks for.

#include "gamefs/gamefs_internal.h"

#include "core/pool.h"
#include "gamefs/crt.h"

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

GameFile *NewGameFile()
{
    return static_cast<GameFile *>(PoolAllocZeroed(sizeof(GameFile)));
}

void FreeGameFile(GameFile *file)
{
    PoolFree(file, sizeof(GameFile));
}

GameFile *RegisterGameFile(GameFile *file, const char *mode)
{
    // Unregistered, it would escape FileSystemShutdown.
    if (!ListInsertBack(file, OpenFileRegistry)) {
        fclose(file->stream);
        FreeGameFile(file);
        return nullptr;
    }
    file->binary = BinaryFlagFromMode(mode);
    return file;
}

int CloseGameFile(GameFile *file)
{
    if (!file)
        return 0;
    FILE *stream = file->stream;
    ListRemove(file, OpenFileRegistry);
    FreeGameFile(file);
    return stream && fclose(stream) == 0;
}
