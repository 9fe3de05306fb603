#pragma once

#include <stddef.h>

// The command lines with which the menu starts the other programs. Each
// builder writes a zero-terminated line into out (size bytes) and returns
// its length, or -1 when it does not fit or the input names nothing; out is
// then empty.

// The game in the installation folder: folder, "\", "rumbelon.exe", then
// option (" -0v", or null for none). A path holding a space is put in
// double quotes, so that the system cannot take "C:\Program" for the
// program; the option follows the closing quote.
int FormatGameCommandLine(char *out, size_t size, const char *folder, const char *option);

// A program of the disc: the drive letter and colon that begin root, then
// program ("\setup.exe", "\redist\directx6\directx\dxsetup.exe").
int FormatDiscCommandLine(char *out, size_t size, const char *root, const char *program);

// Whether a candidate program file exists, as the system's search for a
// program finds it (a folder is no program).
typedef bool (*ProgramExists)(const char *candidate);

// The program of a command line as the system reads it. A line that begins
// with a double quote names the program up to the closing quote (to the end
// without one). Otherwise the system tries ever longer prefixes that end at
// a blank (space or tab) or at the end of the line, each with ".exe" added
// when its last component has no extension, and takes the first that
// exists: "C:\Program Files\x\uninst.exe /S" is "C:\Program.exe" only where
// that file exists. When none exists, the program is the line up to its
// first blank. Writes the program, without quotes, into program (size
// bytes) and returns what follows it, blanks skipped (empty when nothing
// does); null when the line names no program or the name does not fit,
// program then empty.
const char *SplitCommandLine(const char *commandLine, char *program, size_t size, ProgramExists exists);
