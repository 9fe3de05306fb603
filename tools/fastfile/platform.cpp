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

namespace {

enum PathKind { PathAbsent, PathFile, PathFolder, PathLink, PathSpecial };

// What stands at path itself. When the file system cannot say, it counts as
// absent: what follows then makes a file exclusively, or fails.
PathKind KindOf(const std::string &path)
{
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathAbsent;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return PathLink;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathFolder : PathFile;
#else
    struct stat64 info;
    if (lstat64(path.c_str(), &info) != 0)
        return PathAbsent;
    if (S_ISLNK(info.st_mode))
        return PathLink;
    if (S_ISDIR(info.st_mode))
        return PathFolder;
    return S_ISREG(info.st_mode) ? PathFile : PathSpecial;
#endif
}

// Removes the link or special file at path, never what a link points to. A
// link to a folder is a folder to Windows and goes as one (_rmdir is
// RemoveDirectoryA and _unlink DeleteFileA, with errno set).
bool RemoveLink(const std::string &path)
{
#ifdef _WIN32
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return _rmdir(path.c_str()) == 0;
    return _unlink(path.c_str()) == 0;
#else
    return unlink(path.c_str()) == 0;
#endif
}

}  // namespace

bool IsLink(const std::string &path)
{
    return KindOf(path) == PathLink;
}

FILE *OpenEntryFile(const std::string &path)
{
    switch (KindOf(path)) {
    case PathAbsent:
        break;
    case PathFile:
        return fopen(path.c_str(), "wb");
    case PathFolder:
        errno = EISDIR;
        return nullptr;
    case PathLink:
    case PathSpecial:
        if (!RemoveLink(path))
            return nullptr;
        break;
    }
    return CreateNewFile(path);
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
