// The Performance Settings dialog made from the real template 151 (this test
// carries the menu's resources) and driven by messages, as the platform's
// dialog manager and the user's clicks would drive it.

#include "settings/settings_dialog.h"

#include "menu_shared/menu_shared.h"
#include "resources/resource.h"
#include "rumbelon_paths.h"
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { ProgramInstance = GetModuleHandleA(nullptr); }

    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        if (LanguageLibrary)
            FreeLibrary(LanguageLibrary);
        LanguageLibrary = nullptr;
    }

    void Open(SettingsRecord record)
    {
        Settings = record;
        dialog = CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_PERFORMANCE_SETTINGS),
                                    nullptr, PerformanceSettingsDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
    }

    HWND Item(int id) { return GetDlgItem(dialog, id); }
    bool Checked(int id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void Command(int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::string Text(HWND window)
    {
        char text[128] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    std::string SelectedRow()
    {
        LRESULT row = SendMessageA(Item(IDC_RESOLUTION), CB_GETCURSEL, 0, 0);
        char text[32] = "(none)";
        if (row != CB_ERR)
            SendMessageA(Item(IDC_RESOLUTION), CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        return text;
    }

    HWND dialog = nullptr;
};

TEST_F(SettingsDialog, OpensOnTheRecord)
{
    Open({0, 0, 6});
    EXPECT_EQ(SelectedRow(), "640x480");
    EXPECT_TRUE(Checked(IDC_FULL_SCREEN));
    EXPECT_FALSE(Checked(IDC_WINDOWED));
    EXPECT_TRUE(Checked(IDC_HIGH));
    EXPECT_FALSE(Checked(IDC_LOW));
    EXPECT_EQ(SendMessageA(Item(IDC_RESOLUTION), CB_GETCOUNT, 0, 0), 6);
    DestroyWindow(dialog);

    Open({1, 1, 1});
    EXPECT_EQ(SelectedRow(), "1024x768");
    EXPECT_TRUE(Checked(IDC_WINDOWED));
    EXPECT_FALSE(Checked(IDC_FULL_SCREEN));
    EXPECT_TRUE(Checked(IDC_LOW));
    EXPECT_FALSE(Checked(IDC_HIGH));
    DestroyWindow(dialog);

    Open({0, 0, 8});
    EXPECT_EQ(SelectedRow(), "800x600");
}

TEST_F(SettingsDialog, CodesTheListDoesNotOfferShow640x480AndSave6)
{
    for (int32_t code : {2, 7, 0, 9, -1}) {
        SCOPED_TRACE(code);
        Open({0, 0, code});
        EXPECT_EQ(SelectedRow(), "640x480");
        Command(IDOK);
        EXPECT_EQ(Settings.resolutionCode, 6);
        DestroyWindow(dialog);
        dialog = nullptr;
    }
}

TEST_F(SettingsDialog, OkTakesEveryControlCancelNone)
{
    Open({0, 0, 6});
    SendMessageA(Item(IDC_RESOLUTION), CB_SETCURSEL, 4, 0);
    Click(IDC_WINDOWED);
    Click(IDC_LOW);
    EXPECT_FALSE(Checked(IDC_FULL_SCREEN));  // each pair is one group
    EXPECT_FALSE(Checked(IDC_HIGH));
    EXPECT_EQ(Settings.windowed, 0);         // nothing changes before OK
    Command(IDOK);
    EXPECT_EQ(Settings.resolutionCode, 8);
    EXPECT_EQ(Settings.windowed, 1);
    EXPECT_EQ(Settings.lowDrawingDistance, 1);
    DestroyWindow(dialog);

    Open({1, 1, 5});
    SendMessageA(Item(IDC_RESOLUTION), CB_SETCURSEL, 0, 0);
    Click(IDC_FULL_SCREEN);
    Click(IDC_HIGH);
    Command(IDCANCEL);
    EXPECT_EQ(Settings.resolutionCode, 5);
    EXPECT_EQ(Settings.windowed, 1);
    EXPECT_EQ(Settings.lowDrawingDistance, 1);
}

TEST_F(SettingsDialog, NoSelectionSavesCode6)
{
    Open({0, 0, 3});
    SendMessageA(Item(IDC_RESOLUTION), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Command(IDOK);
    EXPECT_EQ(Settings.resolutionCode, 6);
}

TEST_F(SettingsDialog, TextsComeFromTheLanguage)
{
    Open({0, 0, 6});  // the program's own strings have none of them
    EXPECT_EQ(Text(dialog), "");
    EXPECT_EQ(Text(Item(IDOK)), "");
    EXPECT_EQ(Text(Item(IDC_RESOLUTION_LABEL)), "");
    DestroyWindow(dialog);

    LanguageLibrary = LoadLibraryW((std::wstring(RUMBELON_BIN_FOLDER) + L"rm_ger.dll").c_str());
    ASSERT_NE(LanguageLibrary, nullptr);
    Open({0, 0, 6});
    char title[64];
    LoadStringA(LanguageLibrary, IDS_PERFORMANCE_SETTINGS, title, sizeof title);
    EXPECT_EQ(Text(dialog), title);
    for (auto [stringId, controlId] : {std::pair{IDS_DISPLAY, IDC_DISPLAY_GROUP},
                                       {IDS_DRAWING_DISTANCE, IDC_DRAWING_DISTANCE_GROUP},
                                       {IDS_FULL_SCREEN, IDC_FULL_SCREEN}, {IDS_WINDOWED, IDC_WINDOWED},
                                       {IDS_HIGH, IDC_HIGH}, {IDS_LOW, IDC_LOW}, {IDS_OK, IDOK},
                                       {IDS_CANCEL, IDCANCEL}, {IDS_RESOLUTION, IDC_RESOLUTION_LABEL}}) {
        char text[64];
        ASSERT_GT(LoadStringA(LanguageLibrary, stringId, text, sizeof text), 0);
        EXPECT_EQ(Text(Item(controlId)), text) << stringId;
    }
}

}  // namespace
