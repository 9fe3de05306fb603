#include "gamefs/archive_writer.h"

#include <string.h>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define FASTFILE_CRC_FOLDING 1
#endif

// Windows takes either separator, and the archive tool writes '/' paths on
// other systems, so both separate components here.
static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The digits of COM and LPT ports: 1 to 9, and the superscript digits of
// code page 1252 (0xB9, 0xB2 and 0xB3), which Windows takes as 1, 2 and 3.
static bool IsPortDigit(char c)
{
    return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

// Windows opens these as devices in any folder, whatever follows the first
// dot and with the spaces before it ignored: "nul .txt" is NUL.
static bool NamesDevice(const char *part, size_t n)
{
    switch (part[0] & ~0x20) {  // each device's first letter, in either case
    case 'A': case 'C': case 'L': case 'N': case 'P':
        break;
    default:
        return false;
    }
    size_t base = 0;
    while (base < n && part[base] != '.')
        ++base;
    while (base > 0 && part[base - 1] == ' ')
        --base;
    char upper[8] = {};
    if (base >= sizeof upper)
        return false;
    memcpy(upper, part, base);
    FastFileUpperCase(upper);
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char *device : devices) {
        if (strcmp(upper, device) == 0)
            return true;
    }
    return base == 4 && (memcmp(upper, "COM", 3) == 0 || memcmp(upper, "LPT", 3) == 0) && IsPortDigit(upper[3]);
}

// The rules one component (the n bytes between separators) can break. An
// empty component (which a join could turn into a root), "." and ".." would
// let an extracted entry land anywhere; Windows drops the dots and spaces
// that end any other component, so it would be written under another name.
static unsigned ComponentFaults(const char *part, size_t n)
{
    if (n == 0 || (part[0] == '.' && (n == 1 || (n == 2 && part[1] == '.'))))
        return FastFileNameOutside;
    unsigned faults = NamesDevice(part, n) ? FastFileNameDevice : FastFileNameSound;
    if (part[n - 1] == '.' || part[n - 1] == ' ')
        faults |= FastFileNameUnkept;
    return faults;
}

unsigned FastFileCheckName(const char *name)
{
    if (!name || !name[0])
        return FastFileNameEmpty;
    unsigned faults = FastFileNameSound;
    if (strlen(name) > FastFileNameSize)
        faults |= FastFileNameTooLong;
    for (const char *c = name; *c; ++c) {
        if (*c >= 'a' && *c <= 'z')
            faults |= FastFileNameLowerCase;
        if (static_cast<unsigned char>(*c) < 32)
            faults |= FastFileNameControl;
        if (*c == ':')  // a drive, or a stream of a file
            faults |= FastFileNameOutside;
        switch (*c) {
        case '<': case '>': case '"': case '|': case '?': case '*':
            faults |= FastFileNameUnkept;
        }
    }
    for (const char *part = name;; ++part) {
        const char *end = part;
        while (*end && !IsSeparator(*end))
            ++end;
        faults |= ComponentFaults(part, static_cast<size_t>(end - part));
        if (!*end)
            return faults;
        part = end;
    }
}

uint32_t FastFileDirectorySizeFor(uint32_t count)
{
    uint32_t limit = (FastFileDirectoryLimit - FastFileHeaderSize) / FastFileRecordSize;
    if (count > limit)
        return 0;
    return FastFileHeaderSize + count * FastFileRecordSize;
}

uint32_t FastFileEntryPastLimit(uint32_t count, const uint32_t *sizes)
{
    uint64_t end = FastFileDirectorySizeFor(count);
    for (uint32_t i = 0; i < count; ++i) {
        end += uint64_t(sizes[i]) + 1;  // the data and its end marker
        if (end > FastFileSizeLimit)
            return i;
    }
    return count;
}

static void Store32(uint8_t *bytes, uint32_t value)
{
    memcpy(bytes, &value, sizeof value);
}

bool FastFileLayOut(uint8_t *directory, uint32_t count, const char *const *names,
                    const uint32_t *sizes, const uint32_t *checksums)
{
    uint32_t directorySize = FastFileDirectorySizeFor(count);
    if (directorySize == 0 || FastFileEntryPastLimit(count, sizes) < count)
        return false;
    memset(directory, 0, directorySize);
    memcpy(directory, FastFileMagic, sizeof FastFileMagic);
    Store32(directory + 8, directorySize);
    Store32(directory + 12, checksums ? uint32_t(FastFileFlagChecksums) : 0u);
    Store32(directory + 24, count);

    uint32_t offset = directorySize;  // below 2 GiB throughout, as checked above
    for (uint32_t i = 0; i < count; ++i) {
        if (FastFileCheckName(names[i]) != FastFileNameSound)
            return false;
        uint8_t *record = directory + FastFileHeaderSize + i * FastFileRecordSize;
        memcpy(record, names[i], strlen(names[i]));
        Store32(record + 12, offset);
        Store32(record + 16, sizes[i]);
        Store32(record + 20, checksums ? checksums[i] : 0);
        offset += sizes[i] + 1;  // the data and its end marker
    }
    return true;
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

// Reads what the run-time library found out about the processor at start:
// cheap enough to ask each time.
bool CanFold()
{
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
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
        uint32_t low, high;
        memcpy(&low, bytes, 4);
        memcpy(&high, bytes + 4, 4);
        low ^= crc;
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; n > 0; --n, ++bytes)
        crc = t[0][(crc ^ *bytes) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
