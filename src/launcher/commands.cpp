#include "launcher/commands.h"

#include "discovery/cd_search.h"
#include "discovery/registry.h"
#include "launcher/command_line.h"
#include "launcher/program_start.h"
#include "launcher/window_helpers.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"

namespace {

const char Installer[] = "setup.exe";
const char DiscInstaller[] = "\\setup.exe";
const char DirectXInstaller[] = "\\redist\\directx6\\directx\\dxsetup.exe";
const char PlayOption[] = " -0v";

// What a failed start tells the user: a file of the disc, or of the
// installation, is missing.
enum LauncherError { DiscError = IDS_DISC_ERROR, InstallationError = IDS_INSTALLATION_ERROR };

void ShowLauncherError(LauncherError kind)
{
    ShowMenuMessage(kind, MB_OK | MB_ICONHAND, ShowAnyway);
}

// Starts the program; true when it runs. A start that failed shows the
// error `kind`; a user who declined the consent prompt has decided, and
// sees nothing.
bool Start(const char *commandLine, LauncherError kind)
{
    StartResult started = StartProgram(commandLine);
    if (started == ProgramNotStarted)
        ShowLauncherError(kind);
    return started == ProgramStarted;
}

// The root ("X:\") of the current directory's drive; false when the current
// directory cannot be read.
bool ReadCurrentRoot(char (&root)[4])
{
    char directory[MAX_PATH];
    if (ReadCurrentDirectory(directory) < 3)
        return false;
    lstrcpynA(root, directory, sizeof root);
    return true;
}

bool IsCdRomRoot(const char *root)
{
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

// Where a program of the disc starts from: the current drive when that is a
// CD-ROM drive (with the command line `bare` when there is one), else the
// drive that holds the disc. False when the current directory cannot be
// read or the user gave up the search.
bool FindDiscCommandLine(char (&commandLine)[MAX_PATH], const char *program, const char *bare)
{
    char root[4];
    if (!ReadCurrentRoot(root))
        return false;
    if (!IsCdRomRoot(root))
        return FindGameDisc() && FormatDiscCommandLine(commandLine, sizeof commandLine, GameDiscFolder(), program) >= 0;
    if (bare)
        lstrcpynA(commandLine, bare, sizeof commandLine);
    else
        FormatDiscCommandLine(commandLine, sizeof commandLine, root, program);
    return true;
}

// The menu leaves when the game was already installed in a real folder;
// before a first installation it stays, ready to play once the installer is
// done.
MenuNext Install()
{
    char commandLine[MAX_PATH] = "";
    if (!FindDiscCommandLine(commandLine, DiscInstaller, Installer) || !Start(commandLine, DiscError))
        return MenuStays;
    char folder[MAX_PATH] = "";
    return ReadInstallationFolder(folder) ? MenuQuits : MenuStays;
}

// The game starts in its installation folder, where it finds its files.
MenuNext Play(const char *option)
{
    char folder[MAX_PATH] = "";
    if (!ReadInstallationFolder(folder))
        return MenuStays;
    DirectoryHandle *handle = OpenDirectory(folder, nullptr);
    if (!handle)
        return MenuRefreshes;
    char previous[MAX_PATH] = "";
    bool remembered = ReadCurrentDirectory(previous) > 0;
    SetCurrentDirectoryA(folder);
    char commandLine[MAX_PATH];
    int built = FormatGameCommandLine(commandLine, sizeof commandLine, folder, option);
    CloseDirectory(handle);
    StartResult started = built >= 0 ? StartProgram(commandLine) : ProgramNotStarted;
    if (started == ProgramStarted)
        return MenuQuits;
    if (remembered)
        SetCurrentDirectoryA(previous);
    if (started == ProgramNotStarted)
        ShowLauncherError(InstallationError);
    return MenuStays;
}

MenuNext InstallDirectX()
{
    char commandLine[MAX_PATH] = "";
    if (FindDiscCommandLine(commandLine, DirectXInstaller, nullptr))
        Start(commandLine, DiscError);
    return MenuStays;
}

// Without an uninstaller to start there is nothing left to do here either.
MenuNext Uninstall()
{
    char commandLine[RegistryValueBufferSize] = "";
    if (ReadUninstallValue("Rumbelon", "UninstallString", commandLine) && !IsBlankValue(commandLine) &&
        !Start(commandLine, InstallationError))
        return MenuStays;
    return MenuQuits;
}

// The record changes only on OK; a dialog that cannot appear counts as
// cancelled.
MenuNext ChangePerformanceSettings()
{
    LoadSettings();
    if (DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_PERFORMANCE_SETTINGS), MenuWindow,
                        PerformanceSettingsDialogProc, 0) == 0)
        SaveSettings();
    return MenuRefreshes;
}

}  // namespace

MenuNext RunMenuCommand(int id, int code)
{
    // Notifications (focus changes among them) only refresh the menu.
    if (code != 0)
        return MenuRefreshes;
    switch (id) {
    case IDC_INSTALL:
        return Install();
    case IDC_PLAY:
        return Play(nullptr);
    case IDC_PLAY_OPTION:
        return Play(PlayOption);
    case IDC_INSTALL_DIRECTX:
        return InstallDirectX();
    case IDC_EXIT:
        return MenuQuits;
    case IDC_UNINSTALL:
        return Uninstall();
    case IDC_PERFORMANCE_SETTINGS:
        return ChangePerformanceSettings();
    }
    return MenuRefreshes;
}
