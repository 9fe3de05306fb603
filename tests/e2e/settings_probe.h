#pragma once

// The Performance Settings dialog as the settings suite sees it from
// outside: the choice it shows and the texts it labels its controls with.

#include "driver.h"

#include <ostream>
#include <string>
#include <vector>

namespace settings {

// What the dialog shows: the selected row of the resolution list and which
// radio button of each pair is checked.
struct Shown {
    int row;  // 0 "320x200" ... 5 "1024x768"; -1 none
    bool fullScreen, windowed;
    bool high, low;
};

bool operator==(const Shown &a, const Shown &b);
std::ostream &operator<<(std::ostream &out, const Shown &shown);

// Rows of the list and the radio buttons that a choice checks.
Shown Choice(int row, bool windowed, bool low);

Shown Read(HWND dialog);

// The title and the labels of the dialog (strings 28 to 37), as the
// language library `library` of the build has them for the dialog's
// 64-byte buffer, and as `dialog` shows them; in the same order.
std::vector<std::wstring> LibraryTexts(const wchar_t *library);
std::vector<std::wstring> ShownTexts(HWND dialog);

}  // namespace settings
