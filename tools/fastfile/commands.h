#pragma once

// The tool's commands; each returns the process's exit code: 0 done,
// 1 failed (with a message on stderr).

#include <string>
#include <vector>

// Packs the files (paths relative to folder, or as given when folder is
// empty) into a new archive at path; entries are named by those relative
// paths, upper-cased, with backslashes. Nothing is left behind on failure.
int CreateArchive(const std::string &path, const std::string &folder, const std::vector<std::string> &files);

int ListArchive(const std::string &path);

// Writes the named entries (all reachable ones when names is empty) under
// folder (the current directory when empty). Nothing is written when a name
// is unsafe or a link stands where an entry's folder goes; a link or a
// special file where an entry's own file goes is replaced, as tar does.
int ExtractArchive(const std::string &path, const std::vector<std::string> &names, const std::string &folder);

// Checks every rule readers rely on and says which ones fail.
int VerifyArchive(const std::string &path);
