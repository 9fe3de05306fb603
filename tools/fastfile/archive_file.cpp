#include "archive_file.h"

#include "platform.h"

#include "fastfile/crc32.h"
#include "fastfile/names.h"

#include <errno.h>
#include <stdarg.h>
#include <string.h>

#include <algorithm>

static void SayTo(FILE *stream, const char *format, va_list arguments)
{
    fflush(stdout);  // what was printed before comes before
    fputs("fastfile: ", stream);
    vfprintf(stream, format, arguments);
    fputc('\n', stream);
}

void Say(ToolRun *run, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    SayTo(run->messages, format, arguments);
    va_end(arguments);
}

void Fail(ToolRun *run, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    SayTo(run->messages, format, arguments);
    va_end(arguments);
    run->status = 1;
}

ArchiveFile::~ArchiveFile()
{
    if (stream)
        fclose(stream);
}

bool ArchiveFile::HasChecksums() const
{
    return (FastFileReadHeader(Directory()).flags & FastFileFlagChecksums) != 0;
}

bool OpenArchiveFile(ToolRun *run, ArchiveFile *archive)
{
    const std::string &path = run->archive;
    // Some systems open a folder as a stream that no read gets a byte from.
    if (IsFolderOrLinkToOne(path)) {
        Fail(run, "%s: a folder, not an archive", Printable(path).c_str());
        return false;
    }
    archive->stream = fopen(path.c_str(), "rb");
    if (!archive->stream) {
        Fail(run, "cannot open %s: %s", Printable(path).c_str(), strerror(errno));
        return false;
    }
    archive->fault = FastFileReadStart(archive->stream, &archive->start);
    if (archive->fault == FastFileSound) {
        archive->directory.resize(archive->start.directorySize);
        archive->fault = FastFileReadDirectory(archive->stream, archive->start, archive->directory.data());
    }
    return true;
}

bool LoadArchive(ToolRun *run, ArchiveFile *archive)
{
    if (!OpenArchiveFile(run, archive))
        return false;
    if (archive->fault != FastFileSound) {
        Fail(run, "%s: %s", Printable(run->archive).c_str(), FaultText(archive->fault, *archive).c_str());
        return false;
    }
    return true;
}

std::vector<const FastFileEntry *> Records(const ArchiveFile &archive)
{
    uint32_t count;
    const FastFileEntry *first = FastFileSearchedRecords(archive.Directory(), &count);
    std::vector<const FastFileEntry *> records;
    records.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        records.push_back(first + i);
    return records;
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
               std::to_string(archive.start.fileSize) + " bytes): the archive is cut off";
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

std::string PastEndText(const FastFileEntry &entry, const ArchiveFile &archive)
{
    return "has data (offset " + std::to_string(entry.offset) + ", size " + std::to_string(entry.size) +
           ") that run past the end of the file (" + std::to_string(archive.start.fileSize) + " bytes)";
}

void SayCutOff(ToolRun *run, const ArchiveFile &archive, const FastFileEntry &entry, unsigned *count)
{
    if ((*count)++ == 0)
        Fail(run, "%s: the entry %s %s: the archive is cut off", Printable(run->archive).c_str(),
             NameText(entry).c_str(), PastEndText(entry, archive).c_str());
}

void SayCutOffCount(ToolRun *run, unsigned count)
{
    if (count > 1)
        Say(run, "%s: %u more entries run past the end of the file too", Printable(run->archive).c_str(), count - 1);
}

static bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string RelativeName(std::string file)
{
    while (file.size() >= 2 && file[0] == '.' && IsSeparator(file[1])) {
        size_t rest = 2;
        while (rest < file.size() && IsSeparator(file[rest]))
            ++rest;
        file.erase(0, rest);
    }
    if (file == ".")
        file.clear();
    while (file.size() > 1 && IsSeparator(file.back()))
        file.pop_back();
    return file;
}

std::string EntryPathOf(const std::string &path)
{
    std::string name = path;
    for (char &c : name)
        c = c == '/' ? '\\' : c;
    return name;
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

// Stored names compared as strings: up to the first NUL, 12 bytes at most.
// Done here rather than by strncmp, whose call costs more than the few
// bytes that names share.
static int CompareNames(const char *a, const char *b)
{
    for (size_t i = 0; i < FastFileNameSize; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            break;
    }
    return 0;
}

static bool NameBefore(const FastFileEntry *a, const FastFileEntry *b)
{
    return CompareNames(a->name, b->name) < 0;
}

EntryIndex IndexEntries(const std::vector<const FastFileEntry *> &records)
{
    EntryIndex index{records, {}};
    std::vector<const FastFileEntry *> &sorted = index.sorted;
    // Stable: of equal names, the first in the table stays first. An
    // archive that create made is in order already.
    if (!std::is_sorted(sorted.begin(), sorted.end(), NameBefore))
        std::stable_sort(sorted.begin(), sorted.end(), NameBefore);
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (!sorted[i]->name[0] || (i > 0 && !NameBefore(sorted[i - 1], sorted[i])))
            index.hidden.push_back(sorted[i]);
    }
    std::sort(index.hidden.begin(), index.hidden.end());
    return index;
}

// The first record whose name is the stored name given (at most 12 bytes,
// ending at the first NUL), if any.
static const FastFileEntry *FirstNamed(const EntryIndex &index, const char *name)
{
    if (!name[0])
        return nullptr;
    auto before = [](const FastFileEntry *item, const char *key) { return CompareNames(item->name, key) < 0; };
    auto found = std::lower_bound(index.sorted.begin(), index.sorted.end(), name, before);
    return found != index.sorted.end() && CompareNames((*found)->name, name) == 0 ? *found : nullptr;
}

const FastFileEntry *FindEntry(const EntryIndex &index, const std::string &name)
{
    return name.size() > FastFileNameSize ? nullptr : FirstNamed(index, name.c_str());
}

const FastFileEntry *ReachedEntry(const EntryIndex &index, const FastFileEntry &entry)
{
    return std::binary_search(index.hidden.begin(), index.hidden.end(), &entry) ? FirstNamed(index, entry.name)
                                                                                 : &entry;
}

CopyOutcome CopyEntry(ArchiveFile *archive, const FastFileEntry &entry, int out)
{
    CopyOutcome outcome{CopyOutcome::Done, 0, 0};
    // Entries follow each other with an end marker between them: the stream
    // is read on over the marker rather than sought, which costs a call of
    // the system each time.
    const long offset = static_cast<long>(entry.offset);
    if (archive->position >= 0 && offset == archive->position + 1 && getc(archive->stream) != EOF)
        archive->position = offset;
    if (archive->position != offset && fseek(archive->stream, offset, SEEK_SET) != 0) {
        archive->position = -1;
        return {CopyOutcome::ReadFailed, errno, 0};
    }
    archive->position = -1;
    static char buffer[1 << 18];
    for (uint32_t left = entry.size; left > 0;) {
        size_t n = left < sizeof buffer ? left : sizeof buffer;
        size_t got = fread(buffer, 1, n, archive->stream);
        if (got != n)
            return {ferror(archive->stream) ? CopyOutcome::ReadFailed : CopyOutcome::CutOff, errno, 0};
        if (out >= 0 && !WriteTo(out, buffer, n))
            return {CopyOutcome::WriteFailed, errno, 0};
        outcome.checksum = FastFileCrc32(outcome.checksum, buffer, n);
        left -= static_cast<uint32_t>(n);
    }
    archive->position = offset + static_cast<long>(entry.size);
    return outcome;
}
