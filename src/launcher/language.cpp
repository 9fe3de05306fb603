#include "launcher/language.h"

#include "launcher/language_choice.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

// The first character of the file's first white-space-delimited word, or
// EOF when there is none. Only that character decides, so the word itself
// is not read: the C runtime's formatted input would more than double the
// size of the menu.
static int FirstWordLetter(FILE *file)
{
    int c;
    do
        c = fgetc(file);
    while (c != EOF && isspace(c));
    return c;
}

int ChooseLanguageLibrary(const char **library, LocaleInfoReader readLocale)
{
    FILE *file = fopen("lang.dat", "rt");
    if (file) {
        int letter = FirstWordLetter(file);
        *library = letter == EOF ? nullptr : LanguageLibraryForLetter(static_cast<char>(letter));
        fclose(file);
        return 1;
    }
    char answer[32];
    if (!readLocale(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, answer, sizeof answer)) {
        *library = "rm_eng.dll";
        return 1;
    }
    return LanguageLibraryForLanguageId(unsigned(strtoul(answer, nullptr, 16)), library);
}

// The libraries hold strings only. Found by a bare name, the system would
// also search the current directory and PATH and run the entry point of
// whatever it found there; a menu copied to a hard disk, or a locale whose
// library is missing, would run a planted library's code. The folder is
// taken in UTF-16: its ANSI form turns every character that the code page
// cannot spell into '?', and a menu in "C:\Игры" would find no library.
HMODULE LoadLanguageLibrary(const char *name)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;  // cut off: the folder is not known
    wchar_t *folderEnd = wcsrchr(path, L'\\');
    if (!folderEnd || size_t(folderEnd + 1 - path) + strlen(name) >= MAX_PATH)
        return nullptr;
    // The libraries' names are ASCII, which widens byte for byte.
    wchar_t *out = folderEnd + 1;
    for (const char *c = name; *c; ++c)
        *out++ = static_cast<unsigned char>(*c);
    *out = L'\0';
    return LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}
