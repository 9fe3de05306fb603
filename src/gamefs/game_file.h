#pragma once

#include "gamefs/archive.h"

#include <stdint.h>
#include <stdio.h>

// An open file of the game file system: a loose file, or an entry of a
// fast-file archive read through a stream of its own on the archive file.
// Declared without the platform so that the line reader builds anywhere.

struct DirectoryHandle;

struct GameFile {
    FILE *stream;                // owned
    const FastFileEntry *entry;  // in a cached archive's directory; null for a loose file
    int binary;                  // 1: lines end with an explicit 13 before the 10
    // Bytes of the entry's data not yet read. An entry is read only through
    // ReadGameChar and ReadLine, which count them so that reading ends at the
    // entry's end whatever follows it in the archive.
    uint32_t entryLeft;
};

// Opens name (which may hold subfolders) in the handle's directory: the loose
// file first, then the entry of that folder's "FASTFILE.DAT". Only a mode
// that just reads ("r", "rb", "rt") falls back to the archive.
GameFile *OpenGameFile(DirectoryHandle *handle, const char *name, const char *mode);

// 1 when the stream closed without error; the file is released either way.
int CloseGameFile(GameFile *file);
