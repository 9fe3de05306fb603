#include "settings/settings_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SettingsRecord Parsed(const char *line, SettingsRecord before = {1, 1, 99})
{
    ParseSettingsLine(line, &before);
    return before;
}

void ExpectRecord(const SettingsRecord &record, int32_t code, int32_t windowed, int32_t low)
{
    EXPECT_EQ(record.resolutionCode, code);
    EXPECT_EQ(record.windowed, windowed);
    EXPECT_EQ(record.lowDrawingDistance, low);
}

std::string Formatted(SettingsRecord record)
{
    char buffer[SettingsLineSize];
    int length = FormatSettingsLine(&record, buffer, sizeof buffer);
    return length < 0 ? "(failed)" : std::string(buffer, length);
}

TEST(SettingsLine, WritesTheCodeAndTwoCapitalLetters)
{
    EXPECT_EQ(Formatted({0, 0, 6}), "6 F H");
    EXPECT_EQ(Formatted({0, 0, 0}), "0 F H");  // no sign on zero
    EXPECT_EQ(Formatted({1, 1, 1}), "1 W L");
    EXPECT_EQ(Formatted({7, 0, -12}), "-12 W H");  // any non-zero flag is set
    EXPECT_EQ(Formatted({0, 1, INT32_MIN}), "-2147483648 F L");

    SettingsRecord record = {0, 0, 6};
    char tiny[5];
    EXPECT_EQ(FormatSettingsLine(&record, tiny, sizeof tiny), -1);
}

TEST(SettingsLine, ReadsLenientSpellings)
{
    ExpectRecord(Parsed("8 W L"), 8, 1, 1);
    ExpectRecord(Parsed("8 w l"), 8, 1, 1);
    ExpectRecord(Parsed("8WL"), 8, 1, 1);
    ExpectRecord(Parsed("  4   W   H"), 4, 1, 0);
    ExpectRecord(Parsed("\t+3\vF\fL trailing words"), 3, 0, 1);
    ExpectRecord(Parsed("12 F H"), 12, 0, 0);
}

TEST(SettingsLine, TheLettersAreWhateverCharactersFollow)
{
    ExpectRecord(Parsed("5 F"), 5, 0, 0);               // no distance letter: high
    ExpectRecord(Parsed("6 Windowed Low"), 6, 1, 0);    // the distance letter is the 'i'
    ExpectRecord(Parsed("6 L W"), 6, 0, 0);             // letters in the wrong places
    ExpectRecord(Parsed("7"), 7, 0, 0);
}

TEST(SettingsLine, WithoutALeadingIntegerOnlyTheFlagsChange)
{
    ExpectRecord(Parsed("W L"), 99, 0, 0);
    ExpectRecord(Parsed(""), 99, 0, 0);
    ExpectRecord(Parsed("   "), 99, 0, 0);
    ExpectRecord(Parsed("- 5 W L"), 99, 0, 0);
    ExpectRecord(Parsed("+W L"), 99, 0, 0);
}

TEST(SettingsLine, CodesOutsideThirtyTwoBitsWrapAround)
{
    ExpectRecord(Parsed("-2147483648 W L"), INT32_MIN, 1, 1);
    ExpectRecord(Parsed("4294967302 F H"), 6, 0, 0);
    ExpectRecord(Parsed("99999999999999999999999 W"), -159383553, 1, 0);
}

TEST(SettingsLine, EveryWrittenLineReadsBack)
{
    for (int32_t code : {INT32_MIN, -1, 0, 1, 3, 6, 8, 12, INT32_MAX})
        for (int32_t windowed = 0; windowed < 2; ++windowed)
            for (int32_t low = 0; low < 2; ++low) {
                char buffer[SettingsLineSize];
                SettingsRecord record = {windowed, low, code};
                ASSERT_GT(FormatSettingsLine(&record, buffer, sizeof buffer), 0);
                SettingsRecord back = {7, 7, 7};
                ParseSettingsLine(buffer, &back);
                ExpectRecord(back, code, windowed, low);
            }
}

}  // namespace
