#pragma once

// The choice of the language library at start-up: from the first letter of
// the language file "lang.dat" when there is one, else from the user's
// locale. Null names mean no library: the program's own English strings.

// The library that a language file's first word names by its first
// letter (E, F, G, I, S in either case); null for any other letter.
const char *LanguageLibraryForLetter(char letter);

// The library for a locale's language id (its primary language, the low
// 10 bits, counts). Returns 0 for Japanese, which this version refuses,
// else 1 with `library` set (English for every other language).
int LanguageLibraryForLanguageId(unsigned languageId, const char **library);

// Picks the library as above from "lang.dat" in the current directory or
// from the user's default locale. Returns 0 when the menu must refuse to
// run (a Japanese locale and no language file), else 1.
int ChooseLanguageLibrary(const char **library);
