#include "settings_probe.h"

#include "menu_probe.h"
#include "resources/resource.h"

namespace settings {

bool operator==(const Shown &a, const Shown &b)
{
    return a.row == b.row && a.fullScreen == b.fullScreen && a.windowed == b.windowed && a.high == b.high &&
           a.low == b.low;
}

std::ostream &operator<<(std::ostream &out, const Shown &shown)
{
    return out << "row " << shown.row << (shown.fullScreen ? " FullScreen" : "") << (shown.windowed ? " Windowed" : "")
               << (shown.high ? " High" : "") << (shown.low ? " Low" : "");
}

Shown Choice(int row, bool windowed, bool low)
{
    return {row, !windowed, windowed, !low, low};
}

Shown Read(HWND dialog)
{
    auto checked = [&](int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    int row = int(SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0));
    return {row, checked(IDC_FULL_SCREEN), checked(IDC_WINDOWED), checked(IDC_HIGH), checked(IDC_LOW)};
}

// The strings by the control they label (0: the title).
struct DialogText {
    int controlId;
    UINT stringId;
};

const DialogText DialogTexts[] = {
    {0, IDS_PERFORMANCE_SETTINGS},
    {IDC_DISPLAY_GROUP, IDS_DISPLAY},
    {IDC_DRAWING_DISTANCE_GROUP, IDS_DRAWING_DISTANCE},
    {IDC_FULL_SCREEN, IDS_FULL_SCREEN},
    {IDC_WINDOWED, IDS_WINDOWED},
    {IDC_HIGH, IDS_HIGH},
    {IDC_LOW, IDS_LOW},
    {IDOK, IDS_OK},
    {IDCANCEL, IDS_CANCEL},
    {IDC_RESOLUTION_LABEL, IDS_RESOLUTION},
};

std::vector<std::wstring> LibraryTexts(const wchar_t *library)
{
    std::vector<std::wstring> texts;
    for (const DialogText &text : DialogTexts)
        texts.push_back(menu::LibraryString(library, text.stringId, 64));
    return texts;
}

std::vector<std::wstring> ShownTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (const DialogText &text : DialogTexts)
        texts.push_back(driver::WindowText(text.controlId ? GetDlgItem(dialog, text.controlId) : dialog));
    return texts;
}

}  // namespace settings
