#include "gamefs/path.h"

#include <string.h>

bool JoinPieces(char *out, size_t size, const char *const *pieces, size_t count)
{
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    size_t length = 0;
    for (size_t i = 0; i < count; i++) {
        const char *piece = pieces[i];
        if (!piece)
            continue;
        size_t n = strlen(piece);
        if (n >= size - length) {
            out[0] = '\0';
            return false;
        }
        memcpy(out + length, piece, n);
        length += n;
    }
    out[length] = '\0';
    return true;
}

bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third)
{
    const char *pieces[] = {first, second, third};
    return JoinPieces(out, size, pieces, 3);
}

bool EndsWithBackslash(const char *path)
{
    size_t n = path ? strlen(path) : 0;
    return n > 0 && path[n - 1] == '\\';
}
