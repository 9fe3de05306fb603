#pragma once

// Which language library the menu's texts come from, by the first letter
// of the language file's first word or by the locale's language id. Null
// names mean no library: the program's own English strings.

// The library that a language file's first word names by its first
// letter (E, F, G, I, S in either case); null for any other letter.
const char *LanguageLibraryForLetter(char letter);

// The library for a locale's language id (its primary language, the low
// 10 bits, counts). Returns 0 for Japanese, which this version refuses,
// else 1 with `library` set (English for every other language).
int LanguageLibraryForLanguageId(unsigned languageId, const char **library);
