#include "launcher/command_line.h"

#include "gamefs/path.h"

#include <string.h>

static const char GameExecutable[] = "rumbelon.exe";

static int Join(char *out, size_t size, const char *const *pieces, size_t count)
{
    return JoinPieces(out, size, pieces, count) ? static_cast<int>(strlen(out)) : -1;
}

static int Fail(char *out, size_t size)
{
    if (out && size > 0)
        out[0] = '\0';
    return -1;
}

int FormatGameCommandLine(char *out, size_t size, const char *folder, const char *option)
{
    if (!folder)
        return Fail(out, size);
    const char *quote = strchr(folder, ' ') ? "\"" : "";
    const char *pieces[] = {quote, folder, "\\", GameExecutable, quote, option};
    return Join(out, size, pieces, sizeof pieces / sizeof pieces[0]);
}

int FormatDiscCommandLine(char *out, size_t size, const char *root, const char *program)
{
    if (!root || !program || strnlen(root, 2) < 2)
        return Fail(out, size);
    const char drive[] = {root[0], root[1], '\0'};
    const char *pieces[] = {drive, program};
    return Join(out, size, pieces, 2);
}

const char *SplitCommandLine(const char *commandLine, char *program, size_t size)
{
    bool quoted = commandLine && commandLine[0] == '"';
    const char *start = commandLine ? commandLine + quoted : "";
    size_t length = strcspn(start, quoted ? "\"" : " \t");
    if (length == 0 || !program || length >= size) {
        Fail(program, size);
        return nullptr;
    }
    memcpy(program, start, length);
    program[length] = '\0';
    const char *rest = start + length + (quoted && start[length] == '"');
    return rest + strspn(rest, " \t");
}
