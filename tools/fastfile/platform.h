#pragma once

// The few file operations the tool needs beyond the C library.

#include <stdint.h>
#include <stdio.h>

#include <string>

// Makes a folder; an existing one is fine.
bool MakeFolder(const std::string &path);

// Sets size to that of a regular file, as the file system tells it, and
// gives null; for anything else (a folder, a device, a missing file) gives
// the reason.
const char *MeasureRegularFile(const std::string &path, uint64_t *size);

// A new file opened for writing, made only where no file, folder or link of
// that name exists yet (so none is ever followed); null with errno set.
FILE *CreateNewFile(const std::string &path);

// True when a link stands at path itself: a symbolic link, or on Windows
// any reparse point (a junction too). The link is never followed.
bool IsLink(const std::string &path);

// A file opened for writing at path that is never reached through what
// stands there: a regular file is truncated; a link or a special file (a
// pipe, a device node) is removed first, the link and never what it points
// to, and the file is made anew, as tar replaces them. A folder there is
// kept and fails with EISDIR. Null with errno set.
FILE *OpenEntryFile(const std::string &path);

// Moves from over to, replacing to if it exists.
bool MoveIntoPlace(const std::string &from, const std::string &to);

// A stored entry name (backslashes) as a path of this system, and back.
std::string NativePath(const std::string &name);
std::string EntryPathOf(const std::string &path);
