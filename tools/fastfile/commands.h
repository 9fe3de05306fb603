#pragma once

// The tool's commands, a library that the tool's main and its tests link;
// each returns the process's exit code: 0 done, 1 failed (with a message).
// Messages go to standard error (see SetMessageStream in archive_file.h),
// what was asked for to standard output.

#include <string>
#include <vector>

struct ToolOptions {
    std::string folder;               // -C: names are relative to it; empty for the current one
    std::vector<std::string> lists;   // -T: where names were read from ("-": standard input)
    std::string depfile;              // --depfile: where create names what the archive was made from
    bool verbose = false;             // -v: each name as it is handled
    bool details = false;             // -l: list each entry's size and offset too
};

// Packs the files into a new archive at path. Each is named by its path
// relative to the folder (a leading "./" dropped), upper-cased, with
// backslashes; a folder stands for every file beneath it, sorted by the
// names they get. Nothing is written unless every name is one that the
// format can hold and that no other file has, and nothing is left behind
// on failure. With a depfile, writes there, as Make and Ninja read
// dependencies, the archive's path and every file, folder and list it was
// made from.
int CreateArchive(const std::string &path, const std::vector<std::string> &files, const ToolOptions &options);

// The entries' names, or with details their sizes and offsets too. Exit 1
// when any entry runs past the end of the file.
int ListArchive(const std::string &path, const ToolOptions &options);

// Writes the named entries (all reachable ones when names is empty) under
// the folder, made when missing. Nothing is written when a name is unsafe or
// a link stands where an entry's folder goes; a link or a special file where
// an entry's own file goes is replaced, as tar does. Each entry is written
// under a temporary name and moved into place only when complete and, in an
// archive with checksums, found undamaged.
int ExtractArchive(const std::string &path, const std::vector<std::string> &names, const ToolOptions &options);

// Checks every rule readers rely on, and each entry's data against its
// checksum when the archive has them, and says which fail.
int VerifyArchive(const std::string &path);
