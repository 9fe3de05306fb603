#pragma once

// An open file of the game file system: a loose file, or an entry of a
// fast-file archive read through a stream of its own on the archive file.

struct DirectoryHandle;
struct GameFile;

// Opens name (which may hold subfolders) in the handle's directory: the loose
// file first, then the entry of that folder's "FASTFILE.DAT". Only a mode
// that just reads ("r", "rb", "rt") falls back to the archive.
GameFile *OpenGameFile(DirectoryHandle *handle, const char *name, const char *mode);

// 1 when the stream closed without error; the file is released either way.
int CloseGameFile(GameFile *file);
