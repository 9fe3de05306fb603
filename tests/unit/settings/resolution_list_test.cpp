#include "settings/resolution_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ResolutionList, RowsAndCodesMapBothWays)
{
    const std::string texts[] = {"320x200", "400x300", "512x384", "640x480", "800x600", "1024x768"};
    const int32_t codes[] = {3, 4, 5, 6, 8, 1};
    for (int row = 0; row < ResolutionRowCount; ++row) {
        EXPECT_EQ(ResolutionRowTexts[row], texts[row]);
        EXPECT_EQ(ResolutionCodeForRow(row), codes[row]);
        EXPECT_EQ(ResolutionRowForCode(codes[row]), row);
    }
}

TEST(ResolutionList, EverythingElseFallsBackTo640x480)
{
    for (int32_t code : {2, 7, 0, 9, -1, 12, INT32_MIN, INT32_MAX})
        EXPECT_EQ(ResolutionRowForCode(code), 3) << code;
    for (intptr_t row : {-1, 6, 7, 100})  // -1: the list has no selection
        EXPECT_EQ(ResolutionCodeForRow(row), 6) << row;
}

}  // namespace
