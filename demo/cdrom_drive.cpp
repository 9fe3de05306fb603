// The disc's "wine\cdrom_drive.exe", which autorun.sh runs under Wine:
// makes a folder of the Linux machine a CD-ROM drive of the Wine prefix,
// through Wine's mount manager, as winecfg does. The drive is there at once
// for every program of the prefix, whether its server already runs or not,
// and the mount manager records it (the dosdevices link and the drive's
// type) for the prefix's later starts.
//
//   cdrom_drive PATH-IN-HEX DRIVES
//
// PATH-IN-HEX is the folder's absolute path as the hexadecimal digits of
// its bytes: Wine converts arguments through the character set of the
// user's locale, which need not hold every byte of the path. DRIVES has a
// character for each letter from a: to z:, saying what its dosdevices link
// shows: "=" the folder, "-" nothing (no link), "!" a folder that is gone,
// anything else another folder. Only the caller can compare Unix folders;
// the kinds of the drives are Wine's, and asked here.
//
// The drive is a letter that shows the folder and is a CD-ROM drive
// already, C: and Z: aside (the system's drive and Wine's view of the whole
// machine are never taken over); else the first free letter from D:, made
// a CD-ROM drive: one that neither a link nor Wine knows, or a CD-ROM drive
// whose folder is gone (an earlier mount point of a disc), so that the
// disc does not take another letter for good at every new mount point. A
// drive of another kind is never changed. The letter goes to standard
// output. Exit codes: 0 done, 1 the mount manager refused, 2 usage, 3 no
// letter is free.
#include <windows.h>

#include <stdio.h>

namespace {

// Wine's request to define a drive (IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE). Wine's
// own structure, which MinGW's mountmgr.h declares shorter; the folder's
// Unix path follows it in the same buffer, with a terminator. Wine names
// it UTF-8, but the link it makes holds the bytes as they come.
struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    ULONG serial;
    ULONGLONG unixDevice;
    WCHAR letter;  // in lower case
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
static_assert(sizeof(UnixDrive) == 32, "the layout of Wine's mount manager");

const DWORD DefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// A Unix path's bytes at most; PATH_MAX on Linux.
const size_t MaxPath = 4096;

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

int Usage()
{
    fputs("usage: cdrom_drive PATH-IN-HEX DRIVES\n", stderr);
    return 2;
}

const int LetterCount = 26;

UINT DriveType(wchar_t letter)
{
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    return GetDriveTypeW(root);
}

// A CD-ROM drive that shows the folder already, or 0.
wchar_t DriveOfTheFolder(const wchar_t *drives)
{
    for (int i = 0; i < LetterCount; ++i) {
        wchar_t letter = wchar_t(L'a' + i);
        if (drives[i] == L'=' && letter != L'c' && letter != L'z' && DriveType(letter) == DRIVE_CDROM)
            return letter;
    }
    return 0;
}

// The first free letter from D:, or 0.
wchar_t FreeLetter(const wchar_t *drives)
{
    for (int i = 3; i < LetterCount; ++i) {
        wchar_t letter = wchar_t(L'a' + i);
        UINT type = DriveType(letter);
        if ((drives[i] == L'-' && type == DRIVE_NO_ROOT_DIR) || (drives[i] == L'!' && type == DRIVE_CDROM))
            return letter;
    }
    return 0;
}

// Asks the mount manager to make the letter a CD-ROM drive showing path
// (length bytes), which is in request after room for the structure.
bool DefineCdRomDrive(wchar_t letter, char *request, size_t length)
{
    UnixDrive *drive = reinterpret_cast<UnixDrive *>(request);
    drive->size = DWORD(sizeof(UnixDrive) + length + 1);
    drive->type = DRIVE_CDROM;
    drive->letter = letter;
    drive->mountPointOffset = sizeof(UnixDrive);

    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cdrom_drive: no mount manager to ask (error %lu)\n", GetLastError());
        return false;
    }
    DWORD returned = 0;
    BOOL defined = DeviceIoControl(manager, DefineUnixDrive, request, drive->size, nullptr, 0, &returned, nullptr);
    DWORD error = GetLastError();
    CloseHandle(manager);
    if (!defined) {
        fprintf(stderr, "cdrom_drive: the mount manager refused drive %lc: (error %lu)\n", towupper(letter), error);
        return false;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3 || wcslen(argv[2]) != LetterCount)
        return Usage();

    alignas(UnixDrive) static char request[sizeof(UnixDrive) + MaxPath + 1];
    char *path = request + sizeof(UnixDrive);
    size_t length = 0;
    for (const wchar_t *digit = argv[1]; digit[0]; digit += 2) {
        int high = HexDigit(digit[0]), low = digit[1] ? HexDigit(digit[1]) : -1;
        if (high < 0 || low < 0 || length == MaxPath)
            return Usage();
        path[length++] = char(high << 4 | low);
    }
    if (length == 0 || path[0] != '/')
        return Usage();
    path[length] = '\0';

    wchar_t letter = DriveOfTheFolder(argv[2]);
    if (!letter) {
        letter = FreeLetter(argv[2]);
        if (!letter) {
            fputs("cdrom_drive: no drive letter is free\n", stderr);
            return 3;
        }
        if (!DefineCdRomDrive(letter, request, length))
            return 1;
    }
    putchar(char(letter));
    return 0;
}
