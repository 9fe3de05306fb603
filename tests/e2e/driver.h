#pragma once

// Drives real programs from outside, as a user would: starts them, finds
// their windows, reads and presses their controls, answers their message
// boxes and dialogs, types keys, looks at the screen and prepares the
// registry. Wide-character calls throughout, so that the driver reads the
// same texts whatever code page the locale under test brings. One source
// file for each part, as the sections below name them.

#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// Polls until `predicate` holds or `milliseconds` pass; returns the last
// answer.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return predicate();
        Sleep(20);
    }
}

// ---- Programs (driver_process.cpp) ----

// A started program. `process` is null when the start failed.
struct Child {
    HANDLE process = nullptr;
    DWORD processId = 0;
};

// Starts `commandLine` with `directory` as its current directory, with no
// handles inherited (so that no pipe of the test runner stays open).
Child Start(const std::wstring &commandLine, const std::wstring &directory);

// Waits up to `milliseconds` for the program to end. Returns its exit
// code, or -1 when it is still running.
long WaitForExit(const Child &child, DWORD milliseconds);

// Ends the program if it still runs and releases the handle.
void Stop(Child *child);

// A program that another started, taken hold of by its id while it runs,
// so that its exit code can still be read once it has ended; `process` is
// null when it cannot be opened.
Child Attach(DWORD processId);

// String `id` of the module at `path` (a program or a language library),
// read as the build put it in, at most size - 1 characters; empty when
// the module or the string is missing.
std::wstring ModuleString(const std::wstring &path, UINT id, int size = 256);

// The folder of this program, with a trailing backslash.
std::wstring ProgramFolder();

// ---- Windows, controls, dialogs, keys and clicks (driver_window.cpp) ----

// A top-level window of `className` and `title` (null matches any),
// belonging to `processId` (0: any process); null if there is none.
HWND FindTopWindow(const wchar_t *className, const wchar_t *title, DWORD processId = 0);

// Polls FindTopWindow until the window exists and is visible.
HWND WaitForTopWindow(const wchar_t *className, const wchar_t *title, DWORD processId, DWORD milliseconds);

// What a user can see of a child control.
struct Control {
    HWND window;
    int id;
    std::wstring className;
    std::wstring text;
    RECT rect;  // in the parent's client coordinates
    DWORD style;
    bool enabled;
    bool visible;
};

// The direct children of `parent`, in Z order (creation order for controls).
std::vector<Control> ReadControls(HWND parent);

// The child of `parent` with control id `id`; its window is null if none.
Control FindControl(HWND parent, int id);

std::wstring WindowText(HWND window);
RECT ClientRectOnScreen(HWND window);

// The text of a control of another process (WM_GETTEXT, which an edit
// control answers).
std::wstring ControlText(HWND control, DWORD milliseconds);

// Presses a button without waiting for what the press starts (a modal
// box, a dialog, the end of the program).
void Click(HWND button);

// A message box or dialog (class "#32770") of `processId`, with `title`
// unless that is null.
HWND WaitForDialog(DWORD processId, const wchar_t *title, DWORD milliseconds);

// The text of a message box (its static control, id 65535).
std::wstring MessageBoxText(HWND box);

// Whether a message box shows an icon (in its static control 1088), and
// the ids of its buttons, ascending.
bool ShowsIcon(HWND box, DWORD milliseconds);
std::vector<int> BoxButtons(HWND box);

// Presses the button `buttonId` of a message box or dialog (IDOK, IDCANCEL,
// IDRETRY...).
void Answer(HWND dialog, int buttonId);

// Types one key into whatever window has the keyboard focus.
void PressKey(WORD virtualKey);

// A real click of the left mouse button on the middle of a control. Both
// events carry the position, so that no pointer motion still on its way
// can move the click elsewhere.
void MouseClick(HWND control);

// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);

// ---- The screen and PNG files (driver_screen.cpp) ----

// 0x00RRGGBB pixels, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// What the screen shows in `area` (screen coordinates).
Image CaptureScreen(const RECT &area);

// The pixels of a bitmap, as the system decodes it.
Image BitmapPixels(HBITMAP bitmap);

// Writes an RGB PNG (stored, not compressed: the screenshots are small).
bool WritePng(const Image &image, const std::wstring &path);

// ---- The machine's registry (driver_registry.cpp) ----

// Under HKEY_LOCAL_MACHINE, in the view that 32-bit programs see. A value
// that cannot be read reads as an empty string or 0.
bool SetRegistryValue(const std::wstring &key, const std::wstring &name, DWORD type, const void *data, DWORD size);
bool SetRegistryString(const std::wstring &key, const std::wstring &name, const std::wstring &value);
void DeleteRegistryKey(const std::wstring &key);
bool RegistryKeyExists(const wchar_t *key);
std::wstring RegistryString(const wchar_t *key, const wchar_t *name);  // `name` null: the default value
DWORD RegistryNumber(const wchar_t *key, const wchar_t *name);

// ---- Drives, folders and files (driver_files.cpp) ----

// The drives of `table` ("d:cdrom f:hd", as run-suite mapped them) whose
// type is another, a line each ("drive E: should be a CD-ROM drive, is a
// hard disk"); empty when every drive has its type.
std::string DriveProblems(const char *table = getenv("RUMBELON_DRIVES"));

// Calls `visit` with the name of each entry of `folder` (trailing
// backslash), "." and ".." left out, and whether it is a folder; false
// when the folder cannot be listed.
bool ForEachEntry(const std::wstring &folder, const std::function<void(const std::wstring &, bool)> &visit);

// A new empty folder under the temporary folder, and its removal; a
// folder emptied (as a mapped drive's root must be: removing it would
// remove the folder that the letter maps to).
std::wstring MakeScratchFolder(const wchar_t *prefix);
void RemoveFolder(const std::wstring &folder);
void ClearFolder(const std::wstring &folder);
// The names in a folder (trailing backslash), sorted, subfolders marked
// with "\"; none for a folder that is not there.
std::vector<std::wstring> FolderListing(const std::wstring &folder);
bool CopyInto(const std::wstring &file, const std::wstring &folder);
bool Exists(const std::wstring &path);

// The whole file (read while others may write it), or "(missing)" when it
// cannot be opened, "(unreadable)" when it cannot be read.
std::string FileBytes(const std::wstring &path);
bool WriteFileBytes(const std::wstring &path, const std::string &bytes);

// A file's last-write time (0 when there is no file), and a file written
// with a time long past, so that any later write shows: returns that time,
// 0 on failure.
ULONGLONG LastWriteTime(const std::wstring &path);
ULONGLONG WriteOldFile(const std::wstring &path, const std::string &bytes);

}  // namespace driver
