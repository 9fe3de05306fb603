#include "gamefs/path.h"

#include <string.h>

bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third)
{
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    const char *pieces[] = {first, second, third};
    size_t length = 0;
    for (const char *piece : pieces) {
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

bool EndsWithBackslash(const char *path)
{
    size_t n = path ? strlen(path) : 0;
    return n > 0 && path[n - 1] == '\\';
}
