#include "gamefs/text_line.h"

enum { CarriageReturn = 13, LineFeed = 10, EndOfInput = -1 };

int ReadGameChar(GameFile *file)
{
    if (!file || !file->stream)
        return EndOfInput;
    if (file->entry && file->entryLeft == 0)
        return EndOfInput;  // lasting: the stream stays at the entry's end
    int c = getc(file->stream);
    if (c == EOF)
        return EndOfInput;
    if (file->entry)
        --file->entryLeft;
    return c;
}

// Hands a character back to the stream (one character of push-back).
static void UnreadGameChar(GameFile *file, int c)
{
    if (ungetc(c, file->stream) != EOF && file->entry)
        ++file->entryLeft;
}

static bool IsLineEnd(int c)
{
    return c == CarriageReturn || c == LineFeed;
}

int ReadLine(GameFile *file, char *buffer, int size)
{
    if (!file || !file->stream || !buffer || size < 2)
        return 0;
    int c = ReadGameChar(file);
    int i = 0;
    while (i < size - 1 && c != EndOfInput && !IsLineEnd(c)) {
        buffer[i++] = static_cast<char>(c);
        c = ReadGameChar(file);
    }
    buffer[i] = '\0';

    if (IsLineEnd(c)) {
        // 13 10 and 10 13 are one line end; a second equal character starts
        // the next line.
        int d = ReadGameChar(file);
        if (d != EndOfInput && (d == c || !IsLineEnd(d)))
            UnreadGameChar(file, d);
    } else if (c != EndOfInput) {
        UnreadGameChar(file, c);  // the buffer is full; the line goes on
    }
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
