// The disc's "wine\cdrom_drive.exe", which autorun.sh runs under Wine:
// makes a folder of the Linux machine a CD-ROM drive of the Wine prefix,
// through Wine's mount manager, as winecfg does. The drive is there at once
// for every program of the prefix, whether its server already runs or not,
// and the mount manager records it (the dosdevices link and the drive's
// type) for the prefix's later starts.
//
//   cdrom_drive LETTER PATH-IN-HEX
//
// PATH-IN-HEX is the folder's absolute path as the hexadecimal digits of
// its bytes: Wine converts arguments through the character set of the
// user's locale, which need not hold every byte of the path.

#include <windows.h>

#include <stdio.h>

namespace {

// Wine's request to define a drive (IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE). Wine's
// own structure, which MinGW's mountmgr.h declares shorter; the folder's
// path follows it in the same buffer, in UTF-8 with a terminator.
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
    fputs("usage: cdrom_drive LETTER PATH-IN-HEX\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3 || !argv[1][0] || argv[1][1])
        return Usage();
    wchar_t letter = towlower(argv[1][0]);
    if (letter < L'a' || letter > L'z')
        return Usage();

    alignas(UnixDrive) static char request[sizeof(UnixDrive) + MaxPath + 1];
    char *path = request + sizeof(UnixDrive);
    size_t length = 0;
    for (const wchar_t *digit = argv[2]; digit[0]; digit += 2) {
        int high = HexDigit(digit[0]), low = digit[1] ? HexDigit(digit[1]) : -1;
        if (high < 0 || low < 0 || length == MaxPath)
            return Usage();
        path[length++] = char(high << 4 | low);
    }
    if (length == 0 || path[0] != '/')
        return Usage();
    path[length] = '\0';

    UnixDrive *drive = reinterpret_cast<UnixDrive *>(request);
    drive->size = DWORD(sizeof(UnixDrive) + length + 1);
    drive->type = DRIVE_CDROM;
    drive->letter = letter;
    drive->mountPointOffset = sizeof(UnixDrive);

    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cdrom_drive: no mount manager to ask (error %lu)\n", GetLastError());
        return 1;
    }
    DWORD returned = 0;
    BOOL defined = DeviceIoControl(manager, DefineUnixDrive, request, drive->size, nullptr, 0, &returned, nullptr);
    DWORD error = GetLastError();
    CloseHandle(manager);
    if (!defined) {
        fprintf(stderr, "cdrom_drive: the mount manager refused drive %lc: (error %lu)\n", towupper(letter), error);
        return 1;
    }
    return 0;
}
