#pragma once

// Entry names that an archive made by hand can hold and that no extraction
// may write, each with every rule it breaks. One table serves the unit test
// of the name rules, the archive tool's test and the seeds of the archive
// fuzzer.

#include <stddef.h>

#include <string>

struct HostileName {
    const char *name;  // as stored: at most 12 bytes
    unsigned faults;   // FastFileNameFault bits
};

extern const HostileName HostileNames[];
extern const size_t HostileNameCount;

// A sound archive of two entries, "SAFE" and then one stored under name,
// which the writer would refuse: it is put into the record afterwards.
std::string ArchiveHolding(const char *name);
