#pragma once

#include <windows.h>

// The Performance Settings dialog (template 151) over the settings record:
// it shows the record when it opens and changes it only on OK. Ends with 0
// after OK and -1 after Cancel, Esc or the close box.
INT_PTR CALLBACK PerformanceSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam);
