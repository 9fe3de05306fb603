#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

// The fast-file archive format ("FASTFILE.DAT"): a 28-byte header, a table of
// 24-byte entry records, then the entries' data. Numbers are little-endian
// 32-bit integers. The header and the table together are the directory: the
// first directorySize bytes of the file, which a reader loads whole.
//
// This file only reads and checks the format; it knows nothing of folders or
// caches, so the file layer, the archive tool and the fuzzers share it.

enum : uint32_t {
    FastFileHeaderSize = 28,
    FastFileStartSize = 16,  // magic, directorySize, flags: enough to judge a file
    FastFileRecordSize = 24,
    FastFileNameSize = 12,
    FastFileEndMarker = 26,  // Ctrl-Z after each entry's data
    // Directories are held in memory for the life of the program; this is far
    // beyond any real archive (about 700,000 entries) and keeps a hostile
    // header from asking for gigabytes.
    FastFileDirectoryLimit = 16u << 20,
};

// Bits of the header's flags. Bit 0 set refuses the file; readers of the
// format interpret no other bit, so this program uses bit 1 to say that
// every record's spare field holds the CRC-32 of its entry's data.
enum : uint32_t {
    FastFileFlagRefused = 1u << 0,
    FastFileFlagChecksums = 1u << 1,
};

extern const char FastFileMagic[8];  // "FASTF101", no terminator

// One record of the entry table, exactly as stored.
struct FastFileEntry {
    char name[FastFileNameSize];  // upper case; no terminator when all 12 are used
    uint32_t offset;              // of the data, from the start of the file
    uint32_t size;                // of the data
    uint32_t checksum;            // FastFileCrc32 of the data, with FastFileFlagChecksums
};

// The header fields, decoded.
struct FastFileHeader {
    uint32_t directorySize;
    uint32_t flags;
    uint32_t firstEntry;  // records before it are not searched
    int32_t entryCount;   // records searched; zero or less: nothing to find
};

// What a reader learns from the start of an archive file.
struct FastFileStart {
    uint32_t directorySize;
    uint32_t fileSize;
};

enum FastFileFault {
    FastFileSound,
    FastFileTooShort,            // fewer than 16 bytes
    FastFileWrongMagic,
    FastFileFlagged,             // bit 0 of flags is set
    FastFileDirectoryTooSmall,   // below the 28-byte header
    FastFileDirectoryTooLarge,   // above FastFileDirectoryLimit
    FastFileDirectoryPastEnd,    // longer than the file
    FastFileRecordsOutside,      // searched records beyond the directory
    FastFileUnreadable,          // size unknown or the read came up short
};

// Reads and checks the first 16 bytes and the file's size. The stream is
// left at an unspecified position.
FastFileFault FastFileReadStart(FILE *stream, FastFileStart *start);

// Reads start.directorySize bytes from the start of the file into directory
// and checks that every searched record lies inside them.
FastFileFault FastFileReadDirectory(FILE *stream, const FastFileStart &start, uint8_t *directory);

// Checks a directory already in memory: size bytes, as many as its header
// says, with every searched record inside them.
FastFileFault FastFileCheckDirectory(const uint8_t *directory, uint32_t size);

FastFileHeader FastFileReadHeader(const uint8_t *directory);

// The searched records: records firstEntry and on, count of them. The range
// is checked again against the header's directorySize, so a directory of
// that many bytes is never read beyond; a bad range gives count 0.
const FastFileEntry *FastFileSearchedRecords(const uint8_t *directory, uint32_t *count);

// The first searched record whose whole name is the n characters of name,
// or null; an empty name or one of more than 12 characters finds nothing.
// The directory must have passed the checks above.
const FastFileEntry *FastFileFind(const uint8_t *directory, const char *name, size_t n);

// True when the entry's data lies wholly inside a file of fileSize bytes.
bool FastFileEntryInside(const FastFileEntry *entry, uint32_t fileSize);

// Letters a to z become A to Z; nothing else changes.
void FastFileUpperCase(char *text);
