#include "fastfile/layout.h"

#include "fastfile/archive.h"
#include "fastfile/names.h"

#include <string.h>

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
