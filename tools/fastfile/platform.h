#pragma once

// The few file operations the tool needs beyond the C library.

#include <string>

// Makes a folder; an existing one is fine.
bool MakeFolder(const std::string &path);

// Moves from over to, replacing to if it exists.
bool MoveIntoPlace(const std::string &from, const std::string &to);

// A stored entry name (backslashes) as a path of this system, and back.
std::string NativePath(const std::string &name);
std::string EntryPathOf(const std::string &path);
