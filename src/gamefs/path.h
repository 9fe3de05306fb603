#pragma once

#include <stddef.h>

// Paths of the game file system: zero-terminated ANSI strings with
// backslashes, at most GamePathLimit characters plus the terminator.

enum : size_t {
    GamePathLimit = 260,
    GamePathBufferSize = GamePathLimit + 1,
};

// Joins `count` pieces (null ones are skipped) into out (size bytes,
// terminator included). A result that does not fit gives false and an empty
// out: a cut-off path would name a different file, a cut-off command line
// would start a different program.
bool JoinPieces(char *out, size_t size, const char *const *pieces, size_t count);

// JoinPieces over up to three pieces.
bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third);

// True for a non-empty path whose last character is a backslash.
bool EndsWithBackslash(const char *path);
