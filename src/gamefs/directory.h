#pragma once

#include "core/list.h"

// <windows.h> makes SearchPath a macro for SearchPathA. Files that include
// it first would otherwise declare these operations on a record of another
// name; files that include it afterwards must not name the record again.
#undef SearchPath

// Search paths and directory handles: how the game file system names
// directories. Directory paths kept here end with a backslash, except the
// empty relative path.

// A registered absolute base directory.
struct SearchPath {
    char *path;  // full path, resolved when the search path was made
};

// A directory named absolutely, or relative to one search path.
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

SearchPath *CreateSearchPath(const char *path);
void CloseSearchPath(SearchPath *searchPath);

// With no search path the path must be absolute, with one it must be
// relative; the directory named must exist.
DirectoryHandle *OpenDirectory(const char *path, SearchPath *searchPath);
void CloseDirectory(DirectoryHandle *handle);
