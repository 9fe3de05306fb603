// The real menu under Wine, worked from outside as a user would.
//
// Suites (see CMakeLists.txt): the default locale runs the Menu cases; the
// Japanese suite JapaneseLocale.* under a Japanese LC_ALL; the harness suite
// the drive mapping of run-suite; the autorun suite the disc's autorun.sh.

#include "menu_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

namespace {

using driver::Child;
using driver::Control;

struct ButtonLayout {
    int id;
    UINT stringId;
    int y;
    int height;
};

const ButtonLayout Layout[] = {
    {IDC_PLAY, IDS_PLAY, 245, 45},
    {IDC_PLAY_OPTION, IDS_PLAY_OPTION, 290, 45},
    {IDC_INSTALL, IDS_INSTALL, 335, 30},
    {IDC_INSTALL_DIRECTX, IDS_INSTALL_DIRECTX, 365, 30},
    {IDC_PERFORMANCE_SETTINGS, IDS_PERFORMANCE_SETTINGS, 395, 30},
    {IDC_UNINSTALL, IDS_UNINSTALL, 425, 30},
    {IDC_EXIT, IDS_EXIT, 455, 30},
};

using menu::EnabledStates;
using menu::Installed;
using menu::NotInstalled;

using Menu = MenuFixture;

TEST_F(Menu, WindowHasItsSizeCentredOnTheScreen)
{
    ASSERT_TRUE(OpenMenu());
    RECT frame;
    GetWindowRect(menuWindow, &frame);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(325, frame.right - frame.left);
    EXPECT_EQ(515, frame.bottom - frame.top);
    EXPECT_EQ((width - 325 - 1) / 2, frame.left);
    EXPECT_EQ((height - 515 - 1) / 2, frame.top);
    DWORD style = DWORD(GetWindowLongW(menuWindow, GWL_STYLE));
    EXPECT_EQ(DWORD(WS_CAPTION | WS_SYSMENU), style & ~DWORD(WS_VISIBLE | WS_CLIPSIBLINGS));
    EXPECT_EQ(0, GetWindowLongW(menuWindow, GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE));
}

TEST_F(Menu, SevenButtonsWithTheirIdsRectanglesCaptionsAndStyle)
{
    ASSERT_TRUE(OpenMenu());
    std::vector<Control> controls = driver::ReadControls(menuWindow);
    ASSERT_EQ(7u, controls.size());
    // An English locale without "lang.dat" picks the English library.
    const wchar_t *library = L"rm_eng.dll";
    for (size_t i = 0; i < controls.size(); i++) {
        SCOPED_TRACE(i);
        const Control &button = controls[i];
        EXPECT_EQ(Layout[i].id, button.id);
        EXPECT_EQ(L"Button", button.className);
        EXPECT_EQ(DWORD(0x50014000), button.style & ~DWORD(WS_DISABLED));
        EXPECT_EQ(0, GetWindowLongW(button.window, GWL_EXSTYLE));
        EXPECT_EQ(5, button.rect.left);
        EXPECT_EQ(Layout[i].y, button.rect.top);
        EXPECT_EQ(315, button.rect.right);
        EXPECT_EQ(Layout[i].y + Layout[i].height, button.rect.bottom);
        EXPECT_EQ(menu::LibraryString(library, Layout[i].stringId), button.text);
        EXPECT_FALSE(button.text.empty());
    }
}

// Also run at 120 and 192 DPI and with a caption twice as tall, as suites of
// their own (run-suite's RUMBELON_DPI and RUMBELON_CAPTION): the client area
// is the layout's, 319 by 490 at 96 DPI, scaled; every button lies whole in
// it, at its rectangle with each edge scaled; and the picture is shown at its
// scaled size. A window taller than the work area starts at its top.
TEST_F(Menu, ButtonsLieWholeInTheClientAreaAtAnyDpiAndCaption)
{
    const char *dpiSetting = getenv("RUMBELON_DPI"), *caption = getenv("RUMBELON_CAPTION");
    const int dpi = dpiSetting ? atoi(dpiSetting) : 96;
    ASSERT_EQ(dpi, menu::ScreenDpi());
    if (caption && *caption) {
        ASSERT_EQ(atoi(caption) + 1, GetSystemMetrics(SM_CYCAPTION));
    }
    ASSERT_TRUE(OpenMenu());
    auto scaled = [&](int pixels) { return MulDiv(pixels, dpi, 96); };
    RECT client, frame, work;
    GetClientRect(menuWindow, &client);
    EXPECT_EQ(scaled(319), client.right);
    EXPECT_EQ(scaled(490), client.bottom);
    std::vector<Control> controls = driver::ReadControls(menuWindow);
    ASSERT_EQ(7u, controls.size());
    for (size_t i = 0; i < controls.size(); i++) {
        RECT inside, place = {scaled(5), scaled(Layout[i].y), scaled(315), scaled(Layout[i].y + Layout[i].height)};
        EXPECT_TRUE(EqualRect(&place, &controls[i].rect) && IntersectRect(&inside, &client, &place) &&
                    EqualRect(&inside, &place)) << i;
    }
    GetWindowRect(menuWindow, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(frame.bottom - frame.top <= work.bottom - work.top || frame.top == work.top);
    EXPECT_TRUE(driver::WaitUntil([&] { return menu::ShowsPicture(menuWindow, menu::Picture()); }, 10000));
}

TEST_F(Menu, PictureOnScreenIsBitmap127)
{
    ASSERT_TRUE(OpenMenu());
    driver::Image picture = menu::Picture();
    ASSERT_EQ(320, picture.width);
    ASSERT_EQ(240, picture.height);
    int mismatches = -1;
    EXPECT_TRUE(driver::WaitUntil([&] { return menu::ShowsPicture(menuWindow, picture, &mismatches); }, 10000))
        << mismatches << " pixels differ";
    // The fixed frame leaves the client area one column short of the
    // picture; everything else of it is on screen.
    RECT client;
    GetClientRect(menuWindow, &client);
    EXPECT_GE(client.right, 319);
    EXPECT_GE(client.bottom, 485);
}

TEST_F(Menu, WithoutApplicationPathOnlyInstallDirectXAndExitAreEnabled)
{
    ASSERT_TRUE(OpenMenu());
    EXPECT_EQ(NotInstalled, EnabledStates(menuWindow));
}

TEST_F(Menu, AnyPathValueCountsAsInstalled)
{
    for (const wchar_t *path : {L"", L" ", L"C:\\Games\\Rumbelon"}) {
        SCOPED_TRACE(testing::Message() << "Path \"" << std::string(path, path + wcslen(path)) << "\"");
        SetPath(path);
        ASSERT_TRUE(OpenMenu());
        EXPECT_EQ(Installed, EnabledStates(menuWindow));
        EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
    }
}

TEST_F(Menu, APathValueThatIsNoStringCountsAsNotInstalled)
{
    DWORD number = 1;
    ASSERT_TRUE(driver::SetRegistryValue(menu::AppPathsKey, L"Path", REG_DWORD, &number, sizeof number));
    ASSERT_TRUE(OpenMenu());
    EXPECT_EQ(NotInstalled, EnabledStates(menuWindow));
}

TEST_F(Menu, RepaintAndFocusChangesReevaluateTheInstallation)
{
    ASSERT_TRUE(OpenMenu());
    ASSERT_EQ(NotInstalled, EnabledStates(menuWindow));

    SetPath(L"C:\\Games\\Rumbelon");
    InvalidateRect(menuWindow, nullptr, FALSE);
    EXPECT_TRUE(driver::WaitUntil([&] { return EnabledStates(menuWindow) == Installed; }, 5000));

    // A focus change is a notification: it refreshes, and runs no command.
    driver::DeleteRegistryKey(menu::AppPathsKey);
    SetForegroundWindow(menuWindow);
    driver::PressKey(VK_TAB);
    EXPECT_TRUE(driver::WaitUntil([&] { return EnabledStates(menuWindow) == NotInstalled; }, 5000));
    EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0));
    EXPECT_TRUE(menu::ShowsPicture(menuWindow, menu::Picture()));
}

TEST_F(Menu, KeyboardMovesBetweenEnabledButtonsAndEnterPressesTheFocusedOne)
{
    ASSERT_TRUE(OpenMenu());
    SetForegroundWindow(menuWindow);
    auto focusedId = [&] { return GetDlgCtrlID(driver::FocusOf(menuWindow)); };

    driver::PressKey(VK_TAB);  // the first enabled button
    EXPECT_TRUE(driver::WaitUntil([&] { return focusedId() == IDC_INSTALL; }, 5000)) << focusedId();
    driver::PressKey(VK_DOWN);
    EXPECT_TRUE(driver::WaitUntil([&] { return focusedId() == IDC_INSTALL_DIRECTX; }, 5000)) << focusedId();
    driver::PressKey(VK_TAB);  // past the disabled settings and uninstall buttons
    EXPECT_TRUE(driver::WaitUntil([&] { return focusedId() == IDC_EXIT; }, 5000)) << focusedId();
    EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0));

    driver::PressKey(VK_RETURN);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, 20000));
}

TEST_F(Menu, ExitButtonEndsWithCodeZero)
{
    ASSERT_TRUE(OpenMenu());
    driver::Click(driver::FindControl(menuWindow, IDC_EXIT).window);
    EXPECT_EQ(0, driver::WaitForExit(*menuProcess, 20000));
}

TEST_F(Menu, CloseBoxEndsWithCodeZero)
{
    ASSERT_TRUE(OpenMenu());
    EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
    EXPECT_FALSE(IsWindow(menuWindow));
}

TEST_F(Menu, SecondMenuEndsAtOnceWithCodeZero)
{
    ASSERT_TRUE(OpenMenu());
    Child &second = StartMenu();
    EXPECT_EQ(0, driver::WaitForExit(second, 20000));
    EXPECT_EQ(menuWindow, driver::FindTopWindow(menu::WindowName, menu::WindowName));
    EXPECT_EQ(-1, driver::WaitForExit(*menuProcess, 0));
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Menu, RunningGameWindowStopsTheStart)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = GameWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Rumbelon";
    RegisterClassW(&windowClass);
    HWND game = CreateWindowExW(0, L"Rumbelon", L"Rumbelon", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(game);
    Child &child = StartMenu();
    EXPECT_EQ(0, driver::WaitForExit(child, 20000));
    EXPECT_FALSE(driver::FindTopWindow(menu::WindowName, menu::WindowName));
    DestroyWindow(game);
    UnregisterClassW(L"Rumbelon", windowClass.hInstance);
}

TEST_F(Menu, LanguageFileChoosesTheLibrary)
{
    struct Case {
        const char *word;
        const wchar_t *library;
    };
    for (const Case &c : {Case{"german", L"rm_ger.dll"}, Case{"Français", L"rm_fre.dll"},
                          Case{"ITALIANO", L"rm_ita.dll"}, Case{"  spanish\r\n", L"rm_spa.dll"},
                          Case{"english", L"rm_eng.dll"}}) {
        SCOPED_TRACE(c.word);
        ASSERT_TRUE(OpenMenu(LanguageFolder(c.word)));
        EXPECT_EQ(menu::LibraryString(c.library, IDS_PLAY), driver::FindControl(menuWindow, IDC_PLAY).text);
        EXPECT_EQ(menu::LibraryString(c.library, IDS_PERFORMANCE_SETTINGS),
                  driver::FindControl(menuWindow, IDC_PERFORMANCE_SETTINGS).text);
        EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
    }
}

// The program's own English strings, with nothing for the buttons whose
// texts only a library has.
void ExpectOwnEnglishCaptions(HWND window)
{
    const wchar_t *expected[] = {L"Play Rumbelon", L"", L"Install Game", L"Install DirectX", L"",
                                 L"Uninstall Game", L"Exit"};
    for (size_t i = 0; i < 7; i++)
        EXPECT_EQ(expected[i], driver::FindControl(window, Layout[i].id).text) << i;
}

TEST_F(Menu, UnknownLanguageWordOrEmptyFileGivesTheProgramsOwnEnglish)
{
    for (const char *word : {"Nederlands", ""}) {
        SCOPED_TRACE(word);
        ASSERT_TRUE(OpenMenu(LanguageFolder(word)));
        ExpectOwnEnglishCaptions(menuWindow);
        EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
    }
}

// The menu copied without its libraries and started in a folder whose
// "lang.dat" asks for German, beside a planted "rm_ger.dll": the language
// library is looked for only in the menu's own folder, and no code of any
// library runs.
TEST_F(Menu, MissingLanguageLibraryGivesTheProgramsOwnEnglish)
{
    std::wstring folder = LanguageFolder(nullptr);
    ASSERT_TRUE(driver::CopyInto(menu::AutorunPath(), folder));
    std::wstring current = folder + L"current\\";
    ASSERT_TRUE(CreateDirectoryW(current.c_str(), nullptr));
    ASSERT_TRUE(driver::WriteFileBytes(current + L"lang.dat", "german"));
    ASSERT_TRUE(CopyFileW((driver::ProgramFolder() + L"planted_library.dll").c_str(),
                          (current + L"rm_ger.dll").c_str(), FALSE));
    OpenMenu(current, folder + L"autorun.exe");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((current + L"planted-library-ran").c_str()));
    ASSERT_TRUE(menuWindow);
    ExpectOwnEnglishCaptions(menuWindow);
    EXPECT_TRUE(driver::WaitUntil([&] { return menu::ShowsPicture(menuWindow, menu::Picture()); }, 10000));
    EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
}

// A copy of the menu in a folder that the ANSI code page cannot spell, with
// its German library and, as "rm_fre.dll", a library with an entry point:
// German still comes from the menu's folder, and no library's code runs.
TEST_F(Menu, LibrariesComeFromAFolderTheCodePageCannotSpellAndNeverRun)
{
    ASSERT_EQ(1252u, GetACP()) << "the folder below is chosen for code page 1252";
    std::wstring folder = LanguageFolder(nullptr) + L"\u0418\u0433\u0440\u044b\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(driver::CopyInto(menu::AutorunPath(), folder));
    ASSERT_TRUE(driver::CopyInto(menu::BinFolder() + L"rm_ger.dll", folder));
    const std::wstring planted = driver::ProgramFolder() + L"planted_library.dll";
    ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + L"rm_fre.dll").c_str(), FALSE));
    ASSERT_TRUE(driver::WriteFileBytes(folder + L"lang.dat", "german"));
    ASSERT_TRUE(OpenMenuOn(folder));
    EXPECT_EQ(driver::ModuleString(folder + L"rm_ger.dll", IDS_PLAY_OPTION),
              driver::FindControl(menuWindow, IDC_PLAY_OPTION).text);
    EXPECT_EQ(0, menu::CloseMenu(*menuProcess, menuWindow));
    // The planted library has no strings, so not even the window's class
    // can be named: the menu ends without a window.
    ASSERT_TRUE(driver::WriteFileBytes(folder + L"lang.dat", "french"));
    EXPECT_NE(-1, driver::WaitForExit(StartMenu(folder, folder + L"autorun.exe"), 20000));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"planted-library-ran").c_str()));
}

// Run with drive E: mapped as a CD-ROM drive by run-suite (a suite of its
// own), which hands its table on: the check that suites with drives begin
// with finds E: as it should be, and names each drive of another type.
TEST(Harness, MapsDriveEAsACdRomDrive)
{
    EXPECT_EQ(UINT(DRIVE_CDROM), GetDriveTypeW(L"E:\\"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"E:\\"));
    EXPECT_EQ("", driver::DriveProblems());
    EXPECT_EQ("drive E: should be a hard disk, is a CD-ROM drive\n", driver::DriveProblems("e:hd c:hd"));
}

// Suspends and resumes a thread, which takes a signal on the way.
volatile LONG resumed;
DWORD WINAPI SuspendAndResume(void *thread)
{
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_FULL;
    SuspendThread(thread);
    GetThreadContext(thread, &context);
    ResumeThread(thread);
    return resumed = 1;
}

// A thread comes back from a signal with its own TEB and C library thread
// data, while another thread exists: under qemu-i386 it once took the
// newest thread's (scripts/wine-qemu-preload.c).
TEST(Harness, ThreadsKeepTheirOwnSegmentsAcrossSignals)
{
    auto threadData = [] { DWORD data; __asm__ volatile("movl %%gs:0, %0" : "=r"(data)); return data; };
    const DWORD id = GetCurrentThreadId(), data = threadData();
    HANDLE self = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, id);
    HANDLE other = CreateThread(nullptr, 0, SuspendAndResume, self, 0, nullptr);
    EXPECT_TRUE(driver::WaitUntil([] { return resumed != 0; }, 20000));  // no wait on the server
    EXPECT_EQ(data, threadData());
    ASSERT_EQ(id, GetCurrentThreadId()) << "with another thread's TEB, the waits below could hang";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(other, 20000));
    CloseHandle(other);
    CloseHandle(self);
}

// Run by autorun-case, which then starts the disc's autorun.sh: the menu comes
// up from D:\, the first free letter, a CD-ROM drive, and installs from there.
// The close box ends it, and with it the script.
TEST(AutorunScript, BringsUpTheMenuOnTheDiscsCdRomDrive)
{
    ASSERT_TRUE(driver::WriteFileBytes(L"C:\\autorun-probe", ""));
    HWND window = driver::WaitForTopWindow(menu::WindowName, menu::WindowName, 0, 120000);
    ASSERT_TRUE(window);
    EXPECT_EQ("", driver::DriveProblems());  // E:, which shows the disc too, still a hard disk
    EXPECT_TRUE(driver::WaitUntil([&] { return EnabledStates(window) == NotInstalled; }, 20000));
    driver::Click(GetDlgItem(window, IDC_INSTALL));
    std::vector<demo::Run> runs = demo::WaitForRuns(1, 60000);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(L"D:\\setup.exe", runs[0].program);
    EXPECT_EQ(L"D:\\", runs[0].directory);
    HWND page = demo::WaitForPage(runs[0].processId, L"Next >", 60000);
    ASSERT_TRUE(page);
    driver::Answer(page, IDCANCEL);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Run with LC_ALL naming a Japanese locale (a suite of its own).
class JapaneseLocale : public Menu {
protected:
    void SetUp() override
    {
        Menu::SetUp();
        ASSERT_EQ(0x0411, GetUserDefaultLangID()) << "run this suite under a Japanese LC_ALL";
    }
};

TEST_F(JapaneseLocale, WithoutLanguageFileTheMenuRefusesWithABoxAndCodeZero)
{
    Child &child = StartMenu(LanguageFolder(nullptr));
    HWND box = driver::WaitForDialog(child.processId, L"Error", 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(L"This is not the Japanese version of Rumbelon", driver::MessageBoxText(box));
    EXPECT_FALSE(GetDlgItem(box, IDCANCEL));
    EXPECT_FALSE(driver::FindTopWindow(menu::WindowName, menu::WindowName));
    driver::Answer(box, IDOK);
    EXPECT_EQ(0, driver::WaitForExit(child, 20000));
    EXPECT_FALSE(driver::FindTopWindow(menu::WindowName, menu::WindowName));
}

TEST_F(JapaneseLocale, GermanLanguageFileGivesGermanCaptions)
{
    ASSERT_TRUE(OpenMenu(LanguageFolder("german")));
    for (const ButtonLayout &button : Layout)
        EXPECT_EQ(menu::LibraryString(L"rm_ger.dll", button.stringId), driver::FindControl(menuWindow, button.id).text);
}

TEST_F(JapaneseLocale, DutchLanguageFileGivesEnglishWithEmptyLibraryCaptions)
{
    ASSERT_TRUE(OpenMenu(LanguageFolder("Nederlands")));
    ExpectOwnEnglishCaptions(menuWindow);
}

}  // namespace
