#include "settings/resolution_list.h"

#include "settings/settings_record.h"

const char *const ResolutionRowTexts[ResolutionRowCount] = {
    "320x200", "400x300", "512x384", "640x480", "800x600", "1024x768",
};

static const int32_t ResolutionRowCodes[ResolutionRowCount] = {3, 4, 5, 6, 8, 1};

enum { FallbackRow = 3 };  // DefaultResolutionCode's

int ResolutionRowForCode(int32_t code)
{
    for (int row = 0; row < ResolutionRowCount; ++row)
        if (ResolutionRowCodes[row] == code)
            return row;
    return FallbackRow;
}

int32_t ResolutionCodeForRow(intptr_t row)
{
    if (row < 0 || row >= ResolutionRowCount)
        return DefaultResolutionCode;
    return ResolutionRowCodes[row];
}
