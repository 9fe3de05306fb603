// Arbitrary bytes as a fast-file archive, and arbitrary names looked up in
// it. The reader's verdict must match an independent reading of the rules,
// a lookup must match a plain scan of the searched records by whole name,
// and a found entry must read back as exactly its bytes of the file. Every
// name, asked for or stored, is either refused by the name rules or
// extracts to a path strictly inside the target folder. The
// directory is held in a buffer of exactly its size, so AddressSanitizer
// stops any read beyond it.
//
// Input: one byte n, then n bytes of names separated by '\n', then the
// archive file.

#include "fuzz_check.h"

#include "fastfile/archive.h"
#include "fastfile/names.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

uint32_t Load32(const uint8_t *bytes)
{
    uint32_t value;
    memcpy(&value, bytes, sizeof value);
    return value;
}

// The rules, read straight from the bytes.
FastFileFault ExpectedFault(const uint8_t *file, size_t size)
{
    if (size < 16)
        return FastFileTooShort;
    if (memcmp(file, "FASTF101", 8) != 0)
        return FastFileWrongMagic;
    if (Load32(file + 12) & 1)
        return FastFileFlagged;
    uint64_t directorySize = Load32(file + 8);
    if (directorySize < 28)
        return FastFileDirectoryTooSmall;
    if (directorySize > 16u << 20)
        return FastFileDirectoryTooLarge;
    if (directorySize > size)
        return FastFileDirectoryPastEnd;
    int32_t count = static_cast<int32_t>(Load32(file + 24));
    uint64_t end = 28 + 24 * (uint64_t(Load32(file + 20)) + uint64_t(count > 0 ? count : 0));
    if (count > 0 && end > directorySize)
        return FastFileRecordsOutside;
    return FastFileSound;
}

// A plain scan for the first searched record whose whole name is name.
const uint8_t *ExpectedRecord(const uint8_t *directory, const std::string &name)
{
    int32_t count = static_cast<int32_t>(Load32(directory + 24));
    if (name.empty() || name.size() > 12)
        return nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t *record = directory + 28 + 24 * (size_t(Load32(directory + 20)) + i);
        std::string stored(reinterpret_cast<const char *>(record), strnlen(reinterpret_cast<const char *>(record), 12));
        if (stored == name)
            return record;
    }
    return nullptr;
}

// Reads the entry the way the file layer does and compares with the file.
void CheckEntryData(FILE *stream, const FastFileEntry *entry, const uint8_t *file)
{
    GameFile game{stream, entry, 1, entry->size};
    Check(fseek(stream, static_cast<long>(entry->offset), SEEK_SET) == 0);
    uint32_t read = 0;
    for (int c; (c = ReadGameChar(&game)) != -1; ++read)
        Check(read < entry->size && c == file[entry->offset + read]);
    Check(read == entry->size);
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Where the archive tool writes an entry of this name under its target
// folder, resolved as a file system resolves it: either separator, "." and
// ".." components, a drive, a root, a stream. True when that is a path
// strictly inside the folder.
bool ExtractsInside(const std::string &name)
{
    if (name.find(':') != std::string::npos || (!name.empty() && IsSeparator(name[0])))
        return false;
    int depth = 0;
    for (size_t at = 0; at <= name.size();) {
        size_t end = at;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        std::string part = name.substr(at, end - at);
        if (part == "..")
            --depth;
        else if (!part.empty() && part != ".")
            ++depth;
        if (depth < 0)
            return false;
        at = end + 1;
    }
    return depth > 0;
}

void CheckNameRules(const std::string &name)
{
    if (!(FastFileCheckName(name.c_str()) & FastFileNameUnsafe))
        Check(ExtractsInside(name));
}

std::vector<std::string> Names(const uint8_t *data, size_t size)
{
    std::vector<std::string> names(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            names.emplace_back();
        else
            names.back() += static_cast<char>(data[i]);
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    size_t namesSize = data[0] < size - 1 ? data[0] : size - 1;
    std::vector<std::string> names = Names(data + 1, namesSize);
    for (const std::string &name : names)
        CheckNameRules(name.c_str());  // as far as its first terminator, as the tool reads names
    const uint8_t *file = data + 1 + namesSize;
    size_t fileSize = size - 1 - namesSize;

    std::vector<uint8_t> copy(file, file + fileSize);  // fmemopen wants a writable buffer
    FILE *stream = fileSize ? fmemopen(copy.data(), fileSize, "rb") : nullptr;
    FastFileStart start{};
    FastFileFault fault = FastFileReadStart(stream, &start);
    uint8_t *directory = nullptr;
    if (fault == FastFileSound) {
        Check(start.fileSize == fileSize);
        directory = static_cast<uint8_t *>(malloc(start.directorySize));
        fault = FastFileReadDirectory(stream, start, directory);
    }
    Check(fault == ExpectedFault(file, fileSize));

    if (fault == FastFileSound) {
        Check(FastFileCheckDirectory(directory, start.directorySize) == FastFileSound);
        uint32_t count;
        const FastFileEntry *records = FastFileSearchedRecords(directory, &count);
        for (uint32_t i = 0; i < count; ++i)
            CheckNameRules(std::string(records[i].name, strnlen(records[i].name, FastFileNameSize)));
        for (std::string name : names) {
            for (int pass = 0; pass < 2; ++pass) {
                const FastFileEntry *entry = FastFileFind(directory, name.data(), name.size());
                Check(reinterpret_cast<const uint8_t *>(entry) == ExpectedRecord(directory, name));
                if (entry && FastFileEntryInside(entry, start.fileSize))
                    CheckEntryData(stream, entry, file);
                FastFileUpperCase(&name[0]);  // then as the file layer asks
            }
        }
    }
    free(directory);
    if (stream)
        fclose(stream);
    return 0;
}
