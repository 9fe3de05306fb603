#pragma once

// Archives for the tests, made at run time by the project's own writer.

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

struct TestEntry {
    std::string name;
    std::string data;
};

// A whole archive as the tool makes it: directory with the data's
// checksums, then each entry's data and a byte 26.
std::string ArchiveBytes(const std::vector<TestEntry> &entries);

// Overwrites the 32-bit field at offset, for archives that break a rule.
void Put32(std::string *bytes, size_t offset, uint32_t value);

// Header and record field offsets, for Put32.
enum : size_t {
    DirectorySizeField = 8,
    FlagsField = 12,
    FirstEntryField = 20,
    EntryCountField = 24,
};
size_t RecordField(int record, size_t field);  // field: 0 name, 12 offset, 16 size

// An anonymous temporary file holding bytes, positioned at its start.
FILE *StreamOf(const std::string &bytes);
