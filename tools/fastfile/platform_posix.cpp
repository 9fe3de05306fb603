// The file operations of platform.h on POSIX systems (Linux, where the
// tool is built and tested).

#include "platform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool FailErrno(std::string *why, int error)
{
    *why = strerror(error);
    return false;
}

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

bool MakeNewFolder(const std::string &path, std::string *why)
{
    return mkdir(path.c_str(), 0777) == 0 || FailErrno(why, errno);
}

const char *MeasureRegularFile(const std::string &path, uint64_t *size)
{
    struct stat64 info;
    if (stat64(path.c_str(), &info) != 0)
        return strerror(errno);
    if (!S_ISREG(info.st_mode))
        return "not a regular file";
    *size = static_cast<uint64_t>(info.st_size);
    return nullptr;
}

PathKind KindOf(const std::string &path)
{
    struct stat64 info;
    if (lstat64(path.c_str(), &info) != 0)
        return PathAbsent;
    return KindOfMode(info.st_mode);
}

bool IsFolderOrLinkToOne(const std::string &path)
{
    struct stat64 info;
    return stat64(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IdentityOf(const std::string &path, FileIdentity *identity)
{
    struct stat64 info;
    if (stat64(path.c_str(), &info) != 0)
        return false;
    *identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return true;
}

bool ListFolder(const std::string &path, std::vector<FolderItem> *items, std::string *why)
{
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
}

FileOpener::~FileOpener()
{
    if (descriptor_ >= 0)
        close(descriptor_);
}

int FileOpener::Open(const std::string &folder, const std::string &name, std::string *why)
{
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
    if (file < 0)
        FailErrno(why, errno);
    return file;
}

long ReadFrom(int file, void *buffer, size_t n)
{
    return static_cast<long>(read(file, buffer, n));
}

void CloseFile(int file)
{
    close(file);
}

int OpenNewFile(const std::string &path, std::string *why)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        FailErrno(why, errno);
    return fd;
}

void RemoveFolder(const std::string &path)
{
    rmdir(path.c_str());
}

long WriteSome(int file, const void *bytes, size_t n)
{
    return static_cast<long>(write(file, bytes, n));
}

bool WriteAtStart(int file, const void *bytes, size_t n)
{
    return lseek(file, 0, SEEK_SET) == 0 && WriteTo(file, bytes, n);
}

bool CloseWritten(int file)
{
    return close(file) == 0;
}

bool PutInPlace(const std::string &from, const std::string &path, std::string *why)
{
    // rename replaces a file, a link or a pipe itself and refuses a folder
    // (EISDIR), all in one step.
    return rename(from.c_str(), path.c_str()) == 0 || FailErrno(why, errno);
}

bool MoveFolderIntoPlace(const std::string &from, const std::string &to, std::string *why)
{
#ifdef RENAME_NOREPLACE  // glibc 2.28 and later
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
}

unsigned long ProcessId()
{
    return static_cast<unsigned long>(getpid());
}

std::string NativePath(const std::string &name)
{
    std::string path = name;
    for (char &c : path)
        c = c == '\\' ? '/' : c;
    return path;
}
