#pragma once

#include <stdint.h>

// The rows of the Performance Settings dialog's resolution list, top to
// bottom, and the game's resolution codes they stand for. 640x480 (code 6,
// row 3) is the fallback both ways.

enum { ResolutionRowCount = 6 };

extern const char *const ResolutionRowTexts[ResolutionRowCount];

// The row that shows code; a code the list does not offer shows 640x480.
int ResolutionRowForCode(int32_t code);

// The code of row; any other answer of the list (none selected) gives 6.
int32_t ResolutionCodeForRow(intptr_t row);
