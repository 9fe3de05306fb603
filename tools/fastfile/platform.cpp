#include "platform.h"

#include <errno.h>
#include <stdio.h>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

bool MakeFolder(const std::string &path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

bool MoveIntoPlace(const std::string &from, const std::string &to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string NativePath(const std::string &name)
{
    std::string path = name;
#ifndef _WIN32
    for (char &c : path)
        c = c == '\\' ? '/' : c;
#endif
    return path;
}

std::string EntryPathOf(const std::string &path)
{
    std::string name = path;
    for (char &c : name)
        c = c == '/' ? '\\' : c;
    return name;
}
