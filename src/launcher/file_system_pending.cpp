// Stands in for the game file system's start and end until that layer lands.
#include "gamefs/file_system.h"

int FileSystemStartup()
{
    return 1;
}

void FileSystemShutdown()
{
}
