#include "launcher/language_choice.h"

namespace {

// Primary language ids, as Windows numbers them.
enum : unsigned {
    PrimaryLanguageMask = 0x3FF,
    German = 0x07,
    Spanish = 0x0A,
    French = 0x0C,
    Italian = 0x10,
    Japanese = 0x11,
};

}  // namespace

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
    switch (languageId & PrimaryLanguageMask) {
    case German: *library = "rm_ger.dll"; break;
    case Spanish: *library = "rm_spa.dll"; break;
    case French: *library = "rm_fre.dll"; break;
    case Italian: *library = "rm_ita.dll"; break;
    case Japanese: return 0;
    default: *library = "rm_eng.dll"; break;
    }
    return 1;
}
