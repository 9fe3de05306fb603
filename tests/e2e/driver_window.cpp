#include "driver.h"

#include <algorithm>

namespace driver {

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

std::wstring ControlText(HWND control, DWORD milliseconds)
{
    wchar_t text[2048] = L"";
    SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, milliseconds,
                        nullptr);
    return text;
}

bool ShowsIcon(HWND box, DWORD milliseconds)
{
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(GetDlgItem(box, 1088), STM_GETICON, 0, 0, SMTO_NORMAL, milliseconds, &icon);
    return icon != 0;
}

std::vector<int> BoxButtons(HWND box)
{
    std::vector<int> ids;
    for (const Control &control : ReadControls(box))
        if (control.className == L"Button" && control.visible)
            ids.push_back(control.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void MouseClick(HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT press[2] = {};
    for (INPUT &input : press) {
        input.type = INPUT_MOUSE;
        input.mi.dx = ((area.left + area.right) / 2 * 65536 + width - 1) / width;
        input.mi.dy = ((area.top + area.bottom) / 2 * 65536 + height - 1) / height;
    }
    press[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

}  // namespace driver
