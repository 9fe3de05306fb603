#include "hostile_names.h"

#include "gamefs/archive_writer.h"

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
    {"COM1\\A", FastFileNameDevice},
    {"LPT9", FastFileNameDevice},
    {"CONOUT$.X", FastFileNameDevice},
    {"RES.DAT.", FastFileNameUnkept},  // Windows drops what ends a component: RES.DAT
    {"A. \\B", FastFileNameUnkept},
    {"A<B>C|D", FastFileNameUnkept},  // characters Windows refuses in a name
    {"\"Q\"?*", FastFileNameUnkept},
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
