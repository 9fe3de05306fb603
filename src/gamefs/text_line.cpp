#include "gamefs/text_line.h"

#include "gamefs/gamefs_internal.h"

enum { CarriageReturn = 13, LineFeed = 10, EndOfInput = -1 };

// ReadLine holds the stream's lock for the whole line and reads the bytes
// without it, as the C runtime's own fgets does; getc would take and drop
// the lock for every byte.
#ifdef _WIN32
static void LockStream(FILE *stream) { _lock_file(stream); }
static void UnlockStream(FILE *stream) { _unlock_file(stream); }
static int GetUnlocked(FILE *stream) { return _getc_nolock(stream); }
#else
static void LockStream(FILE *stream) { flockfile(stream); }
static void UnlockStream(FILE *stream) { funlockfile(stream); }
static int GetUnlocked(FILE *stream) { return getc_unlocked(stream); }
#endif
static int GetLocked(FILE *stream) { return getc(stream); }

// Where a line is read from: the stream, and for an entry the bytes of its
// data not yet read. ReadLine keeps it in a local, so that its stores into
// the caller's buffer do not make every byte reload the file's fields.
namespace {
struct LineSource {
    FILE *stream;
    bool entry;
    uint32_t left;
};
}  // namespace

static LineSource SourceOf(const GameFile *file)
{
    return {file->stream, file->entry != nullptr, file->entryLeft};
}

// The next byte, or -1 at the end of the input or of the entry's data. The
// end of an entry is lasting: the stream stays there.
template <int (*Get)(FILE *)>
static int NextChar(LineSource *source)
{
    if (source->entry && source->left == 0)
        return EndOfInput;
    int c = Get(source->stream);
    if (c == EOF)
        return EndOfInput;
    if (source->entry)
        --source->left;
    return c;
}

int ReadGameChar(GameFile *file)
{
    if (!file || !file->stream)
        return EndOfInput;
    LineSource source = SourceOf(file);
    int c = NextChar<GetLocked>(&source);
    file->entryLeft = source.left;
    return c;
}

// Hands a character back to the stream (one character of push-back).
static void Unread(LineSource *source, int c)
{
    if (ungetc(c, source->stream) != EOF && source->entry)
        ++source->left;
}

static bool IsLineEnd(int c)
{
    return c == CarriageReturn || c == LineFeed;
}

int ReadLine(GameFile *file, char *buffer, int size)
{
    if (!file || !file->stream || !buffer || size < 2)
        return 0;
    LineSource source = SourceOf(file);
    LockStream(source.stream);
    int c = NextChar<GetUnlocked>(&source);
    int i = 0;
    while (i < size - 1 && c != EndOfInput && !IsLineEnd(c)) {
        buffer[i++] = static_cast<char>(c);
        c = NextChar<GetUnlocked>(&source);
    }
    buffer[i] = '\0';

    if (IsLineEnd(c)) {
        // 13 10 and 10 13 are one line end; a second equal character starts
        // the next line.
        int d = NextChar<GetUnlocked>(&source);
        if (d != EndOfInput && (d == c || !IsLineEnd(d)))
            Unread(&source, d);
    } else if (c != EndOfInput) {
        Unread(&source, c);  // the buffer is full; the line goes on
    }
    UnlockStream(source.stream);
    file->entryLeft = source.left;
    return i == 0 && c == EndOfInput ? 0 : 1;
}

int IsBinary(const GameFile *file)
{
    return file ? file->binary : 0;
}

int WriteLineEnd(GameFile *file)
{
    if (!file || !file->stream)
        return 0;
    if (IsBinary(file) && putc(CarriageReturn, file->stream) == EOF)
        return 0;
    return putc(LineFeed, file->stream) != EOF;
}

int WriteLine(GameFile *file, const char *text)
{
    if (!file || !file->stream || !text)
        return 0;
    if (fputs(text, file->stream) == EOF)
        return 0;
    return WriteLineEnd(file);
}
