#include "archive_file.h"

#include "gamefs/archive_writer.h"

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

std::string Printable(const std::string &text)
{
    std::string printable;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127) {
            printable += static_cast<char>(c);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02x", c);
            printable += escaped;
        }
    }
    return printable;
}

std::string NameText(const FastFileEntry &entry)
{
    std::string text = Printable(StoredName(entry));
    return text.empty() ? "(empty)" : text;
}

std::vector<std::string> NameFaultTexts(unsigned faults)
{
    static const struct {
        unsigned fault;
        const char *text;
    } rules[] = {
        {FastFileNameEmpty, "is empty, which no lookup finds"},
        {FastFileNameTooLong, "is longer than 12 characters"},
        {FastFileNameLowerCase, "has lower-case letters, which lookups never find"},
        {FastFileNameOutside, "reaches outside the archive's folder"},
        {FastFileNameControl, "has control characters"},
        {FastFileNameDevice, "names a Windows device"},
        {FastFileNameUnkept, "has a character or an ending that Windows does not keep in a name"},
    };
    std::vector<std::string> texts;
    for (const auto &rule : rules) {
        if (faults & rule.fault)
            texts.push_back(rule.text);
    }
    return texts;
}

std::string NameFaultText(unsigned faults)
{
    std::string joined;
    for (const std::string &text : NameFaultTexts(faults))
        joined += (joined.empty() ? "" : " and ") + text;
    return joined;
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
