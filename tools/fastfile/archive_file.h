#pragma once

// An archive opened by the tool: read and checked by the file layer's own
// archive code, so that the tool and the layer never disagree.

#include "gamefs/archive.h"

#include <stdio.h>

#include <string>
#include <vector>

struct ArchiveFile {
    FILE *stream = nullptr;
    FastFileStart start{};
    std::vector<uint8_t> directory;
    FastFileFault fault = FastFileUnreadable;

    ~ArchiveFile();
    const uint8_t *Directory() const { return directory.data(); }
};

// False when the file does not open (and says so on stderr); otherwise
// archive->fault tells whether it is usable.
bool OpenArchiveFile(const char *path, ArchiveFile *archive);

std::string FaultText(FastFileFault fault, const ArchiveFile &archive);
std::string NameText(const FastFileEntry &entry);  // printable, without its padding
std::string StoredName(const FastFileEntry &entry);  // raw, without its padding

// Text with control bytes and bytes above 126 written as \xNN, so that a
// hostile name cannot drive the terminal it is printed on.
std::string Printable(const std::string &text);

// Each rule of the FastFileNameFault bits, as words that follow a name
// ("... is longer than 12 characters").
std::vector<std::string> NameFaultTexts(unsigned faults);

// The texts joined with "and", for one message.
std::string NameFaultText(unsigned faults);

// Copies the entry's data to out; false on a read or write error.
bool CopyEntry(const ArchiveFile &archive, const FastFileEntry &entry, FILE *out);
