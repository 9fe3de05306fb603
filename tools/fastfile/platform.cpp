#include "platform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

bool MakeFolder(const std::string &path)
{
#ifdef _WIN32
    return _mkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

const char *MeasureRegularFile(const std::string &path, uint64_t *size)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0)
        return strerror(errno);
#else
    struct stat64 info;
    if (stat64(path.c_str(), &info) != 0)
        return strerror(errno);
#endif
    if ((info.st_mode & S_IFMT) != S_IFREG)
        return "not a regular file";
    *size = static_cast<uint64_t>(info.st_size);
    return nullptr;
}

FILE *CreateNewFile(const std::string &path)
{
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0)
        return nullptr;
    FILE *stream = fdopen(fd, "wb");
    if (!stream)
        close(fd);
    return stream;
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
