#include "hostile_names.h"

#include "fastfile/archive.h"
#include "fastfile/layout.h"
#include "fastfile/names.h"

#include <string.h>

const HostileName HostileNames[] = {
    {"../../ESC1", FastFileNameOutside},  // '/' separates too
    {"..\\..\\esc2", FastFileNameLowerCase | FastFileNameOutside},
    {"..\\X", FastFileNameOutside},
    {"A\\..\\B", FastFileNameOutside},
    {"..", FastFileNameOutside},
    {".", FastFileNameOutside},
    {".\\X", FastFileNameOutside},
    {"A/./B", FastFileNameOutside},
    {"\\ROOT", FastFileNameOutside},
    {"/ROOT", FastFileNameOutside},
    {"\\\\HOST\\S", FastFileNameOutside},
    {"C:X", FastFileNameOutside},      // the current folder of drive C
    {"C:\\X", FastFileNameOutside},
    {"A.TXT:S", FastFileNameOutside},  // a stream of A.TXT
    {"A\\\\B", FastFileNameOutside},
    {"A//B", FastFileNameOutside},
    {"A\\", FastFileNameOutside},
    {"A/", FastFileNameOutside},
    {"A\x01" "B", FastFileNameControl},
    {"A\nB", FastFileNameControl},
    {"\x1b]0;PWN\x07", FastFileNameControl},  // sets a terminal's title
    {"\x1b[2J\\..", FastFileNameControl | FastFileNameOutside},
    {"NUL", FastFileNameDevice},  // Windows devices, in any folder, with any extension
    {"nul.txt", FastFileNameLowerCase | FastFileNameDevice},
    {"NUL .TXT", FastFileNameDevice},  // the spaces before the dot do not count
    {"SUB\\AUX.A.B", FastFileNameDevice},
    {"CON", FastFileNameDevice},
    {"PRN.TXT", FastFileNameDevice},
    {"CONIN$", FastFileNameDevice},
    {"COM1\\A", FastFileNameDevice},
    {"COM9", FastFileNameDevice},
    {"LPT1.X", FastFileNameDevice},
    {"LPT9", FastFileNameDevice},
    // The superscript digits 1, 2 and 3 of code page 1252.
    {"COM\xb9.TXT", FastFileNameDevice}, {"COM\xb2", FastFileNameDevice}, {"COM\xb3", FastFileNameDevice},
    {"LPT\xb9", FastFileNameDevice}, {"LPT\xb2", FastFileNameDevice}, {"LPT\xb3", FastFileNameDevice},
    {"CONOUT$.X", FastFileNameDevice},
    {"RES.DAT.", FastFileNameUnkept},  // Windows drops what ends a component: RES.DAT
    {"A. \\B", FastFileNameUnkept},
    {"A<B>C|D", FastFileNameUnkept},  // characters Windows refuses in a name, together and alone
    {"\"Q\"?*", FastFileNameUnkept},
    {"<", FastFileNameUnkept}, {">", FastFileNameUnkept}, {"\"", FastFileNameUnkept},
    {"|", FastFileNameUnkept}, {"?", FastFileNameUnkept}, {"*", FastFileNameUnkept},
    {"DEL\x7f.", FastFileNameUnkept},  // byte 127 is printed escaped
};
const size_t HostileNameCount = sizeof HostileNames / sizeof HostileNames[0];

std::string ArchiveHolding(const char *name)
{
    const char *names[] = {"SAFE", "X"};
    const uint32_t sizes[] = {4, 4};
    std::string bytes(FastFileDirectorySizeFor(2), '\0');
    FastFileLayOut(reinterpret_cast<uint8_t *>(&bytes[0]), 2, names, sizes);
    char *stored = &bytes[FastFileHeaderSize + FastFileRecordSize];
    memset(stored, 0, FastFileNameSize);
    memcpy(stored, name, strnlen(name, FastFileNameSize));
    return bytes + "safe\x1a" "evil\x1a";
}
