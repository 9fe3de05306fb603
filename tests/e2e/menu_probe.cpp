#include "menu_probe.h"

#include "rumbelon_paths.h"
#include "resources/resource.h"

namespace menu {

const wchar_t WindowName[] = L"Rumbelon Startup";
const wchar_t AppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\rumbelon.exe";
const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rumbelon";

std::wstring BinFolder()
{
    return RUMBELON_BIN_FOLDER;
}

std::wstring AutorunPath()
{
    return BinFolder() + L"autorun.exe";
}

std::wstring LibraryString(const wchar_t *library, UINT id, int size)
{
    return driver::ModuleString(BinFolder() + library, id, size);
}

driver::Child StartMenu(const std::wstring &directory, const std::wstring &program)
{
    std::wstring folder = directory;
    if (folder.empty())
        folder = program.substr(0, program.find_last_of(L'\\') + 1);
    return driver::Start(L"\"" + program + L"\"", folder);
}

HWND WaitForMenuWindow(const driver::Child &menu, DWORD milliseconds)
{
    if (!menu.process)
        return nullptr;
    WaitForInputIdle(menu.process, milliseconds);
    return driver::WaitForTopWindow(WindowName, WindowName, menu.processId, milliseconds);
}

// As the menu shows it at the screen's DPI: at whole multiples of 96 DPI
// every pixel repeated, else stretched with GDI's HALFTONE.
driver::Image Picture()
{
    driver::Image picture;
    HMODULE module = LoadLibraryExW(AutorunPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return picture;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP,
                                                     0, 0, LR_DEFAULTCOLOR));
    int dpi = ScreenDpi(), width = MulDiv(320, dpi, 96), height = MulDiv(240, dpi, 96);
    HDC screen = GetDC(nullptr), from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP shown = CreateCompatibleBitmap(screen, width, height);
    SelectObject(from, bitmap);
    SelectObject(to, shown);
    SetStretchBltMode(to, dpi % 96 ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    bool drawn = bitmap && shown && StretchBlt(to, 0, 0, width, height, from, 0, 0, 320, 240, SRCCOPY);
    DeleteDC(to);  // lets go of the copy, for BitmapPixels to select
    DeleteDC(from);
    ReleaseDC(nullptr, screen);
    if (drawn)
        picture = driver::BitmapPixels(shown);
    DeleteObject(shown);
    DeleteObject(bitmap);
    FreeLibrary(module);
    return picture;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool ShowsPicture(HWND window, const driver::Image &picture, int *mismatches)
{
    // The window's frame may leave the client area narrower than the
    // picture: compare what the client area can show.
    RECT area = driver::ClientRectOnScreen(window);
    int width = area.right - area.left < picture.width ? area.right - area.left : picture.width;
    int height = area.bottom - area.top < picture.height ? area.bottom - area.top : picture.height;
    area.right = area.left + width;
    area.bottom = area.top + height;
    driver::Image shown = driver::CaptureScreen(area);
    int differ = 0;
    if (shown.width != width || shown.height != height)
        differ = picture.width * picture.height;
    else
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                differ += shown.At(x, y) != picture.At(x, y);
    if (mismatches)
        *mismatches = differ;
    return picture.width > 0 && differ == 0;
}

const std::vector<bool> NotInstalled = {false, false, true, true, false, false, true};
const std::vector<bool> Installed = {true, true, false, true, true, true, true};

std::vector<bool> EnabledStates(HWND window)
{
    std::vector<bool> states;
    for (int id : {IDC_PLAY, IDC_PLAY_OPTION, IDC_INSTALL, IDC_INSTALL_DIRECTX, IDC_PERFORMANCE_SETTINGS,
                   IDC_UNINSTALL, IDC_EXIT})
        states.push_back(IsWindowEnabled(GetDlgItem(window, id)) != FALSE);
    return states;
}

void SendCommand(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

bool Settle(HWND window, DWORD milliseconds)
{
    HWND exit = GetDlgItem(window, IDC_EXIT), directX = GetDlgItem(window, IDC_INSTALL_DIRECTX);
    HWND target = driver::FocusOf(window) == exit ? directX : exit;
    PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    return driver::WaitUntil([&] { return driver::FocusOf(window) == target; }, milliseconds);
}

long CloseMenu(const driver::Child &menu, HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return driver::WaitForExit(menu, 20000);
}

}  // namespace menu
