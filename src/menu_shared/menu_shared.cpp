#include "menu_shared/menu_shared.h"

#include "resources/resource.h"

HMODULE LanguageLibrary;
HINSTANCE ProgramInstance;
HWND MenuWindow;

int LoadMenuString(UINT id, char *buffer, int size)
{
    buffer[0] = '\0';
    HINSTANCE module = LanguageLibrary ? LanguageLibrary : ProgramInstance;
    return LoadStringA(module, id, buffer, size);
}

int ShowMenuMessage(UINT textId, UINT type, MissingTexts missing)
{
    char text[MenuStringSize + 1], caption[MenuStringSize + 1];
    int textLength = LoadMenuString(textId, text, MenuStringSize);
    int captionLength = LoadMenuString(IDS_ERROR_CAPTION, caption, MenuStringSize);
    if ((textLength == 0 || captionLength == 0) && missing == ShowNothing)
        return 0;
    return MessageBoxA(MenuWindow, text, caption, type);
}
