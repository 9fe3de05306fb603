#include "launcher/command_line.h"

#include <stdio.h>
#include <string.h>

static const char GameExecutable[] = "rumbelon.exe";

static int Finish(char *out, size_t size, int length)
{
    if (length >= 0 && static_cast<size_t>(length) < size)
        return length;
    if (out && size > 0)
        out[0] = '\0';
    return -1;
}

int FormatGameCommandLine(char *out, size_t size, const char *folder, const char *option)
{
    if (!out || !folder)
        return Finish(out, size, -1);
    const char *quote = strchr(folder, ' ') ? "\"" : "";
    int length = snprintf(out, size, "%s%s\\%s%s%s", quote, folder, GameExecutable, quote,
                          option ? option : "");
    return Finish(out, size, length);
}

int FormatDiscCommandLine(char *out, size_t size, const char *root, const char *program)
{
    if (!out || !root || !program || strnlen(root, 2) < 2)
        return Finish(out, size, -1);
    return Finish(out, size, snprintf(out, size, "%.2s%s", root, program));
}
