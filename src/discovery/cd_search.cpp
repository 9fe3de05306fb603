#include "discovery/cd_search.h"

#include "gamefs/game_file.h"
#include "menu_shared/menu_shared.h"
#include "resources/resource.h"

#include <windows.h>

static const char DiscMarkerFile[] = "rumbelon\\rumbelon.exe";

DirectoryHandle *DiscDirectory;
int DiscSearchCancelled;

// What the last prompted rescan found, for FindGameDisc to return.
static int PromptedScanResult;

int DiscHoldsFile(DirectoryHandle *handle, const char *relativeFile)
{
    if (!handle)
        return 0;
    GameFile *file = OpenGameFile(handle, relativeFile, "r");
    if (!file)
        return 0;
    CloseGameFile(file);
    return 1;
}

const char *GameDiscFolder()
{
    return DirectoryPath(DiscDirectory);
}

void ReleaseGameDisc()
{
    CloseDirectory(DiscDirectory);
    DiscDirectory = nullptr;
}

// Roots come as "X:\" and a terminator, four characters each. The handle of
// a drive that does not hold the file is closed at once, and each scan
// starts by closing the previous scan's, so repeated retries pile up no
// handles.
int ScanCdDrives(const char *relativeFile)
{
    ReleaseGameDisc();

    char roots[256] = {};
    DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    if (length == 0 || length >= sizeof roots)
        return 0;

    int found = 0;
    for (DWORD at = 0; at < length && !found; at += 4) {
        if (GetDriveTypeA(roots + at) == DRIVE_CDROM) {
            DiscDirectory = OpenDirectory(roots + at, nullptr);
            found = DiscHoldsFile(DiscDirectory, relativeFile);
        }
        if (!found)
            ReleaseGameDisc();
    }
    return found;
}

// A prompt that cannot be shown, for want of its texts or of a message box,
// counts as Cancel: rescanning without the user's answer would never end.
int PromptForDisc()
{
    if (ShowMenuMessage(IDS_INSERT_DISC, MB_RETRYCANCEL, ShowNothing) != IDRETRY) {
        DiscSearchCancelled = 1;
        return 0;
    }
    PromptedScanResult = ScanCdDrives(DiscMarkerFile);
    return PromptedScanResult;
}

int FindGameDisc()
{
    if (ScanCdDrives(DiscMarkerFile))
        return 1;
    for (;;) {
        PromptForDisc();
        if (DiscSearchCancelled) {
            DiscSearchCancelled = 0;
            return 0;
        }
        if (PromptedScanResult)
            return PromptedScanResult;
    }
}
