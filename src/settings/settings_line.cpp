#include "settings/settings_line.h"

#include <string.h>

// "%d %c %c" written by hand: the C runtime's formatted output would more
// than double the size of the menu.
int FormatSettingsLine(const SettingsRecord *record, char *buffer, size_t size)
{
    char line[16];  // "-2147483648 W L" and its terminator
    char *end = line + sizeof line;
    char *p = end;
    *--p = '\0';
    *--p = record->lowDrawingDistance ? 'L' : 'H';
    *--p = ' ';
    *--p = record->windowed ? 'W' : 'F';
    *--p = ' ';
    int32_t code = record->resolutionCode;
    uint32_t magnitude = code < 0 ? 0 - static_cast<uint32_t>(code) : static_cast<uint32_t>(code);
    do
        *--p = static_cast<char>('0' + magnitude % 10);
    while (magnitude /= 10);
    if (code < 0)
        *--p = '-';
    size_t length = static_cast<size_t>(end - p) - 1;
    if (length >= size)
        return -1;
    memcpy(buffer, p, length + 1);
    return static_cast<int>(length);
}

// White space as formatted input knows it in the "C" locale.
static bool IsFormatSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static const char *SkipSpace(const char *p)
{
    while (IsFormatSpace(*p))
        ++p;
    return p;
}

// An optional sign and at least one decimal digit, as "%d" reads them. Digits
// beyond the range of 32 bits wrap around, as the Windows C runtime's do.
static const char *ReadDecimal(const char *p, int32_t *value)
{
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return nullptr;
    uint32_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = magnitude * 10 + static_cast<uint32_t>(*p - '0');
    if (negative)
        magnitude = 0 - magnitude;
    *value = static_cast<int32_t>(magnitude);
    return p;
}

// "%d %c %c": the letters are whatever characters follow the skipped white
// space, so "8WL", "8 w l" and "  8   W   L" read alike.
void ParseSettingsLine(const char *line, SettingsRecord *record)
{
    char display = 0;
    char distance = 0;
    const char *p = ReadDecimal(SkipSpace(line), &record->resolutionCode);
    if (p) {
        p = SkipSpace(p);
        if (*p) {
            display = *p++;
            p = SkipSpace(p);
            distance = *p;
        }
    }
    record->windowed = display == 'w' || display == 'W';
    record->lowDrawingDistance = distance == 'l' || distance == 'L';
}
