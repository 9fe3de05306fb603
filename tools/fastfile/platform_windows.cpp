// The file operations of platform.h on Windows. The calls that report
// through GetLastError give FormatMessage's text; the C runtime's give
// strerror's.

#include "platform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

bool FailErrno(std::string *why, int error)
{
    *why = strerror(error);
    return false;
}

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

}  // namespace

bool MakeNewFolder(const std::string &path, std::string *why)
{
    return CreateDirectoryA(path.c_str(), nullptr) || FailWin32(why);
}

const char *MeasureRegularFile(const std::string &path, uint64_t *size)
{
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0)
        return strerror(errno);
    if ((info.st_mode & S_IFMT) != S_IFREG)
        return "not a regular file";
    *size = static_cast<uint64_t>(info.st_size);
    return nullptr;
}

PathKind KindOf(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathAbsent;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return PathLink;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathFolder : PathFile;
}

bool IsFolderOrLinkToOne(const std::string &path)
{
    struct _stat64 info;
    return _stat64(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

bool IdentityOf(const std::string &path, FileIdentity *identity)
{
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
}

bool ListFolder(const std::string &path, std::vector<FolderItem> *items, std::string *why)
{
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
}

// Each file is opened by its whole path: Windows has no openat.
FileOpener::~FileOpener() = default;

int FileOpener::Open(const std::string &folder, const std::string &name, std::string *why)
{
    std::string path = folder.empty() ? name : folder + "/" + name;
    int file = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    if (file < 0)
        FailErrno(why, errno);
    return file;
}

long ReadFrom(int file, void *buffer, size_t n)
{
    return _read(file, buffer, static_cast<unsigned>(n));
}

void CloseFile(int file)
{
    _close(file);
}

int OpenNewFile(const std::string &path, std::string *why)
{
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        FailErrno(why, errno);
    return fd;
}

void RemoveFolder(const std::string &path)
{
    RemoveDirectoryA(path.c_str());
}

long WriteSome(int file, const void *bytes, size_t n)
{
    // _write counts what it wrote in an int: 1 GiB at a time.
    return _write(file, bytes, n < 0x40000000 ? static_cast<unsigned>(n) : 0x40000000u);
}

bool WriteAtStart(int file, const void *bytes, size_t n)
{
    return _lseeki64(file, 0, SEEK_SET) == 0 && WriteTo(file, bytes, n);
}

bool CloseWritten(int file)
{
    return _close(file) == 0;
}

bool PutInPlace(const std::string &from, const std::string &path, std::string *why)
{
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
}

bool MoveFolderIntoPlace(const std::string &from, const std::string &to, std::string *why)
{
    // Without MOVEFILE_REPLACE_EXISTING nothing standing at to is replaced.
    return MoveFileExA(from.c_str(), to.c_str(), 0) != 0 || FailWin32(why);
}

unsigned long ProcessId()
{
    return static_cast<unsigned long>(_getpid());
}

std::string NativePath(const std::string &name)
{
    return name;  // Windows takes the backslashes as they are
}
