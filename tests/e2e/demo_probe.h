#pragma once

// The demo disc as the end-to-end suites see it: where it was built, copies
// of it on mapped drives, the log its stand-ins write, and the registry
// entries of an installation.

#include "driver.h"

#include <string>
#include <vector>

namespace demo {

// The built disc folder, with a trailing backslash.
std::wstring DiscFolder();

// Copies the whole disc (subfolders included) into `folder` (trailing
// backslash), which is made if missing.
bool CopyDisc(const std::wstring &folder);

// Where the demo installer puts the game, and its registry keys under
// HKEY_LOCAL_MACHINE.
extern const wchar_t InstallFolder[];
extern const wchar_t AppPathsKey[];
extern const wchar_t UninstallKey[];

// Registers `folder` as the installation folder ("Path" of the application
// path entry) and `uninstall` as the uninstall command line; an empty
// string leaves that entry out. Both entries are removed first.
void Register(const std::wstring &folder, const std::wstring &uninstall);

// One start of a stand-in, as it logged it.
struct Run {
    std::wstring program;
    DWORD processId;
    std::wstring directory;
    std::wstring commandLine;
};

// The stand-ins' log, "C:\rumbelon-demo.log": read it, empty it, and wait
// until it holds at least `count` runs.
std::vector<Run> ReadLog();
void ClearLog();
std::vector<Run> WaitForRuns(size_t count, DWORD milliseconds);

}  // namespace demo
