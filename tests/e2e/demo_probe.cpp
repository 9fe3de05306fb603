#include "demo_probe.h"

#include "menu_probe.h"
#include "rumbelon_paths.h"

#include <stdlib.h>

#include <algorithm>

namespace demo {

const wchar_t InstallFolder[] = L"C:\\Program Files (x86)\\Rumbelon";
const wchar_t UninstallerName[] = L"uninst.exe";
const wchar_t StartMenuFolder[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Rumbelon\\";

namespace {

const wchar_t LogPath[] = L"C:\\rumbelon-demo.log";

bool CopyFolder(const std::wstring &from, const std::wstring &to)
{
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    bool copied = true;
    bool listed = driver::ForEachEntry(from, [&](const std::wstring &name, bool isFolder) {
        if (isFolder)
            copied = CopyFolder(from + name + L"\\", to + name + L"\\") && copied;
        else
            copied = CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE) && copied;
    });
    return listed && copied;
}

// The log's lines are in the ANSI code page; the paths of the suites are
// plain ASCII.
std::wstring Widen(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

std::vector<std::string> SplitFields(const std::string &line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; fields.size() < 3 && (tab = line.find('\t', start)) != std::string::npos;
         start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// A button's caption as a user reads it, without the "&" of its access key.
std::wstring Caption(HWND button)
{
    std::wstring text = driver::WindowText(button);
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

}  // namespace

HWND WaitForPage(DWORD processId, const wchar_t *button, DWORD milliseconds)
{
    HWND wizard = nullptr;
    auto shown = [&] {
        wizard = driver::FindTopWindow(L"#32770", nullptr, processId);
        HWND next = GetDlgItem(wizard, IDOK);
        return next && IsWindowVisible(next) && IsWindowEnabled(next) && Caption(next) == button;
    };
    return driver::WaitUntil(shown, milliseconds) ? wizard : nullptr;
}

std::wstring AnswerPages(DWORD processId, std::initializer_list<const wchar_t *> buttons, DWORD milliseconds)
{
    for (const wchar_t *button : buttons) {
        HWND wizard = WaitForPage(processId, button, milliseconds);
        if (!wizard)
            return button;
        driver::Answer(wizard, IDOK);
    }
    return L"";
}

std::wstring DiscFolder()
{
    return RUMBELON_DISC_FOLDER;
}

bool InsertDisc(const std::wstring &root)
{
    return driver::Exists(root + L"rumbelon\\rumbelon.exe") || CopyFolder(DiscFolder(), root);
}

void Register(const std::wstring &folder, const std::wstring &uninstall)
{
    driver::DeleteRegistryKey(menu::AppPathsKey);
    driver::DeleteRegistryKey(menu::UninstallKey);
    if (!folder.empty())
        driver::SetRegistryString(menu::AppPathsKey, L"Path", folder);
    if (!uninstall.empty())
        driver::SetRegistryString(menu::UninstallKey, L"UninstallString", uninstall);
}

void RemoveInstallation()
{
    Register(L"", L"");
    driver::RemoveFolder(std::wstring(InstallFolder) + L"\\");
    driver::RemoveFolder(StartMenuFolder);
}

std::vector<Run> ReadLog()
{
    std::vector<Run> runs;
    std::string text = driver::FileBytes(LogPath);  // no line in a missing log
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
        if (fields.size() == 4)
            runs.push_back({Widen(fields[0]), DWORD(strtoul(fields[1].c_str(), nullptr, 10)),
                            Widen(fields[2]), Widen(fields[3])});
    }
    return runs;
}

void ClearLog()
{
    DeleteFileW(LogPath);
}

std::vector<Run> WaitForRuns(size_t count, DWORD milliseconds)
{
    std::vector<Run> runs;
    driver::WaitUntil([&] { return (runs = ReadLog()).size() >= count; }, milliseconds);
    return runs;
}

void StopLoggedRuns()
{
    for (const Run &run : ReadLog()) {
        driver::Child child = driver::Attach(run.processId);
        wchar_t image[MAX_PATH] = L"";
        DWORD size = MAX_PATH;
        if (child.process && QueryFullProcessImageNameW(child.process, 0, image, &size) &&
            _wcsicmp(image, run.program.c_str()) == 0)
            driver::Stop(&child);
        else if (child.process)
            CloseHandle(child.process);
    }
}

}  // namespace demo
