#pragma once

// Start and end of the game file system: the registries of search paths,
// directory handles and open files, and the two default search paths and
// directory handles. Startup comes before every other call of the layer;
// shutdown releases whatever is still registered.

int FileSystemStartup();
void FileSystemShutdown();
