#pragma once

#include "settings/settings_record.h"

// The settings of the installed game and their file, "res.dat" in the
// installation folder that the game's application-path entry names.
// Failures are silent: where the file cannot be reached, nothing changes.

// The one record of the process: full screen, high drawing distance and
// code 6 (640x480) until a file says otherwise.
extern SettingsRecord Settings;

// Replaces the record's values by those of the file's first line, as far as
// it supplies them.
void LoadSettings();

// Writes the record to the file. A new file, written whole, replaces the old
// one, so the file is replaced whole or not at all. Where the folder allows
// no new file or the old file cannot be replaced (no right to create files,
// another program holding it open, every pending name taken), the file is
// written in place instead, as a plain write does: then a failure, a full
// disk say, may leave it cut off or empty.
void SaveSettings();
