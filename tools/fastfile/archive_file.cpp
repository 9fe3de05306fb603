#include "archive_file.h"

#include <errno.h>
#include <string.h>

ArchiveFile::~ArchiveFile()
{
    if (stream)
        fclose(stream);
}

bool OpenArchiveFile(const char *path, ArchiveFile *archive)
{
    archive->stream = fopen(path, "rb");
    if (!archive->stream) {
        fprintf(stderr, "fastfile: cannot open %s: %s\n", path, strerror(errno));
        return false;
    }
    archive->fault = FastFileReadStart(archive->stream, &archive->start);
    if (archive->fault == FastFileSound) {
        archive->directory.resize(archive->start.directorySize);
        archive->fault = FastFileReadDirectory(archive->stream, archive->start, archive->directory.data());
    }
    return true;
}

std::string FaultText(FastFileFault fault, const ArchiveFile &archive)
{
    const uint32_t size = archive.start.directorySize;
    switch (fault) {
    case FastFileSound:
        return "sound";
    case FastFileTooShort:
        return "shorter than the 16 bytes that begin an archive";
    case FastFileWrongMagic:
        return "does not begin with FASTF101";
    case FastFileFlagged:
        return "bit 0 of the flags is set";
    case FastFileDirectoryTooSmall:
        return "directory size " + std::to_string(size) + " is below the 28-byte header";
    case FastFileDirectoryTooLarge:
        return "directory size " + std::to_string(size) + " is above the limit of " +
               std::to_string(FastFileDirectoryLimit) + " bytes";
    case FastFileDirectoryPastEnd:
        return "directory size " + std::to_string(size) + " is beyond the end of the file (" +
               std::to_string(archive.start.fileSize) + " bytes)";
    case FastFileRecordsOutside:
        return "the searched records do not lie inside the directory of " + std::to_string(size) + " bytes";
    case FastFileUnreadable:
        return "cannot be read or measured (an archive must be below 2 GiB)";
    }
    return "unknown fault";
}

std::string StoredName(const FastFileEntry &entry)
{
    return std::string(entry.name, strnlen(entry.name, FastFileNameSize));
}

std::string NameText(const FastFileEntry &entry)
{
    std::string text;
    for (unsigned char c : StoredName(entry)) {
        if (c >= 32 && c < 127) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        }
    }
    return text.empty() ? "(empty)" : text;
}

bool CopyEntry(const ArchiveFile &archive, const FastFileEntry &entry, FILE *out)
{
    if (!FastFileEntryInside(&entry, archive.start.fileSize) ||
        fseek(archive.stream, static_cast<long>(entry.offset), SEEK_SET) != 0)
        return false;
    char buffer[65536];
    for (uint32_t left = entry.size; left > 0;) {
        size_t n = left < sizeof buffer ? left : sizeof buffer;
        if (fread(buffer, 1, n, archive.stream) != n || fwrite(buffer, 1, n, out) != n)
            return false;
        left -= static_cast<uint32_t>(n);
    }
    return true;
}
