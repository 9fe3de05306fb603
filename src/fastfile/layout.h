#pragma once

#include <stdint.h>

// Lays out new fast-file archives for the archive tool and the tests: the
// directory for a list of entries whose data follow it in order, each
// followed by one byte 26, so that every reader of the format stops at the
// end of each entry.

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
