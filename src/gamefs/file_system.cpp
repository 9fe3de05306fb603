#include "gamefs/file_system.h"

#include "gamefs/crt.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/path.h"

#include <string.h>

List *SearchPathRegistry;
List *DirectoryRegistry;
List *OpenFileRegistry;

SearchPath *ProgramSearchPath;
SearchPath *WorkingSearchPath;
DirectoryHandle *ProgramDirectory;
DirectoryHandle *WorkingDirectory;

// The drive and directory of the program as it was started, with their
// trailing backslash: D:\SETUP\AUTORUN.EXE gives D:\SETUP\, a bare file
// name gives the empty string. folder holds _MAX_PATH bytes. A path too long
// to be a path gives false: the split copies each part whole, so the parts
// get buffers as large as the path they come from.
static bool ProgramFolder(char *folder)
{
    const char *program = __argv && __argv[0] ? __argv[0] : "";
    if (strlen(program) >= _MAX_PATH)
        return false;
    char drive[_MAX_PATH], directory[_MAX_PATH];
    _splitpath(program, drive, directory, nullptr, nullptr);
    _makepath(folder, drive, directory, nullptr, nullptr);
    return true;
}

// The current directory with a trailing backslash; a drive root keeps the
// one it has. False when it cannot be taken.
static bool CurrentFolder(char *folder, size_t size)
{
    if (!_getcwd(folder, static_cast<int>(size - 1)))
        return false;
    size_t n = strlen(folder);
    if (n > 1 && !EndsWithBackslash(folder)) {
        folder[n] = '\\';
        folder[n + 1] = '\0';
    }
    return true;
}

int FileSystemStartup()
{
    if (SearchPathRegistry)
        return 1;  // already running
    SearchPathRegistry = ListCreate();
    DirectoryRegistry = ListCreate();
    OpenFileRegistry = ListCreate();

    char folder[_MAX_PATH];
    ProgramSearchPath = ProgramFolder(folder) ? CreateSearchPath(folder) : nullptr;

    char current[GamePathBufferSize + 1];
    WorkingSearchPath = CurrentFolder(current, sizeof current) ? CreateSearchPath(current) : nullptr;

    // Without a search path these fail, as the empty path is not absolute.
    ProgramDirectory = OpenDirectory("", ProgramSearchPath);
    WorkingDirectory = OpenDirectory("", WorkingSearchPath);
    return 1;
}

// Closes the element in the list's first node until the list is empty; each
// close removes that node.
template <typename Record, typename Result>
static void CloseEach(List *registry, Result (*close)(Record *))
{
    while (!ListIsEmpty(registry))
        close(static_cast<Record *>(registry->next->payload));
}

void CloseAllGameFiles()
{
    CloseEach(OpenFileRegistry, CloseGameFile);
    ListDestroy(OpenFileRegistry);
    OpenFileRegistry = nullptr;
}

// Search paths go before the handles that refer to them: closing a handle
// only destroys its own list and never follows the reference.
void FileSystemShutdown()
{
    CloseEach(SearchPathRegistry, CloseSearchPath);
    ListDestroy(SearchPathRegistry);
    CloseEach(DirectoryRegistry, CloseDirectory);
    ListDestroy(DirectoryRegistry);
    CloseAllGameFiles();

    SearchPathRegistry = nullptr;
    DirectoryRegistry = nullptr;
    OpenFileRegistry = nullptr;
    ProgramSearchPath = nullptr;
    WorkingSearchPath = nullptr;
    ProgramDirectory = nullptr;
    WorkingDirectory = nullptr;
}
