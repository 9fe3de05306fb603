#pragma once

// The rules for the names an archive stores: what the game's lookups can
// find, and what can be written under that name on the game's system.

// The rules a stored name can break, one bit each; a name can break
// several at once.
enum FastFileNameFault : unsigned {
    FastFileNameSound = 0,
    FastFileNameEmpty = 1u << 0,
    FastFileNameTooLong = 1u << 1,    // more than 12 characters
    FastFileNameLowerCase = 1u << 2,  // lookups upper-case the name, so it could not be found
    FastFileNameOutside = 1u << 3,    // could name a file outside the archive's folder
    FastFileNameControl = 1u << 4,    // holds bytes below 32
    FastFileNameDevice = 1u << 5,     // a component Windows opens as a device (NUL, COM1.TXT, ...)
    FastFileNameUnkept = 1u << 6,     // a character Windows refuses, or a component it would trim
};

// The faults for which nothing may be written under such a name. The
// archives are a Windows game's, so what Windows would write elsewhere, or
// under another name, is unsafe on every system.
const unsigned FastFileNameUnsafe = FastFileNameEmpty | FastFileNameOutside | FastFileNameControl |
                                    FastFileNameDevice | FastFileNameUnkept;

// Every rule the name, as it is to be stored, breaks (FastFileNameFault
// bits); FastFileNameSound when it breaks none.
unsigned FastFileCheckName(const char *name);
