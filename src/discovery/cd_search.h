#pragma once

#include "gamefs/directory.h"

// The search of the machine's CD-ROM drives for the game disc, recognised by
// its marker file "rumbelon\rumbelon.exe". While no drive holds it the user
// is asked to insert the disc (Retry/Cancel).

// The root of the drive where the disc was last found; null while a scan
// looks at other drives and after a scan that found nothing.
extern DirectoryHandle *DiscDirectory;

// The path of that root ("E:\\"), or null when no disc was found.
const char *GameDiscFolder();

// Closes and forgets the disc's handle. The menu's quit sequence calls it
// before the file system shuts down: the shutdown releases every handle
// still open, and this pointer must not outlive the handle it names.
void ReleaseGameDisc();

// Set when the user cancelled the prompt; cleared once FindGameDisc saw it.
extern int DiscSearchCancelled;

// Non-zero when the disc was found (DiscDirectory is then its root), 0 when
// the user gave up.
int FindGameDisc();

// One pass over every drive; 1 when a CD-ROM drive holds relativeFile.
int ScanCdDrives(const char *relativeFile);

// 1 when relativeFile opens through handle; a null handle holds nothing.
int DiscHoldsFile(DirectoryHandle *handle, const char *relativeFile);

// Asks for the disc and, unless the user cancels, scans once more.
int PromptForDisc();
