#include "gamefs/archive_writer.h"

#include <string.h>

// Windows takes either separator, and the archive tool writes '/' paths on
// other systems, so both separate components here.
static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A name that climbs out of the folder, names a drive, a root or a stream,
// or has an empty component (which a join could turn into a root) would
// let an extracted entry land anywhere.
static bool NamesOutside(const char *name)
{
    if (strchr(name, ':'))
        return true;
    for (const char *part = name;; ++part) {
        const char *end = part;
        while (*end && !IsSeparator(*end))
            ++end;
        size_t n = static_cast<size_t>(end - part);
        if (n == 0 || (part[0] == '.' && (n == 1 || (n == 2 && part[1] == '.'))))
            return true;
        if (!*end)
            return false;
        part = end;
    }
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
    }
    if (NamesOutside(name))
        faults |= FastFileNameOutside;
    return faults;
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
                    const uint32_t *sizes)
{
    uint32_t directorySize = FastFileDirectorySizeFor(count);
    if (directorySize == 0)
        return false;
    memset(directory, 0, directorySize);
    memcpy(directory, FastFileMagic, sizeof FastFileMagic);
    Store32(directory + 8, directorySize);
    Store32(directory + 24, count);

    uint64_t offset = directorySize;
    for (uint32_t i = 0; i < count; ++i) {
        if (FastFileCheckName(names[i]) != FastFileNameSound)
            return false;
        uint8_t *record = directory + FastFileHeaderSize + i * FastFileRecordSize;
        memcpy(record, names[i], strlen(names[i]));
        Store32(record + 12, static_cast<uint32_t>(offset));
        Store32(record + 16, sizes[i]);
        offset += uint64_t(sizes[i]) + 1;  // the data and its end marker
        if (offset > INT32_MAX)
            return false;
    }
    return true;
}
