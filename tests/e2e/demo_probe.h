#pragma once

// The demo disc as the end-to-end suites see it: where it was built, copies
// of it on mapped drives, its installer's pages, the log its programs
// write, and the registry entries of an installation.

#include "driver.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace demo {

// The built disc folder, with a trailing backslash.
std::wstring DiscFolder();

// The disc in a drive: the whole disc (subfolders included) copied into
// `root` (trailing backslash), which is made if missing, unless it holds
// the disc already.
bool InsertDisc(const std::wstring &root);

// Where the disc's installer puts the game ($PROGRAMFILES of a 32-bit
// installer in a 64-bit prefix) and the uninstaller it writes there; the
// entries it registers are the menu's (menu_probe.h).
extern const wchar_t InstallFolder[];
extern const wchar_t UninstallerName[];

// The installer's folder of Start menu shortcuts (trailing backslash).
extern const wchar_t StartMenuFolder[];

// Removes what an installation leaves: the registry entries, the
// installation folder and the shortcuts.
void RemoveInstallation();

// The installer's or uninstaller's window (its title ends in a space on
// every page but the first) of the process `processId`, once it shows the
// page that the button `button` leaves ("Next >", "Install", "Uninstall",
// "Finish": the caption without its "&"), that button enabled; null when
// the page does not come.
HWND WaitForPage(DWORD processId, const wchar_t *button, DWORD milliseconds);

// Goes through the pages as a user would: waits for each button of
// `buttons` in turn and presses it. Returns the caption of the first button
// that did not come, or an empty string when all did.
std::wstring AnswerPages(DWORD processId, std::initializer_list<const wchar_t *> buttons, DWORD milliseconds);

// Registers `folder` as the installation folder ("Path" of the application
// path entry) and `uninstall` as the uninstall command line; an empty
// string leaves that entry out. Both entries are removed first.
void Register(const std::wstring &folder, const std::wstring &uninstall);

// One start of a program of the disc, as it logged it.
struct Run {
    std::wstring program;
    DWORD processId;
    std::wstring directory;
    std::wstring commandLine;
};

// The disc's log, "C:\rumbelon-demo.log": read it, empty it, and wait
// until it holds at least `count` runs.
std::vector<Run> ReadLog();
void ClearLog();
std::vector<Run> WaitForRuns(size_t count, DWORD milliseconds);

// Ends what the programs of the log still run (a failed case would leave
// them in the way of the next). Only a process that still runs the logged
// program is ended, should a process id have been reused.
void StopLoggedRuns();

}  // namespace demo
