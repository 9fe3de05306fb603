#pragma once

#include "settings/settings_record.h"

#include <stddef.h>

// The one line of "res.dat": the resolution code in decimal, a space, "W" or
// "F", a space, "L" or "H". Reading is lenient: lower-case letters count,
// white space between the fields is optional, anything after the second
// letter is ignored.

enum { SettingsLineSize = 64 };

// Writes the line (without its line end) into buffer; returns its length, or
// -1 when it does not fit.
int FormatSettingsLine(const SettingsRecord *record, char *buffer, size_t size);

// Reads a zero-terminated line into the record. The code changes only when
// the line starts with an integer; both flags are always rewritten.
void ParseSettingsLine(const char *line, SettingsRecord *record);
