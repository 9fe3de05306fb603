#pragma once

#include "fastfile/archive.h"

// Lays out new fast-file archives for the archive tool and the tests: the
// directory for a list of entries whose data follow it in order, each
// followed by one byte 26, so that every reader of the format stops at the
// end of each entry.

// The rules a stored name can break, one bit each; a name can break
// several at once.
enum FastFileNameFault : unsigned {
    FastFileNameSound = 0,
    FastFileNameEmpty = 1u << 0,
    FastFileNameTooLong = 1u << 1,    // more than 12 characters
    FastFileNameLowerCase = 1u << 2,  // lookups upper-case the name, so it could not be found
    FastFileNameOutside = 1u << 3,    // could name a file outside the archive's folder
    FastFileNameControl = 1u << 4,    // holds bytes below 32
    FastFileNameDevice = 1u << 5,     // a component Windows opens as a device (NUL, COM1.TXT, ...)
    FastFileNameUnkept = 1u << 6,     // a character Windows refuses, or a component it would trim
};

// The faults for which nothing may be written under such a name. The
// archives are a Windows game's, so what Windows would write elsewhere, or
// under another name, is unsafe on every system.
const unsigned FastFileNameUnsafe = FastFileNameEmpty | FastFileNameOutside | FastFileNameControl |
                                    FastFileNameDevice | FastFileNameUnkept;

// Every rule the name, as it is to be stored, breaks (FastFileNameFault
// bits); FastFileNameSound when it breaks none.
unsigned FastFileCheckName(const char *name);

// Bytes of the directory for count entries, or 0 when that many records
// would not fit in a directory.
uint32_t FastFileDirectorySizeFor(uint32_t count);

// The most bytes an archive may have: its offsets are 32-bit signed numbers,
// and readers measure the file with a long.
const uint32_t FastFileSizeLimit = INT32_MAX;

// Of count entries of these sizes, laid out after their directory, the
// first whose data or end marker would lie beyond FastFileSizeLimit; count
// when all of them fit. count must be one that a directory can hold.
uint32_t FastFileEntryPastLimit(uint32_t count, const uint32_t *sizes);

// Writes the header and the records of count entries into directory
// (FastFileDirectorySizeFor(count) bytes), names as given. With checksums
// (the CRC-32 of each entry's data) they go into the records' spare fields
// and the header says so (FastFileFlagChecksums); without, both stay 0.
// False for a name that is not sound, or when the archive would be larger
// than FastFileSizeLimit.
bool FastFileLayOut(uint8_t *directory, uint32_t count, const char *const *names,
                    const uint32_t *sizes, const uint32_t *checksums = nullptr);

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320) of n bytes,
// continuing from crc: 0 to begin, the previous result to go on. What the
// writer stores and the tool checks; the game's reader has no use for it.
uint32_t FastFileCrc32(uint32_t crc, const void *data, size_t n);
