#include "driver.h"

#include <stdio.h>

#include <algorithm>
#include <sstream>

namespace driver {

Child Start(const std::wstring &commandLine, const std::wstring &directory)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    Child child;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        child.process = started.hProcess;
        child.processId = started.dwProcessId;
    }
    return child;
}

long WaitForExit(const Child &child, DWORD milliseconds)
{
    DWORD code = 0;
    if (!child.process || WaitForSingleObject(child.process, milliseconds) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child.process, &code))
        return -1;
    return long(code);
}

void Stop(Child *child)
{
    if (!child->process)
        return;
    if (WaitForSingleObject(child->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(child->process, 255);
        WaitForSingleObject(child->process, 5000);
    }
    CloseHandle(child->process);
    *child = Child();
}

namespace {

struct WindowQuery {
    const wchar_t *className;
    const wchar_t *title;
    DWORD processId;
    HWND found;
};

bool Matches(HWND window, const WindowQuery &query)
{
    wchar_t text[256];
    if (query.processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != query.processId)
            return false;
    }
    if (query.className && (!GetClassNameW(window, text, 256) || wcscmp(text, query.className) != 0))
        return false;
    if (query.title && WindowText(window) != query.title)
        return false;
    return true;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowQuery *query = reinterpret_cast<WindowQuery *>(parameter);
    if (!Matches(window, *query))
        return TRUE;
    query->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter)
{
    std::vector<HWND> *children = reinterpret_cast<std::vector<HWND> *>(parameter);
    children->push_back(window);
    return TRUE;
}

}  // namespace

HWND FindTopWindow(const wchar_t *className, const wchar_t *title, DWORD processId)
{
    WindowQuery query = {className, title, processId, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForTopWindow(const wchar_t *className, const wchar_t *title, DWORD processId, DWORD milliseconds)
{
    HWND window = nullptr;
    WaitUntil(
        [&] {
            window = FindTopWindow(className, title, processId);
            return window && IsWindowVisible(window);
        },
        milliseconds);
    return window && IsWindowVisible(window) ? window : nullptr;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

RECT ClientRectOnScreen(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::vector<Control> ReadControls(HWND parent)
{
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&windows));
    std::vector<Control> controls;
    for (HWND window : windows) {
        if (GetParent(window) != parent)
            continue;
        Control control;
        control.window = window;
        control.id = GetDlgCtrlID(window);
        wchar_t className[256] = L"";
        GetClassNameW(window, className, 256);
        control.className = className;
        control.text = WindowText(window);
        GetWindowRect(window, &control.rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&control.rect), 2);
        control.style = DWORD(GetWindowLongW(window, GWL_STYLE));
        control.enabled = IsWindowEnabled(window) != 0;
        control.visible = IsWindowVisible(window) != 0;
        controls.push_back(control);
    }
    return controls;
}

Control FindControl(HWND parent, int id)
{
    for (const Control &control : ReadControls(parent))
        if (control.id == id)
            return control;
    Control none = {};
    return none;
}

void Click(HWND button)
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

HWND WaitForDialog(DWORD processId, const wchar_t *title, DWORD milliseconds)
{
    return WaitForTopWindow(L"#32770", title, processId, milliseconds);
}

std::wstring MessageBoxText(HWND box)
{
    return WindowText(GetDlgItem(box, 65535));
}

void Answer(HWND dialog, int buttonId)
{
    HWND button = GetDlgItem(dialog, buttonId);
    if (button)
        Click(button);
    else
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
}

void PressKey(WORD virtualKey)
{
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

namespace {

// By GetDriveTypeW's answer: the drive type of Wine that gives it, and its
// name in a message.
const char *const WineTypes[] = {"", "", "floppy", "hd", "network", "cdrom", ""};
const char *const TypeNames[] = {"of no known type", "not mapped",      "a floppy drive", "a hard disk",
                                 "a network drive",  "a CD-ROM drive", "a RAM disk"};

}  // namespace

std::string DriveProblems(const char *table)
{
    if (!table)
        return "no drive table (RUMBELON_DRIVES): run the suite through scripts/run-suite\n";
    std::string problems, drive;
    for (std::istringstream drives(table); drives >> drive;) {
        UINT wanted = DRIVE_REMOVABLE;
        while (wanted <= DRIVE_CDROM && drive.compare(1, std::string::npos, std::string(":") + WineTypes[wanted]))
            wanted++;
        const wchar_t root[] = {wchar_t(toupper(drive[0])), L':', L'\\', L'\0'};
        UINT type = GetDriveTypeW(root);
        if (wanted > DRIVE_CDROM)
            problems += "drive " + drive + " is no LETTER:TYPE with a drive type of Wine\n";
        else if (type != wanted)
            problems += std::string("drive ") + char(root[0]) + ": should be " + TypeNames[wanted] + ", is " +
                        (type <= DRIVE_RAMDISK ? TypeNames[type] : "of type " + std::to_string(type)) + "\n";
    }
    return problems;
}

namespace {

// A top-down 32-bit DIB section of the given size, selected into `dc`.
HBITMAP MakeCanvas(HDC dc, int width, int height, uint32_t **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *memory = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<uint32_t *>(memory);
    return canvas;
}

Image CopyFrom(HDC source, int x, int y, int width, int height)
{
    Image image;
    HDC dc = CreateCompatibleDC(source);
    uint32_t *bits = nullptr;
    HBITMAP canvas = MakeCanvas(dc, width, height, &bits);
    if (canvas) {
        HGDIOBJ old = SelectObject(dc, canvas);
        if (BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY)) {
            GdiFlush();
            image.width = width;
            image.height = height;
            image.pixels.assign(bits, bits + size_t(width) * height);
            for (uint32_t &pixel : image.pixels)
                pixel &= 0xFFFFFF;
        }
        SelectObject(dc, old);
        DeleteObject(canvas);
    }
    DeleteDC(dc);
    return image;
}

}  // namespace

Image CaptureScreen(const RECT &area)
{
    HDC screen = GetDC(nullptr);
    Image image = CopyFrom(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return image;
}

Image BitmapPixels(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof info, &info))
        return Image();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Image image = CopyFrom(dc, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(dc, old);
    DeleteDC(dc);
    return image;
}

namespace {

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t> &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data)
{
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> Store(const std::vector<uint8_t> &raw)
{
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t done = 0;
    do {
        size_t length = raw.size() - done < 65535 ? raw.size() - done : 65535;
        out.push_back(done + length == raw.size() ? 1 : 0);
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length));
        out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + done, raw.begin() + done + length);
        done += length;
    } while (done < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

bool WritePng(const Image &image, const std::wstring &path)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < image.height; y++) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.width; x++) {
            uint32_t pixel = image.At(x, y);
            raw.push_back(uint8_t(pixel >> 16));
            raw.push_back(uint8_t(pixel >> 8));
            raw.push_back(uint8_t(pixel));
        }
    }
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(image.width));
    PutBigEndian(header, uint32_t(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Store(raw));
    PutChunk(png, "IEND", {});

    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

bool SetRegistryValue(HKEY root, const std::wstring &key, const std::wstring &name, DWORD type,
                      const void *data, DWORD size)
{
    HKEY opened;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool set = RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE *>(data), size) ==
               ERROR_SUCCESS;
    RegCloseKey(opened);
    return set;
}

bool SetRegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                       const std::wstring &value)
{
    return SetRegistryValue(root, key, name, REG_SZ, value.c_str(),
                            DWORD((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteRegistryKey(HKEY root, const std::wstring &key)
{
    RegDeleteTreeW(root, key.c_str());
    RegDeleteKeyW(root, key.c_str());
}

std::wstring ModuleString(const std::wstring &path, UINT id, int size)
{
    std::wstring text;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module) {
        std::vector<wchar_t> buffer(size_t(size), L'\0');
        LoadStringW(module, id, buffer.data(), size);
        text = buffer.data();
        FreeLibrary(module);
    }
    return text;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring MakeScratchFolder(const wchar_t *prefix)
{
    wchar_t base[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, base);
    for (unsigned n = GetTickCount() & 0xFFFF;; n++) {
        std::wstring folder = std::wstring(base) + prefix + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder + L"\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
}

bool ForEachEntry(const std::wstring &folder, const std::function<void(const std::wstring &, bool)> &visit)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

void ClearFolder(const std::wstring &folder)
{
    ForEachEntry(folder, [&](const std::wstring &name, bool isFolder) {
        if (isFolder)
            RemoveFolder(folder + name + L"\\");
        else
            DeleteFileW((folder + name).c_str());
    });
}

void RemoveFolder(const std::wstring &folder)
{
    ClearFolder(folder);
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> FolderListing(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    ForEachEntry(folder,
                 [&](const std::wstring &name, bool isFolder) { names.push_back(isFolder ? name + L"\\" : name); });
    std::sort(names.begin(), names.end());
    return names;
}

bool CopyInto(const std::wstring &file, const std::wstring &folder)
{
    return CopyFileW(file.c_str(), (folder + file.substr(file.find_last_of(L'\\') + 1)).c_str(), FALSE) != 0;
}

std::string FileBytes(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr) || got != bytes.size()))
        bytes = "(unreadable)";
    CloseHandle(file);
    return bytes;
}

bool WriteTextFile(const std::wstring &path, const char *text)
{
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = fputs(text, file) >= 0;
    return fclose(file) == 0 && written;
}

}  // namespace driver
