#include "menu_shared/menu_shared.h"

HMODULE LanguageLibrary;
HINSTANCE ProgramInstance;
HWND MenuWindow;

int LoadMenuString(UINT id, char *buffer, int size)
{
    buffer[0] = '\0';
    HINSTANCE module = LanguageLibrary ? LanguageLibrary : ProgramInstance;
    return LoadStringA(module, id, buffer, size);
}
