#pragma once

#include "core/list.h"
#include "gamefs/directory.h"

// Start and end of the game file system: the registries of search paths,
// directory handles and open files, and the two default search paths and
// directory handles. Startup comes before every other call of the layer;
// shutdown releases whatever is still registered.

int FileSystemStartup();
void FileSystemShutdown();

// Every live object of the layer, in creation order; null while the layer
// is not running.
extern List *SearchPathRegistry;
extern List *DirectoryRegistry;
extern List *OpenFileRegistry;

// The defaults that startup makes: the program's own folder and the current
// directory at startup, and an empty relative handle on each.
extern SearchPath *ProgramSearchPath;
extern SearchPath *WorkingSearchPath;
extern DirectoryHandle *ProgramDirectory;
extern DirectoryHandle *WorkingDirectory;
