#pragma once

#include <stddef.h>

// Paths of the game file system: zero-terminated ANSI strings with
// backslashes, at most GamePathLimit characters plus the terminator.

enum : size_t {
    GamePathLimit = 260,
    GamePathBufferSize = GamePathLimit + 1,
};

// Joins up to three pieces into out (size bytes, terminator included). A
// result that does not fit gives false and an empty out: a cut-off path
// would name a different file.
bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third);

// True for a non-empty path whose last character is a backslash.
bool EndsWithBackslash(const char *path);
