#pragma once

// The tool's commands, a library that the tool's main and its tests link.
// Each is a plain function over the record of one run, which main fills
// from the command line: what to do, where messages go, and the exit
// status, which every failure sets (0 done, 1 failed, with a message).
// What was asked for goes to standard output.

#include <stdio.h>

#include <string>
#include <vector>

struct ToolRun {
    std::string archive;             // the archive's path
    std::vector<std::string> names;  // the files to pack, or the entries to extract (all when none)
    std::string folder;              // -C: names are relative to it; empty for the current one
    std::vector<std::string> lists;  // -T: where names were read from ("-": standard input)
    std::string depfile;             // --depfile: where create names what the archive was made from
    bool verbose = false;            // -v: each name as it is handled
    bool details = false;            // -l: list each entry's size and offset too
    FILE *messages = stderr;         // where messages go
    int status = 0;                  // the exit status: 1 once anything has failed
};

// Packs the files into a new archive. Each is named by its path relative
// to the folder (a leading "./" dropped), upper-cased, with backslashes; a
// folder stands for every file beneath it, sorted by the names they get.
// Nothing is written unless every name is one that the format can hold and
// that no other file has, and nothing is left behind on failure. With a
// depfile, writes there, as Make and Ninja read dependencies, the archive's
// path and every file, folder and list it was made from.
void CreateArchive(ToolRun *run);

// The entries' names, or with details their sizes and offsets too. Fails
// when any entry runs past the end of the file.
void ListArchive(ToolRun *run);

// Writes the named entries (all reachable ones when none are named) under
// the folder, made when missing. Nothing is written when a name is unsafe or
// a link stands where an entry's folder goes; a link or a special file where
// an entry's own file goes is replaced, as tar does. Each entry is written
// aside and moved into place only when complete and, in an archive with
// checksums, found undamaged.
void ExtractArchive(ToolRun *run);

// Checks every rule readers rely on, and each entry's data against its
// checksum when the archive has them, and says which fail.
void VerifyArchive(ToolRun *run);
