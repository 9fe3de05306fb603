#pragma once

// An archive opened by the tool: read and checked by the file layer's own
// archive code, so that the tool and the layer never disagree. Also what
// the tool's commands share: messages, names as printed, an index of the
// entry table and the copying of an entry's data.

#include "commands.h"

#include "fastfile/archive.h"

#include <stdio.h>

#include <string>
#include <utility>
#include <vector>

struct ArchiveFile {
    FILE *stream = nullptr;
    long position = -1;  // of the stream, when known: entries in a row need no seek
    FastFileStart start{};
    std::vector<uint8_t> directory;
    FastFileFault fault = FastFileUnreadable;

    ~ArchiveFile();
    const uint8_t *Directory() const { return directory.data(); }
    bool HasChecksums() const;
};

// Says "fastfile: " and the message, and a line end, where the run's
// messages go.
void Say(ToolRun *run, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Says it, and the run has failed.
void Fail(ToolRun *run, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Opens the run's archive. Fails when the file does not open or is a
// folder; otherwise archive->fault tells whether it is usable.
bool OpenArchiveFile(ToolRun *run, ArchiveFile *archive);

// Opens and checks; fails, saying what is wrong, when the archive is not
// usable.
bool LoadArchive(ToolRun *run, ArchiveFile *archive);

// The searched records, in table order.
std::vector<const FastFileEntry *> Records(const ArchiveFile &archive);

std::string FaultText(FastFileFault fault, const ArchiveFile &archive);
std::string NameText(const FastFileEntry &entry);  // printable, without its padding
std::string StoredName(const FastFileEntry &entry);  // raw, without its padding

// "has data (offset O, size S) that run past the end of the file (N bytes)"
std::string PastEndText(const FastFileEntry &entry, const ArchiveFile &archive);

// Fails for an entry whose data run past the end of the archive file: said
// for the first one by name, and those after it, in a cut-off archive most
// often all the rest, counted in one line at the end (SayCutOffCount).
void SayCutOff(ToolRun *run, const ArchiveFile &archive, const FastFileEntry &entry, unsigned *count);
void SayCutOffCount(ToolRun *run, unsigned count);

// A file or entry as given, relative to the folder: "./a.txt" and ".\a.txt"
// are a.txt, "sub/" is sub, and "." is the folder itself (empty).
std::string RelativeName(std::string file);

// A path of this system (either separator) as an entry's name, with
// backslashes.
std::string EntryPathOf(const std::string &path);

// Text with control bytes and bytes above 126 written as \xNN, so that a
// hostile name cannot drive the terminal it is printed on.
std::string Printable(const std::string &text);

// Each rule of the FastFileNameFault bits, as words that follow a name
// ("... is longer than 12 characters").
std::vector<std::string> NameFaultTexts(unsigned faults);

// The texts joined with "and", for one message.
std::string NameFaultText(unsigned faults);

// The searched records sorted by stored name, so that what a lookup of a
// name finds is known without a scan of the table per name.
struct EntryIndex {
    std::vector<const FastFileEntry *> sorted;  // of equal names, the first in the table first
    std::vector<const FastFileEntry *> hidden;  // by address: what a lookup of their names does not find
};

EntryIndex IndexEntries(const std::vector<const FastFileEntry *> &records);

// What a lookup of the whole name finds, as FastFileFind does: the first
// searched record of that name, none for an empty name or one of more than
// 12 characters.
const FastFileEntry *FindEntry(const EntryIndex &index, const std::string &name);

// The record a lookup of this record's own name finds: another one when an
// earlier record has the same name, none for an empty name.
const FastFileEntry *ReachedEntry(const EntryIndex &index, const FastFileEntry &entry);

struct CopyOutcome {
    enum What { Done, ReadFailed, CutOff, WriteFailed } what;
    int error;          // errno of a failed read or write
    uint32_t checksum;  // CRC-32 of the data, when Done
};

// Reads the entry's data, which must lie inside the file, and copies them
// to the file out (a descriptor, see WriteTo) unless it is -1; the archive's
// stream is left just after them.
CopyOutcome CopyEntry(ArchiveFile *archive, const FastFileEntry &entry, int out);
