#include "gamefs/archive_writer.h"

#include <string.h>

// A name that climbs out of the folder or names a drive or a root would let
// an extracted entry land anywhere.
static bool NamesOutside(const char *name)
{
    if (name[0] == '\\' || strchr(name, ':'))
        return true;
    for (const char *part = name; part;) {
        const char *end = strchr(part, '\\');
        size_t n = end ? static_cast<size_t>(end - part) : strlen(part);
        if (n == 0 || (n == 2 && part[0] == '.' && part[1] == '.'))
            return true;
        part = end ? end + 1 : nullptr;
    }
    return false;
}

FastFileNameFault FastFileCheckName(const char *name)
{
    if (!name || !name[0])
        return FastFileNameEmpty;
    if (strlen(name) > FastFileNameSize)
        return FastFileNameTooLong;
    for (const char *c = name; *c; ++c) {
        if (*c >= 'a' && *c <= 'z')
            return FastFileNameLowerCase;
    }
    if (NamesOutside(name))
        return FastFileNameOutside;
    return FastFileNameSound;
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
