#pragma once

#include "core/list.h"

// <windows.h> makes SearchPath a macro for SearchPathA, which would rename
// the record below. It is included here first, so that its include guard
// keeps a later #include from defining the macro again, whatever the order.
#ifdef _WIN32
#include <windows.h>
#endif
#undef SearchPath

// Search paths and directory handles: how the game file system names
// directories. Directory paths kept here end with a backslash, except the
// empty relative path.

// A registered absolute base directory; only the layer itself makes them.
struct SearchPath;

// A directory named absolutely, or relative to one search path.
struct DirectoryHandle;

// With no search path the path must be absolute, with one it must be
// relative; the directory named must exist.
DirectoryHandle *OpenDirectory(const char *path, SearchPath *searchPath);
void CloseDirectory(DirectoryHandle *handle);

// The handle's path: for an absolute handle the path as the caller gave it,
// not resolved, for a relative one the relative path; either way with a
// backslash appended unless it had one or is empty.
const char *DirectoryPath(const DirectoryHandle *handle);
