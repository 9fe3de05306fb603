#pragma once

// The few file operations the tool needs beyond the C library, in
// platform_posix.cpp and platform_windows.cpp. Each one that can fail gives
// the system's own reason in *why: strerror's text, or on Windows
// FormatMessage's for the calls that report through GetLastError.

#include <errno.h>
#include <stdint.h>
#include <stddef.h>

#include <string>
#include <vector>

// Makes a folder where nothing of that name stands yet; what stands there,
// a link too, is never followed.
bool MakeNewFolder(const std::string &path, std::string *why);

// Sets size to that of a regular file, as the file system tells it, and
// gives null; for anything else (a folder, a device, a missing file) gives
// the reason.
const char *MeasureRegularFile(const std::string &path, uint64_t *size);

enum PathKind { PathAbsent, PathFile, PathFolder, PathLink, PathSpecial };

// What stands at path itself, links not followed: a symbolic link, or on
// Windows any reparse point (a junction too), is PathLink. When the file
// system cannot say, it counts as absent: what follows then makes a file
// exclusively, or fails.
PathKind KindOf(const std::string &path);

inline bool IsLink(const std::string &path)
{
    return KindOf(path) == PathLink;
}

// True for a folder, or a link to one (which is followed).
bool IsFolderOrLinkToOne(const std::string &path);

// What tells one file from every other, whatever name it is reached by.
struct FileIdentity {
    uint64_t volume, file;

    bool operator==(const FileIdentity &other) const { return volume == other.volume && file == other.file; }
};

// The identity of the file at path (a link is followed); false when
// nothing can be opened there.
bool IdentityOf(const std::string &path, FileIdentity *identity);

struct FolderItem {
    std::string name;
    PathKind kind;
    uint64_t size;  // of a file
};

// What a folder holds, "." and ".." left out, in no particular order, links
// not followed, with the size of each file.
bool ListFolder(const std::string &path, std::vector<FolderItem> *items, std::string *why);

// Opens files for reading, one folder after another: on POSIX systems each
// file is opened through its folder's own descriptor (openat), which saves
// looking up the whole path again for every file of a folder.
class FileOpener {
public:
    FileOpener() = default;
    FileOpener(const FileOpener &) = delete;
    FileOpener &operator=(const FileOpener &) = delete;
    ~FileOpener();

    // The file name in folder (empty for the current one), found there as a
    // regular file of a known size, opened for reading: its descriptor, or
    // -1 with *why. It is not measured again: whatever has taken its place
    // since (another size, a folder, a pipe) shows when it is read.
    int Open(const std::string &folder, const std::string &name, std::string *why);

private:
    std::string folder_;
    int descriptor_ = -1;
};

// Reads up to n bytes; from a regular file fewer only at its end. -1 with
// errno set.
long ReadFrom(int file, void *buffer, size_t n);

void CloseFile(int file);

// A new file opened for writing, made only where no file, folder or link of
// that name exists yet (so none is ever followed): a descriptor of the
// system, written with WriteTo; -1 with *why.
int OpenNewFile(const std::string &path, std::string *why);

// Removes a folder if it is empty.
void RemoveFolder(const std::string &path);

// Writes up to n bytes, as write does: how many, or -1 with errno set.
long WriteSome(int file, const void *bytes, size_t n);

// Writes all n bytes; false with errno set.
inline bool WriteTo(int file, const void *bytes, size_t n)
{
    const char *at = static_cast<const char *>(bytes);
    while (n > 0) {
        long wrote = WriteSome(file, at, n);
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

// Writes all n bytes at the start of the file; false with errno set.
bool WriteAtStart(int file, const void *bytes, size_t n);

// Closes a file that was written; false with errno set when the system
// reports a failure of the writes only now.
bool CloseWritten(int file);

// Moves the file from over path. What stands at path is replaced itself
// and never written through: a regular file, a link (the link, not what it
// points to) or a special file such as a pipe. A folder there is kept, and
// the move fails.
bool PutInPlace(const std::string &from, const std::string &path, std::string *why);

// Moves the folder from to the place to, where nothing may stand: not even
// an empty folder there is replaced.
bool MoveFolderIntoPlace(const std::string &from, const std::string &to, std::string *why);

// This process's number, which names its temporary files.
unsigned long ProcessId();

// A stored entry name (backslashes) as a path of this system.
std::string NativePath(const std::string &name);
