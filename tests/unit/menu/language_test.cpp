#include "launcher/language.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

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

// Runs the choice in a folder of its own, with "lang.dat" holding `content`
// (no file when null).
class LanguageFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        folder = std::string(base) + "language_test_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(previous);
        DeleteFileA((folder + "\\lang.dat").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string Choose(const char *content, int expectedResult = 1)
    {
        DeleteFileA("lang.dat");
        if (content) {
            FILE *file = fopen("lang.dat", "wb");
            fputs(content, file);
            fclose(file);
        }
        const char *library = "unset";
        EXPECT_EQ(expectedResult, ChooseLanguageLibrary(&library, GetLocaleInfoA));
        return Name(library);
    }

    std::string folder;
    char previous[MAX_PATH];
};

TEST_F(LanguageFile, FirstWordChoosesTheLibrary)
{
    EXPECT_EQ("rm_ger.dll", Choose("german"));
    EXPECT_EQ("rm_ita.dll", Choose(" \r\n\t italiano\r\n"));
    EXPECT_EQ("rm_spa.dll", Choose((std::string(40, 's') + " french").c_str()));
    EXPECT_EQ("rm_fre.dll", Choose("F"));
    EXPECT_EQ("(none)", Choose("Nederlands"));
    EXPECT_EQ("(none)", Choose(""));
    EXPECT_EQ("(none)", Choose("  \r\n"));
}

TEST_F(LanguageFile, WithoutTheFileTheLocaleDecides)
{
    const char *expected = nullptr;
    ASSERT_EQ(1, LanguageLibraryForLanguageId(GetUserDefaultLangID(), &expected));
    EXPECT_EQ(Name(expected), Choose(nullptr));
}

// A user whose locale is German on a system whose locale is English (under
// Wine both come from LC_ALL, so the answer is made up here).
int WINAPI GermanUserEnglishSystem(LCID locale, LCTYPE type, LPSTR answer, int size)
{
    if (type != LOCALE_ILANGUAGE)
        return 0;
    lstrcpynA(answer, locale == LOCALE_USER_DEFAULT ? "0407" : "0409", size);
    return lstrlenA(answer) + 1;
}

TEST_F(LanguageFile, WithoutTheFileTheUsersLocaleDecidesNotTheSystems)
{
    DeleteFileA("lang.dat");
    const char *library = nullptr;
    EXPECT_EQ(1, ChooseLanguageLibrary(&library, GermanUserEnglishSystem));
    EXPECT_EQ("rm_ger.dll", Name(library));
}

}  // namespace
