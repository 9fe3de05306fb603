#include "launcher/language.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

const char *LanguageLibraryForLetter(char letter)
{
    switch (letter) {
    case 'E': case 'e': return "rm_eng.dll";
    case 'F': case 'f': return "rm_fre.dll";
    case 'G': case 'g': return "rm_ger.dll";
    case 'I': case 'i': return "rm_ita.dll";
    case 'S': case 's': return "rm_spa.dll";
    }
    return nullptr;
}

int LanguageLibraryForLanguageId(unsigned languageId, const char **library)
{
    switch (PRIMARYLANGID(languageId)) {
    case LANG_GERMAN: *library = "rm_ger.dll"; break;
    case LANG_SPANISH: *library = "rm_spa.dll"; break;
    case LANG_FRENCH: *library = "rm_fre.dll"; break;
    case LANG_ITALIAN: *library = "rm_ita.dll"; break;
    case LANG_JAPANESE: return 0;
    default: *library = "rm_eng.dll"; break;
    }
    return 1;
}

int ChooseLanguageLibrary(const char **library)
{
    FILE *file = fopen("lang.dat", "rt");
    if (file) {
        char word[32] = "";
        *library = fscanf(file, "%31s", word) == 1 ? LanguageLibraryForLetter(word[0]) : nullptr;
        fclose(file);
        return 1;
    }
    char answer[32];
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, answer, sizeof answer)) {
        *library = "rm_eng.dll";
        return 1;
    }
    return LanguageLibraryForLanguageId(unsigned(strtoul(answer, nullptr, 16)), library);
}
