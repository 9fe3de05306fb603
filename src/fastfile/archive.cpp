#include "fastfile/archive.h"

#include <string.h>

// Entry records are read in place, so the table's layout must be the file's.
static_assert(sizeof(FastFileEntry) == FastFileRecordSize, "entry record layout");
static_assert(offsetof(FastFileEntry, offset) == 12 && offsetof(FastFileEntry, size) == 16,
              "entry record layout");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are read in place");

const char FastFileMagic[8] = {'F', 'A', 'S', 'T', 'F', '1', '0', '1'};

static uint32_t Load32(const uint8_t *bytes)
{
    uint32_t value;
    memcpy(&value, bytes, sizeof value);
    return value;
}

FastFileHeader FastFileReadHeader(const uint8_t *directory)
{
    FastFileHeader header;
    header.directorySize = Load32(directory + 8);
    header.flags = Load32(directory + 12);
    header.firstEntry = Load32(directory + 20);
    header.entryCount = static_cast<int32_t>(Load32(directory + 24));
    return header;
}

// Judges the first 16 bytes alone: the directory's size is known from them.
static FastFileFault CheckStart(const uint8_t *bytes, uint32_t *directorySize)
{
    if (memcmp(bytes, FastFileMagic, sizeof FastFileMagic) != 0)
        return FastFileWrongMagic;
    if (Load32(bytes + 12) & FastFileFlagRefused)
        return FastFileFlagged;
    *directorySize = Load32(bytes + 8);
    if (*directorySize < FastFileHeaderSize)
        return FastFileDirectoryTooSmall;
    if (*directorySize > FastFileDirectoryLimit)
        return FastFileDirectoryTooLarge;
    return FastFileSound;
}

// Archives are addressed with long offsets, so a file the stream cannot
// measure (2 GiB or more) is refused.
static bool MeasureFile(FILE *stream, uint32_t *size)
{
    if (fseek(stream, 0, SEEK_END) != 0)
        return false;
    long end = ftell(stream);
    if (end < 0)
        return false;
    *size = static_cast<uint32_t>(end);
    return true;
}

FastFileFault FastFileReadStart(FILE *stream, FastFileStart *start)
{
    uint8_t bytes[FastFileStartSize];
    if (!stream || fread(bytes, 1, sizeof bytes, stream) != sizeof bytes)
        return FastFileTooShort;
    FastFileFault fault = CheckStart(bytes, &start->directorySize);
    if (fault != FastFileSound)
        return fault;
    if (!MeasureFile(stream, &start->fileSize))
        return FastFileUnreadable;
    if (start->directorySize > start->fileSize)
        return FastFileDirectoryPastEnd;
    return FastFileSound;
}

FastFileFault FastFileReadDirectory(FILE *stream, const FastFileStart &start, uint8_t *directory)
{
    if (fseek(stream, 0, SEEK_SET) != 0 ||
        fread(directory, 1, start.directorySize, stream) != start.directorySize)
        return FastFileUnreadable;
    return FastFileCheckDirectory(directory, start.directorySize);
}

// The searched range [first, first + count) as a count of whole records
// that fit in the directory; false when it does not fit.
static bool SearchedRange(const FastFileHeader &header, uint32_t *count)
{
    *count = 0;
    if (header.directorySize < FastFileHeaderSize)
        return false;
    if (header.entryCount <= 0)
        return true;
    uint32_t records = (header.directorySize - FastFileHeaderSize) / FastFileRecordSize;
    uint32_t wanted = static_cast<uint32_t>(header.entryCount);
    if (header.firstEntry > records || wanted > records - header.firstEntry)
        return false;
    *count = wanted;
    return true;
}

FastFileFault FastFileCheckDirectory(const uint8_t *directory, uint32_t size)
{
    if (size < FastFileHeaderSize)
        return FastFileDirectoryTooSmall;
    uint32_t directorySize = 0;
    FastFileFault fault = CheckStart(directory, &directorySize);
    if (fault != FastFileSound)
        return fault;
    if (directorySize != size)
        return FastFileUnreadable;
    uint32_t count;
    if (!SearchedRange(FastFileReadHeader(directory), &count))
        return FastFileRecordsOutside;
    return FastFileSound;
}

const FastFileEntry *FastFileSearchedRecords(const uint8_t *directory, uint32_t *count)
{
    FastFileHeader header = FastFileReadHeader(directory);
    if (!SearchedRange(header, count) || *count == 0) {
        *count = 0;
        return nullptr;
    }
    const uint8_t *first = directory + FastFileHeaderSize + header.firstEntry * FastFileRecordSize;
    return reinterpret_cast<const FastFileEntry *>(first);
}

// The whole stored name must be the n characters asked for. A stored name
// shorter than 12 characters ends at its terminator, one of 12 fills the
// field; a terminator among the n characters asked for matches nothing.
// Compared in place, byte by byte: lookups scan every record.
static bool NameIs(const FastFileEntry &entry, const char *name, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (name[i] == '\0' || entry.name[i] != name[i])
            return false;
    }
    return n == FastFileNameSize || entry.name[n] == '\0';
}

const FastFileEntry *FastFileFind(const uint8_t *directory, const char *name, size_t n)
{
    if (!directory || !name || n == 0 || n > FastFileNameSize)
        return nullptr;
    uint32_t count;
    const FastFileEntry *records = FastFileSearchedRecords(directory, &count);
    for (uint32_t i = 0; i < count; ++i) {
        if (NameIs(records[i], name, n))
            return &records[i];
    }
    return nullptr;
}

bool FastFileEntryInside(const FastFileEntry *entry, uint32_t fileSize)
{
    return entry && entry->offset <= fileSize && entry->size <= fileSize - entry->offset;
}

void FastFileUpperCase(char *text)
{
    for (; text && *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
    }
}
