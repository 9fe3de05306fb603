#pragma once

#include "core/list.h"
#include "gamefs/archive.h"

#include <stdio.h>

struct DirectoryHandle;
struct GameFile;

// The archives of the file layer: each folder's "FASTFILE.DAT", loaded on
// the first lookup in that folder and kept, directory in memory and stream
// open, for the life of the process.

enum : size_t {
    ArchivePathLimit = 273,  // a folder path of 260 characters and "FASTFILE.DAT"
};

struct FastFileArchive {
    char path[ArchivePathLimit + 1];  // as looked up, byte for byte: the cache key
    FILE *stream;                     // opened "rb"; used only to load the directory
    uint8_t *directory;               // the first directorySize bytes, in the same block
    uint32_t fileSize;                // at load; entries must end inside it
};

// Every archive loaded so far, newest first; made on the first lookup and
// never released.
extern List *ArchiveCache;

// The cached archive at that path, loading it on first use. A missing or
// unacceptable file gives null and is looked for again next time.
FastFileArchive *GetArchive(const char *archivePath);

// Looks the name after the first folderLength characters of joinedPath up in
// the folder's archive; upper-cases joinedPath in place. On success file's
// stream is open on the archive, at the entry's data.
const FastFileEntry *FindArchiveEntry(GameFile *file, size_t folderLength, char *joinedPath,
                                      const char *mode);

// The fallback of OpenGameFile: a new, registered file on the entry of that
// name in the archive of the handle's directory, or null.
GameFile *OpenArchiveEntry(DirectoryHandle *handle, const char *name, const char *mode);
