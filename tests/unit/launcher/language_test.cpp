#include "launcher/language.h"
#include "launcher/language_choice.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

std::string Name(const char *library)
{
    return library ? library : "(none)";
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

int WINAPI UnreadableLocale(LCID, LCTYPE, LPSTR, int)
{
    return 0;
}

TEST_F(LanguageFile, WithoutTheFileTheUsersLocaleDecidesNotTheSystems)
{
    DeleteFileA("lang.dat");
    const char *library = nullptr;
    EXPECT_EQ(1, ChooseLanguageLibrary(&library, GermanUserEnglishSystem));
    EXPECT_EQ("rm_ger.dll", Name(library));
    // A locale that cannot be read is no reason to refuse: English.
    EXPECT_EQ(1, ChooseLanguageLibrary(&library, UnreadableLocale));
    EXPECT_EQ("rm_eng.dll", Name(library));
}

}  // namespace
