#include "gamefs/gamefs_internal.h"

#include "core/pool.h"
#include "gamefs/path.h"

#include <string.h>

List *ArchiveCache;

static const char ArchiveName[] = "FASTFILE.DAT";

static FastFileArchive *FindCached(const char *archivePath)
{
    ListForEach(node, ArchiveCache) {
        FastFileArchive *archive = static_cast<FastFileArchive *>(node->payload);
        if (strcmp(archive->path, archivePath) == 0)
            return archive;
    }
    return nullptr;
}

// Reads and checks the archive's directory. Anything unacceptable counts as
// no archive in that folder, and nothing is remembered of it.
static FastFileArchive *LoadArchive(const char *archivePath)
{
    FILE *stream = fopen(archivePath, "rb");
    if (!stream)
        return nullptr;
    FastFileStart start;
    FastFileArchive *archive = nullptr;
    if (FastFileReadStart(stream, &start) == FastFileSound)
        archive = static_cast<FastFileArchive *>(PoolAlloc(ArchiveBlockSize(start.directorySize)));
    if (!archive) {
        fclose(stream);
        return nullptr;
    }
    archive->directory = reinterpret_cast<uint8_t *>(archive + 1);
    if (FastFileReadDirectory(stream, start, archive->directory) != FastFileSound ||
        !ListInsertFront(archive, ArchiveCache)) {
        PoolFree(archive, ArchiveBlockSize(start.directorySize));
        fclose(stream);
        return nullptr;
    }
    strcpy(archive->path, archivePath);
    archive->stream = stream;
    archive->fileSize = start.fileSize;
    return archive;
}

FastFileArchive *GetArchive(const char *archivePath)
{
    if (!archivePath || strlen(archivePath) > ArchivePathLimit)
        return nullptr;
    if (!ArchiveCache)
        ArchiveCache = ListCreate();
    if (!ArchiveCache)
        return nullptr;
    if (FastFileArchive *archive = FindCached(archivePath))
        return archive;
    return LoadArchive(archivePath);
}

const FastFileEntry *FindArchiveEntry(GameFile *file, size_t folderLength, char *joinedPath,
                                      const char *mode)
{
    // An archive is only ever read: a mode that would create, truncate,
    // append or update never reaches one.
    if (!file || !joinedPath || !ModeOnlyReads(mode))
        return nullptr;
    size_t length = strlen(joinedPath);
    if (folderLength > length || folderLength + strlen(ArchiveName) > ArchivePathLimit)
        return nullptr;
    FastFileUpperCase(joinedPath);
    char archivePath[ArchivePathLimit + 1];
    memcpy(archivePath, joinedPath, folderLength);
    strcpy(archivePath + folderLength, ArchiveName);

    // The archive is loaded, and cached, before the name is looked at.
    const FastFileArchive *archive = GetArchive(archivePath);
    if (!archive)
        return nullptr;
    const FastFileEntry *entry =
        FastFileFind(archive->directory, joinedPath + folderLength, length - folderLength);
    if (!entry || !FastFileEntryInside(entry, archive->fileSize))
        return nullptr;

    // A stream of its own, untranslated: the entry is a byte range of the
    // archive, and its end is counted in bytes.
    FILE *stream = fopen(archivePath, "rb");
    if (!stream)
        return nullptr;
    if (fseek(stream, static_cast<long>(entry->offset), SEEK_SET) != 0) {
        fclose(stream);
        return nullptr;
    }
    file->stream = stream;
    file->entryLeft = entry->size;
    return entry;
}

GameFile *OpenArchiveEntry(DirectoryHandle *handle, const char *name, const char *mode)
{
    if (!handle || !name)
        return nullptr;
    GameFile *file = NewGameFile();
    if (!file)
        return nullptr;
    HandleFolder folder;
    for (bool more = FirstHandleFolder(handle, &folder); more; more = NextHandleFolder(&folder)) {
        char joined[GamePathBufferSize];
        if (!JoinPath(joined, sizeof joined, folder.base, folder.relative, name))
            continue;
        size_t folderLength = strlen(folder.base) + strlen(folder.relative);
        file->entry = FindArchiveEntry(file, folderLength, joined, mode);
        if (file->entry)
            return RegisterGameFile(file, mode);
    }
    FreeGameFile(file);
    return nullptr;
}
