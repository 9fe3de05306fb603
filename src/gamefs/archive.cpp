#include "gamefs/archive.h"

#include <string.h>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define FASTFILE_CRC_FOLDING 1
#endif

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

namespace {

// Eight tables, so that eight bytes are folded in at a time: table k gives
// the CRC of a byte followed by k zero bytes.
struct CrcTables {
    uint32_t table[8][256];
};

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        tables.table[0][i] = crc;
    }
    for (uint32_t i = 0; i < 256; ++i) {
        for (int k = 1; k < 8; ++k) {
            uint32_t previous = tables.table[k - 1][i];
            tables.table[k][i] = (previous >> 8) ^ tables.table[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr CrcTables Crc = MakeCrcTables();

#ifdef FASTFILE_CRC_FOLDING
// Carry-less multiplication folds 64 bytes at a time, about ten times as
// fast as the tables, as in Intel's paper "Fast CRC Computation for Generic
// Polynomials Using PCLMULQDQ Instruction" (2009), with its constants for
// the reflected polynomial. Takes and gives the CRC as it is kept while
// running (inverted); n is a multiple of 16, at least 64.
#define FOLDING __attribute__((target("pclmul,sse4.1")))

FOLDING inline __m128i load(const uint8_t *at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

// x carried further on by the distance of k, with y added.
FOLDING inline __m128i fold(__m128i x, __m128i k, __m128i y)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), y);
}

FOLDING uint32_t FoldCrc(uint32_t crc, const uint8_t *bytes, size_t n)
{
    __m128i x1 = _mm_xor_si128(load(bytes), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(bytes + 16), x3 = load(bytes + 32), x4 = load(bytes + 48);
    bytes += 64;
    n -= 64;
    const __m128i by512 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    for (; n >= 64; n -= 64, bytes += 64) {
        x1 = fold(x1, by512, load(bytes));
        x2 = fold(x2, by512, load(bytes + 16));
        x3 = fold(x3, by512, load(bytes + 32));
        x4 = fold(x4, by512, load(bytes + 48));
    }
    const __m128i by128 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    x1 = fold(fold(fold(x1, by128, x2), by128, x3), by128, x4);
    for (; n >= 16; n -= 16, bytes += 16)
        x1 = fold(x1, by128, load(bytes));

    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, by128, 0x10));
    const __m128i by64 = _mm_set_epi64x(0, 0x0163cd6124);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), by64, 0x00), _mm_srli_si128(x1, 4));
    const __m128i polynomial = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    __m128i x2b = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), polynomial, 0x10);
    x2b = _mm_clmulepi64_si128(_mm_and_si128(x2b, low32), polynomial, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2b), 1));
}

#undef FOLDING

bool CanFold()
{
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}
#endif

}  // namespace

uint32_t FastFileCrc32(uint32_t crc, const void *data, size_t n)
{
    const uint32_t(*t)[256] = Crc.table;
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    crc = ~crc;
#ifdef FASTFILE_CRC_FOLDING
    if (n >= 64 && CanFold()) {
        size_t folded = n & ~size_t(15);
        crc = FoldCrc(crc, bytes, folded);
        bytes += folded;
        n -= folded;
    }
#endif
    for (; n >= 8; n -= 8, bytes += 8) {
        uint32_t low = Load32(bytes) ^ crc;
        uint32_t high = Load32(bytes + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; n > 0; --n, ++bytes)
        crc = t[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void FastFileUpperCase(char *text)
{
    for (; text && *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 'a' + 'A');
    }
}
