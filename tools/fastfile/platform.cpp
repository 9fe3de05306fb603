#include "platform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

std::string ErrnoText(int error)
{
    return strerror(error);
}

namespace {

#ifdef _WIN32
// The system's text for a Windows error code, without its closing period
// and line end, so that it reads like strerror's.
std::string Win32Text(DWORD error)
{
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                             sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.' || text[n - 1] == ' '))
        --n;
    if (n == 0)
        return "error " + std::to_string(error);
    return std::string(text, n);
}

bool FailWin32(std::string *why)
{
    *why = Win32Text(GetLastError());
    return false;
}
#endif

bool FailErrno(std::string *why, int error)
{
    *why = ErrnoText(error);
    return false;
}

#ifdef _WIN32
// Removes the link at path, never what it points to. A link to a folder is
// a folder to Windows and goes as one.
bool RemoveLink(const std::string &path, std::string *why)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool removed = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                       ? RemoveDirectoryA(path.c_str())
                       : DeleteFileA(path.c_str());
    return removed || FailWin32(why);
}
#endif

// The folder part of path, separator included; empty for a bare name.
std::string FolderOf(const std::string &path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool MakeNewFolder(const std::string &path, std::string *why)
{
#ifdef _WIN32
    return CreateDirectoryA(path.c_str(), nullptr) || FailWin32(why);
#else
    return mkdir(path.c_str(), 0777) == 0 || FailErrno(why, errno);
#endif
}

bool MakeFolder(const std::string &path, std::string *why)
{
    return MakeNewFolder(path, why) || IsFolderOrLinkToOne(path);
}

bool MakeFolders(const std::string &path, std::string *failed, std::string *why)
{
    // Each folder from the outermost one that is missing; a root or drive
    // prefix is never made.
    std::vector<std::string> missing;
    std::string at = path;
    while (!at.empty() && KindOf(at) == PathAbsent) {
        missing.push_back(at);
        std::string parent = FolderOf(at);
        while (!parent.empty() && (parent.back() == '/' || parent.back() == '\\'))
            parent.pop_back();
        at = parent;
    }
    if (missing.empty())
        missing.push_back(path);  // something stands there: is it a folder?
    for (size_t i = missing.size(); i-- > 0;) {
        if (!MakeFolder(missing[i], why)) {
            *failed = missing[i];
            return false;
        }
    }
    return true;
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

#ifndef _WIN32
namespace {

PathKind KindOfMode(mode_t mode)
{
    if (S_ISLNK(mode))
        return PathLink;
    if (S_ISDIR(mode))
        return PathFolder;
    return S_ISREG(mode) ? PathFile : PathSpecial;
}

// What stands at name in the open folder, as KindOf says, and the size of a
// file: the folder's own descriptor saves looking up its path again.
PathKind KindAt(int folder, const std::string &name, uint64_t *size)
{
    struct stat64 info;
    if (fstatat64(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return PathAbsent;
    *size = static_cast<uint64_t>(info.st_size);
    return KindOfMode(info.st_mode);
}

}  // namespace
#endif

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
    return KindOfMode(info.st_mode);
#endif
}

bool IsFolderOrLinkToOne(const std::string &path)
{
#ifdef _WIN32
    struct _stat64 info;
    return _stat64(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
#else
    struct stat64 info;
    return stat64(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool IdentityOf(const std::string &path, FileIdentity *identity)
{
#ifdef _WIN32
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (known)
        *identity = {information.dwVolumeSerialNumber,
                     uint64_t(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
    return known;
#else
    struct stat64 info;
    if (stat64(path.c_str(), &info) != 0)
        return false;
    *identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return true;
#endif
}

bool ListFolder(const std::string &path, std::vector<FolderItem> *items, std::string *why)
{
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return FailWin32(why);
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        PathKind kind = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? PathLink
                        : found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? PathFolder
                                                                             : PathFile;
        items->push_back({name, kind, uint64_t(found.nFileSizeHigh) << 32 | found.nFileSizeLow});
    } while (FindNextFileA(search, &found));
    DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        *why = Win32Text(error);
        return false;
    }
    return true;
#else
    DIR *folder = opendir(path.c_str());
    if (!folder)
        return FailErrno(why, errno);
    errno = 0;
    // readdir64: inode numbers above 32 bits would fail the 32-bit readdir.
    for (const struct dirent64 *item; (item = readdir64(folder)) != nullptr; errno = 0) {
        FolderItem found{item->d_name, PathSpecial, 0};
        if (found.name == "." || found.name == "..")
            continue;
        switch (item->d_type) {
        case DT_DIR: found.kind = PathFolder; break;
        case DT_LNK: found.kind = PathLink; break;
        case DT_REG:
        case DT_UNKNOWN: found.kind = KindAt(dirfd(folder), found.name, &found.size); break;
        default: break;
        }
        items->push_back(std::move(found));
    }
    int error = errno;
    closedir(folder);
    return error == 0 || FailErrno(why, error);
#endif
}

FileOpener::~FileOpener()
{
#ifndef _WIN32
    if (descriptor_ >= 0)
        close(descriptor_);
#endif
}

int FileOpener::Open(const std::string &folder, const std::string &name, std::string *why)
{
#ifdef _WIN32
    std::string path = folder.empty() ? name : folder + "/" + name;
    int file = _open(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    if (descriptor_ < 0 || folder != folder_) {
        if (descriptor_ >= 0)
            close(descriptor_);
        folder_ = folder;
        descriptor_ = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor_ < 0) {
            FailErrno(why, errno);
            return -1;
        }
    }
    // Never blocks on a pipe or a device that took a file's place: reading
    // it then gives what a file that changed gives.
    int file = openat(descriptor_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
#endif
    if (file < 0)
        FailErrno(why, errno);
    return file;
}

long ReadFrom(int file, void *buffer, size_t n)
{
#ifdef _WIN32
    return _read(file, buffer, static_cast<unsigned>(n));
#else
    return static_cast<long>(read(file, buffer, n));
#endif
}

void CloseFile(int file)
{
    close(file);
}

int OpenNewFile(const std::string &path, std::string *why)
{
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0)
        FailErrno(why, errno);
    return fd;
}

void RemoveFolder(const std::string &path)
{
#ifdef _WIN32
    RemoveDirectoryA(path.c_str());
#else
    rmdir(path.c_str());
#endif
}

bool WriteTo(int file, const void *bytes, size_t n)
{
    const char *at = static_cast<const char *>(bytes);
    while (n > 0) {
#ifdef _WIN32
        int wrote = _write(file, at, n < 0x40000000 ? static_cast<unsigned>(n) : 0x40000000u);
#else
        ssize_t wrote = write(file, at, n);
#endif
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            return false;
        }
        at += wrote;
        n -= static_cast<size_t>(wrote);
    }
    return true;
}

bool WriteAtStart(int file, const void *bytes, size_t n)
{
#ifdef _WIN32
    return _lseeki64(file, 0, SEEK_SET) == 0 && WriteTo(file, bytes, n);
#else
    return lseek(file, 0, SEEK_SET) == 0 && WriteTo(file, bytes, n);
#endif
}

bool CloseWritten(int file)
{
    return close(file) == 0;
}

bool PutInPlace(const std::string &from, const std::string &path, std::string *why)
{
#ifdef _WIN32
    // MoveFileEx would refuse a link to a folder and go through some others.
    switch (KindOf(path)) {
    case PathFolder:
        return FailErrno(why, EISDIR);
    case PathLink:
    case PathSpecial:
        if (!RemoveLink(path, why))
            return false;
        break;
    default:
        break;
    }
    return MoveFileExA(from.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0 || FailWin32(why);
#else
    // rename replaces a file, a link or a pipe itself and refuses a folder
    // (EISDIR), all in one step.
    return rename(from.c_str(), path.c_str()) == 0 || FailErrno(why, errno);
#endif
}

bool MoveFolderIntoPlace(const std::string &from, const std::string &to, std::string *why)
{
#ifdef _WIN32
    // Without MOVEFILE_REPLACE_EXISTING nothing standing at to is replaced.
    return MoveFileExA(from.c_str(), to.c_str(), 0) != 0 || FailWin32(why);
#else
#ifdef RENAME_NOREPLACE
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return FailErrno(why, errno);
#endif
    // Where the file system cannot be told not to replace, rename would
    // replace only an empty folder, and only one made since this look.
    if (KindOf(to) != PathAbsent)
        return FailErrno(why, EEXIST);
    return rename(from.c_str(), to.c_str()) == 0 || FailErrno(why, errno);
#endif
}

unsigned long ProcessId()
{
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(getpid());
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
