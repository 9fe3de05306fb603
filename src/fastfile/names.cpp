#include "fastfile/names.h"

#include "fastfile/archive.h"

#include <string.h>

// Windows takes either separator, and the archive tool writes '/' paths on
// other systems, so both separate components here.
static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The digits of COM and LPT ports: 1 to 9, and the superscript digits of
// code page 1252 (0xB9, 0xB2 and 0xB3), which Windows takes as 1, 2 and 3.
static bool IsPortDigit(char c)
{
    return (c >= '1' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
}

// Windows opens these as devices in any folder, whatever follows the first
// dot and with the spaces before it ignored: "nul .txt" is NUL.
static bool NamesDevice(const char *part, size_t n)
{
    switch (part[0] & ~0x20) {  // each device's first letter, in either case
    case 'A': case 'C': case 'L': case 'N': case 'P':
        break;
    default:
        return false;
    }
    size_t base = 0;
    while (base < n && part[base] != '.')
        ++base;
    while (base > 0 && part[base - 1] == ' ')
        --base;
    char upper[8] = {};
    if (base >= sizeof upper)
        return false;
    memcpy(upper, part, base);
    FastFileUpperCase(upper);
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char *device : devices) {
        if (strcmp(upper, device) == 0)
            return true;
    }
    return base == 4 && (memcmp(upper, "COM", 3) == 0 || memcmp(upper, "LPT", 3) == 0) && IsPortDigit(upper[3]);
}

// The rules one component (the n bytes between separators) can break. An
// empty component (which a join could turn into a root), "." and ".." would
// let an extracted entry land anywhere; Windows drops the dots and spaces
// that end any other component, so it would be written under another name.
static unsigned ComponentFaults(const char *part, size_t n)
{
    if (n == 0 || (part[0] == '.' && (n == 1 || (n == 2 && part[1] == '.'))))
        return FastFileNameOutside;
    unsigned faults = NamesDevice(part, n) ? FastFileNameDevice : FastFileNameSound;
    if (part[n - 1] == '.' || part[n - 1] == ' ')
        faults |= FastFileNameUnkept;
    return faults;
}

unsigned FastFileCheckName(const char *name)
{
    if (!name || !name[0])
        return FastFileNameEmpty;
    unsigned faults = FastFileNameSound;
    if (strlen(name) > FastFileNameSize)
        faults |= FastFileNameTooLong;
    for (const char *c = name; *c; ++c) {
        if (*c >= 'a' && *c <= 'z')
            faults |= FastFileNameLowerCase;
        if (static_cast<unsigned char>(*c) < 32)
            faults |= FastFileNameControl;
        if (*c == ':')  // a drive, or a stream of a file
            faults |= FastFileNameOutside;
        switch (*c) {
        case '<': case '>': case '"': case '|': case '?': case '*':
            faults |= FastFileNameUnkept;
        }
    }
    for (const char *part = name;; ++part) {
        const char *end = part;
        while (*end && !IsSeparator(*end))
            ++end;
        faults |= ComponentFaults(part, static_cast<size_t>(end - part));
        if (!*end)
            return faults;
        part = end;
    }
}
