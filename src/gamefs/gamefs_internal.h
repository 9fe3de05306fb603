#pragma once

// What the files of the game file system share among themselves, and what
// its tests reach into. Callers outside the layer use the public headers
// (directory.h, file_system.h, game_file.h, text_line.h) only.

#include "core/list.h"
#include "fastfile/archive.h"
#include "gamefs/directory.h"
#include "gamefs/game_file.h"

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// --- Search paths and directories

// A registered absolute base directory.
struct SearchPath {
    char *path;  // full path, resolved when the search path was made, with its backslash
};

struct DirectoryHandle {
    // Absolute: the path as the caller gave it, not resolved. Relative: the
    // relative path as given. Either way with a backslash appended unless it
    // had one or is empty.
    char *path;
    List *searchPaths;  // null for an absolute handle; else the handle's own list of one
};

// A drive path ("X:...") or a network path ("\\server\share...").
bool IsAbsolutePath(const char *path);

// Changes into path and back; the current drive and directory are as they
// were afterwards, whatever the answer.
bool DirectoryExists(const char *path);

// Made only by FileSystemStartup, released only by FileSystemShutdown.
SearchPath *CreateSearchPath(const char *path);
void CloseSearchPath(SearchPath *searchPath);

// Every live object of the layer, in creation order; null while the layer
// is not running.
extern List *SearchPathRegistry;
extern List *DirectoryRegistry;
extern List *OpenFileRegistry;

// The search paths under the default handles: the program's own folder and
// the current directory at start-up.
extern SearchPath *ProgramSearchPath;
extern SearchPath *WorkingSearchPath;

// One folder that a handle names: a base (an absolute handle's own path, or
// one of a relative handle's search paths) and the handle's path below it
// ("" for an absolute handle). Walked in search order:
//   for (bool more = FirstHandleFolder(h, &f); more; more = NextHandleFolder(&f))
struct HandleFolder {
    const char *base;
    const char *relative;
    const List *list;      // the handle's search paths; null for an absolute handle
    const ListNode *node;  // the search path of this folder
};

// False for a relative handle without search paths.
bool FirstHandleFolder(const DirectoryHandle *handle, HandleFolder *folder);
// False after the last folder.
bool NextHandleFolder(HandleFolder *folder);

// --- Files

struct GameFile {
    FILE *stream;                // owned
    const FastFileEntry *entry;  // in a cached archive's directory; null for a loose file
    int binary;                  // 1: lines end with an explicit 13 before the 10
    // Bytes of the entry's data not yet read. An entry is read only through
    // ReadGameChar and ReadLine, which count them so that reading ends at the
    // entry's end whatever follows it in the archive.
    uint32_t entryLeft;
};

// For FileSystemShutdown: closes every open file and ends the registry.
void CloseAllGameFiles();

// The binary flag a file opened with mode gets: the first of the letters
// B, b, T, t decides; with none, the C runtime's default translation mode.
int BinaryFlagFromMode(const char *mode);

// True for a mode that opens for reading only: it creates, truncates,
// appends and updates nothing.
bool ModeOnlyReads(const char *mode);

// A zeroed record, not yet registered; null when the pool has none.
GameFile *NewGameFile();
// Releases a record that was never registered.
void FreeGameFile(GameFile *file);
// Puts an opened file in the registry of open files, with the binary flag
// of its mode; returns it. When the pool has no room for the registry's
// node, the stream is closed, the record released and the result null.
GameFile *RegisterGameFile(GameFile *file, const char *mode);

// --- Archives

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

// An archive is one pool block: the record, then its directory.
inline uint32_t ArchiveBlockSize(uint32_t directorySize)
{
    return sizeof(FastFileArchive) + directorySize;
}

// Every archive loaded so far, newest first; made on the first lookup and
// never released.
extern List *ArchiveCache;

// The cached archive at that path, loading it on first use. A missing or
// unacceptable file gives null and is looked for again next time.
FastFileArchive *GetArchive(const char *archivePath);

// Looks the name after the first folderLength characters of joinedPath up in
// the folder's archive; upper-cases joinedPath in place. On success file's
// stream is open on the archive, at the entry's data, and the count of its
// bytes is set. Only a mode that just reads finds anything.
const FastFileEntry *FindArchiveEntry(GameFile *file, size_t folderLength, char *joinedPath,
                                      const char *mode);

// OpenGameFile's fallback when a loose file does not open: a new, registered
// file on the entry of that name in the archive of the first folder of the
// handle that has one, or null; only for a mode that just reads.
GameFile *OpenArchiveEntry(DirectoryHandle *handle, const char *name, const char *mode);
