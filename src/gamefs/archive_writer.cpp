#include "gamefs/archive_writer.h"

#include <string.h>

// Windows takes either separator, and the archive tool writes '/' paths on
// other systems, so both separate components here.
static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Windows opens these as devices in any folder, whatever follows the first
// dot and with the spaces before it ignored: "nul .txt" is NUL.
static bool NamesDevice(const char *part, size_t n)
{
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
    return base == 4 && (memcmp(upper, "COM", 3) == 0 || memcmp(upper, "LPT", 3) == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
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
        if (strchr("<>\"|?*", *c))
            faults |= FastFileNameUnkept;
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

static void Store32(uint8_t *bytes, uint32_t value)
{
    memcpy(bytes, &value, sizeof value);
}

bool FastFileLayOut(uint8_t *directory, uint32_t count, const char *const *names,
                    const uint32_t *sizes, const uint32_t *checksums)
{
    uint32_t directorySize = FastFileDirectorySizeFor(count);
    if (directorySize == 0)
        return false;
    memset(directory, 0, directorySize);
    memcpy(directory, FastFileMagic, sizeof FastFileMagic);
    Store32(directory + 8, directorySize);
    Store32(directory + 12, checksums ? uint32_t(FastFileFlagChecksums) : 0u);
    Store32(directory + 24, count);

    uint64_t offset = directorySize;
    for (uint32_t i = 0; i < count; ++i) {
        if (FastFileCheckName(names[i]) != FastFileNameSound)
            return false;
        uint8_t *record = directory + FastFileHeaderSize + i * FastFileRecordSize;
        memcpy(record, names[i], strlen(names[i]));
        Store32(record + 12, static_cast<uint32_t>(offset));
        Store32(record + 16, sizes[i]);
        Store32(record + 20, checksums ? checksums[i] : 0);
        offset += uint64_t(sizes[i]) + 1;  // the data and its end marker
        if (offset > INT32_MAX)
            return false;
    }
    return true;
}
