#pragma once

#include "gamefs/directory.h"

// Start and end of the game file system. Startup comes before every other
// call of the layer; shutdown releases every search path, directory handle
// and open file still registered, and none of the layer's calls may follow
// it.

int FileSystemStartup();
void FileSystemShutdown();

// The default handles that startup makes: the program's own folder and the
// current directory at start-up; null where they could not be made.
extern DirectoryHandle *ProgramDirectory;
extern DirectoryHandle *WorkingDirectory;
