#pragma once

// The fixture of the end-to-end suites: the menu in the fresh prefix that
// scripts/run-suite gives each suite, with the drives of the suite's table.
// A case begins with those drives checked, nothing installed and no log of
// the disc's programs; it ends with what it started stopped (and what the
// disc's programs left running), the installation removed and its own
// folders gone.

#include "demo_probe.h"
#include "menu_probe.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

class MenuFixture : public ::testing::Test {
protected:
    static constexpr DWORD Patience = 30000;

    void SetUp() override
    {
        const std::string drives = driver::DriveProblems();
        ASSERT_TRUE(drives.empty()) << drives;
        demo::RemoveInstallation();
        demo::ClearLog();
    }

    void TearDown() override
    {
        for (driver::Child &child : children)
            driver::Stop(&child);
        demo::StopLoggedRuns();
        demo::RemoveInstallation();
        for (const std::wstring &folder : folders)
            if (!folder.empty())  // not the current directory's contents
                driver::RemoveFolder(folder);
    }

    // `child`, kept to be stopped at the end of the case.
    driver::Child &Keep(const driver::Child &child)
    {
        children.push_back(child);
        return children.back();
    }

    // Starts the menu `program` in `directory` (the program's folder when
    // empty), kept.
    driver::Child &StartMenu(const std::wstring &directory = std::wstring(),
                             const std::wstring &program = menu::AutorunPath())
    {
        return Keep(menu::StartMenu(directory, program));
    }

    // Starts the menu and waits for its window: `menuProcess` and
    // `menuWindow` from then on.
    HWND OpenMenu(const std::wstring &directory = std::wstring(), const std::wstring &program = menu::AutorunPath())
    {
        menuProcess = &StartMenu(directory, program);
        menuWindow = menu::WaitForMenuWindow(*menuProcess, Patience);
        EXPECT_TRUE(menuWindow) << "the menu window did not appear";
        return menuWindow;
    }

    // The copy of the menu on the drive (or in the folder) `root`, opened
    // there.
    HWND OpenMenuOn(const std::wstring &root) { return OpenMenu(root, root + L"autorun.exe"); }

    // The folder `path` (trailing backslash) made anew, empty, and removed
    // at the end of the case; false when it cannot be made.
    bool FreshFolder(const std::wstring &path)
    {
        driver::RemoveFolder(path);
        folders.push_back(path);
        return CreateDirectoryW(path.c_str(), nullptr) != 0;
    }

    // A folder of the case's own, with a "lang.dat" holding `word` unless
    // that is null.
    std::wstring LanguageFolder(const char *word)
    {
        folders.push_back(driver::MakeScratchFolder(L"menu"));
        if (word) {
            EXPECT_TRUE(driver::WriteFileBytes(folders.back() + L"lang.dat", word));
        }
        return folders.back();
    }

    // Registers `path` as the installation folder ("Path").
    void SetPath(const std::wstring &path)
    {
        ASSERT_TRUE(driver::SetRegistryString(menu::AppPathsKey, L"Path", path));
    }

    driver::Child *menuProcess = nullptr;
    HWND menuWindow = nullptr;

private:
    std::deque<driver::Child> children;  // references to them stay valid
    std::vector<std::wstring> folders;
};
