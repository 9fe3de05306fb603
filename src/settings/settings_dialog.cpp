#include "settings/settings_dialog.h"

#include "menu_shared/menu_shared.h"
#include "resources/resource.h"
#include "settings/resolution_list.h"
#include "settings/settings_file.h"

// Every text of the template comes from the language, in this order; the
// dialog's own title has no control id.
struct DialogText {
    UINT stringId;
    int controlId;
};

static const DialogText SettingsDialogTexts[] = {
    {IDS_PERFORMANCE_SETTINGS, 0},
    {IDS_DISPLAY, IDC_DISPLAY_GROUP},
    {IDS_DRAWING_DISTANCE, IDC_DRAWING_DISTANCE_GROUP},
    {IDS_FULL_SCREEN, IDC_FULL_SCREEN},
    {IDS_WINDOWED, IDC_WINDOWED},
    {IDS_HIGH, IDC_HIGH},
    {IDS_LOW, IDC_LOW},
    {IDS_OK, IDOK},
    {IDS_CANCEL, IDCANCEL},
    {IDS_RESOLUTION, IDC_RESOLUTION_LABEL},
};

enum { DialogTextSize = 64 };

static void SetDialogTexts(HWND dialog)
{
    for (const DialogText &text : SettingsDialogTexts) {
        char buffer[DialogTextSize] = "";
        LoadMenuString(text.stringId, buffer, DialogTextSize);
        if (text.controlId)
            SetDlgItemTextA(dialog, text.controlId, buffer);
        else
            SetWindowTextA(dialog, buffer);
    }
}

// A click on an automatic radio button checks it and clears its partner.
static void ClickButton(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

static INT_PTR InitSettingsDialog(HWND dialog)
{
    SetDialogTexts(dialog);
    ClickButton(dialog, Settings.windowed ? IDC_WINDOWED : IDC_FULL_SCREEN);
    ClickButton(dialog, Settings.lowDrawingDistance ? IDC_LOW : IDC_HIGH);
    HWND list = GetDlgItem(dialog, IDC_RESOLUTION);
    for (const char *text : ResolutionRowTexts)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, CB_SETCURSEL, ResolutionRowForCode(Settings.resolutionCode), 0);
    return TRUE;  // the dialog manager sets the focus
}

static bool IsChecked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The record changes here only, all three fields together.
static INT_PTR AcceptSettings(HWND dialog)
{
    LRESULT row = SendMessageA(GetDlgItem(dialog, IDC_RESOLUTION), CB_GETCURSEL, 0, 0);
    Settings.resolutionCode = ResolutionCodeForRow(row);
    Settings.windowed = IsChecked(dialog, IDC_WINDOWED);
    Settings.lowDrawingDistance = IsChecked(dialog, IDC_LOW);
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK PerformanceSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM /*lParam*/)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitSettingsDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            return AcceptSettings(dialog);
        case IDCANCEL:
            EndDialog(dialog, -1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
