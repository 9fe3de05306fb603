#pragma once

#include <stdint.h>

// The three performance settings of the installed game. The menu keeps one
// record for the whole process; it moves between memory and "res.dat" and is
// changed by the Performance Settings dialog.
struct SettingsRecord {
    int32_t windowed;            // 1: windowed display, 0: full screen
    int32_t lowDrawingDistance;  // 1: low drawing distance, 0: high
    int32_t resolutionCode;      // the game's display resolution code
};

// 640x480: the code of a record that no file has set yet, and the dialog's
// fallback for a code or a row it does not know.
const int32_t DefaultResolutionCode = 6;
