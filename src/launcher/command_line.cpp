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

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The first length characters of start, then ".exe" when asked, into
// program; false when that does not fit or is empty.
static bool Candidate(char *program, size_t size, const char *start, size_t length, bool withExe)
{
    size_t total = length + (withExe ? 4 : 0);
    if (length == 0 || total >= size)
        return false;
    memcpy(program, start, length);
    memcpy(program + length, ".exe", total - length);
    program[total] = '\0';
    return true;
}

// Whether the last component of the first length characters has a dot.
static bool HasExtension(const char *start, size_t length)
{
    for (size_t i = length; i > 0 && start[i - 1] != '\\' && start[i - 1] != '/'; --i) {
        if (start[i - 1] == '.')
            return true;
    }
    return false;
}

// The length of the shortest prefix of an unquoted line, ending before a
// blank or at the end, that names an existing program, which is then in
// program; 0 when none does.
static size_t FindUnquotedProgram(const char *start, char *program, size_t size, ProgramExists exists)
{
    if (!exists || IsBlank(start[0]))
        return 0;
    for (size_t end = 1; start[end - 1]; ++end) {
        bool endsHere = (start[end] == '\0' || IsBlank(start[end])) && !IsBlank(start[end - 1]);
        if (endsHere && Candidate(program, size, start, end, !HasExtension(start, end)) && exists(program))
            return end;
    }
    return 0;
}

const char *SplitCommandLine(const char *commandLine, char *program, size_t size, ProgramExists exists)
{
    if (!commandLine || !program) {
        Fail(program, size);
        return nullptr;
    }
    bool quoted = commandLine[0] == '"';
    const char *start = commandLine + quoted;
    size_t length = quoted ? 0 : FindUnquotedProgram(start, program, size, exists);
    if (length == 0) {
        length = strcspn(start, quoted ? "\"" : " \t");
        if (!Candidate(program, size, start, length, false)) {
            Fail(program, size);
            return nullptr;
        }
    }
    const char *rest = start + length + (quoted && start[length] == '"');
    return rest + strspn(rest, " \t");
}
