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

// Writes the record to the file. The file is replaced whole or not at all.
void SaveSettings();
