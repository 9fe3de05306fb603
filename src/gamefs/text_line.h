#pragma once

#include "gamefs/game_file.h"

// Line input and output on game files. Every common line end is accepted on
// input (13, 10, 13 10 and 10 13); output ends each line with 13 10 on disk,
// written explicitly on a binary file and by the stream's translation
// otherwise. Characters are 0 to 255; -1 is the end of input.

// Reads one line, without its line end, into buffer (size bytes, terminator
// included). A longer line comes back in pieces of size - 1 characters.
// 1 when a line was read, possibly empty; 0 at the end of input, for an
// unusable file, or for a size below 2 (no room for a character).
int ReadLine(GameFile *file, char *buffer, int size);

// Writes text and a line end: 1 on success, 0 on a write error.
int WriteLine(GameFile *file, const char *text);

// The next character, or -1 at the end of the input or of the entry's data.
int ReadGameChar(GameFile *file);

int WriteLineEnd(GameFile *file);

int IsBinary(const GameFile *file);
