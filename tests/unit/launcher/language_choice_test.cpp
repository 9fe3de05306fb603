// The language library named by a letter or by a locale's language id.

#include "launcher/language_choice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Name(const char *library)
{
    return library ? library : "(none)";
}

TEST(LanguageChoice, FirstLetterOfTheLanguageWordInEitherCase)
{
    const char *expected[][2] = {{"Ee", "rm_eng.dll"}, {"Ff", "rm_fre.dll"}, {"Gg", "rm_ger.dll"},
                                 {"Ii", "rm_ita.dll"}, {"Ss", "rm_spa.dll"}};
    for (auto &row : expected) {
        EXPECT_EQ(row[1], Name(LanguageLibraryForLetter(row[0][0])));
        EXPECT_EQ(row[1], Name(LanguageLibraryForLetter(row[0][1])));
    }
    for (char other : {'D', 'n', 'J', '\0', '1', char(0xC9)})
        EXPECT_EQ(nullptr, LanguageLibraryForLetter(other)) << int(other);
}

TEST(LanguageChoice, PrimaryLanguageOfTheLocale)
{
    struct Case {
        unsigned id;
        const char *library;
    };
    for (const Case &c : {Case{0x0407, "rm_ger.dll"}, Case{0x0807, "rm_ger.dll"}, Case{0x0C07, "rm_ger.dll"},
                          Case{0x040A, "rm_spa.dll"}, Case{0x0C0A, "rm_spa.dll"}, Case{0x040C, "rm_fre.dll"},
                          Case{0x0C0C, "rm_fre.dll"}, Case{0x0410, "rm_ita.dll"}, Case{0x0810, "rm_ita.dll"},
                          Case{0x0409, "rm_eng.dll"}, Case{0x0809, "rm_eng.dll"}, Case{0x0413, "rm_eng.dll"},
                          Case{0x0000, "rm_eng.dll"}, Case{0xFC07, "rm_ger.dll"}}) {
        const char *library = nullptr;
        EXPECT_EQ(1, LanguageLibraryForLanguageId(c.id, &library)) << std::hex << c.id;
        EXPECT_EQ(c.library, Name(library)) << std::hex << c.id;
    }
    const char *library = "unchanged";
    EXPECT_EQ(0, LanguageLibraryForLanguageId(0x0411, &library));
    EXPECT_EQ(0, LanguageLibraryForLanguageId(0x1011, &library));
}

}  // namespace
