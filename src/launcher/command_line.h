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

// The program of a command line as the system reads it: up to the closing
// quote when the line begins with a double quote (to the end without one),
// else up to the first space or tab. Writes the program, without quotes,
// into program (size bytes) and returns what follows it, blanks skipped
// (empty when nothing does); null when the line names no program or the
// name does not fit, program then empty.
const char *SplitCommandLine(const char *commandLine, char *program, size_t size);
