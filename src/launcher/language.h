#pragma once

// The choice of the language library at start-up: from the first letter of
// the language file "lang.dat" when there is one, else from the user's
// locale. Null names mean no library: the program's own English strings.

#include <windows.h>

// How the locale's language id is asked for: GetLocaleInfoA, or a stand-in
// in tests, where the user's and the system's locale can differ.
typedef int(WINAPI *LocaleInfoReader)(LCID locale, LCTYPE type, LPSTR answer, int size);

// Picks the library (language_choice.h) from "lang.dat" in the current directory or
// from the user's default locale, as readLocale tells it. Returns 0 when
// the menu must refuse to run (a Japanese locale and no language file),
// else 1.
int ChooseLanguageLibrary(const char **library, LocaleInfoReader readLocale);

// Loads the named library (an ASCII name) from the menu's own folder by its
// full path, as a data file: no other folder is searched, and none of its
// code runs. The folder may hold characters that the ANSI code page cannot
// spell. Null when it is not there or the path would not fit.
HMODULE LoadLanguageLibrary(const char *name);
