#include "driver.h"

#include <algorithm>
#include <sstream>

namespace driver {

namespace {

// By GetDriveTypeW's answer: the drive type of Wine that gives it, and its
// name in a message.
const char *const WineTypes[] = {"", "", "floppy", "hd", "network", "cdrom", ""};
const char *const TypeNames[] = {"of no known type", "not mapped",      "a floppy drive", "a hard disk",
                                 "a network drive",  "a CD-ROM drive", "a RAM disk"};

}  // namespace

std::string DriveProblems(const char *table)
{
    if (!table)
        return "no drive table (RUMBELON_DRIVES): run the suite through scripts/run-suite\n";
    std::string problems, drive;
    for (std::istringstream drives(table); drives >> drive;) {
        UINT wanted = DRIVE_REMOVABLE;
        while (wanted <= DRIVE_CDROM && drive.compare(1, std::string::npos, std::string(":") + WineTypes[wanted]))
            wanted++;
        const wchar_t root[] = {wchar_t(toupper(drive[0])), L':', L'\\', L'\0'};
        UINT type = GetDriveTypeW(root);
        if (wanted > DRIVE_CDROM)
            problems += "drive " + drive + " is no LETTER:TYPE with a drive type of Wine\n";
        else if (type != wanted)
            problems += std::string("drive ") + char(root[0]) + ": should be " + TypeNames[wanted] + ", is " +
                        (type <= DRIVE_RAMDISK ? TypeNames[type] : "of type " + std::to_string(type)) + "\n";
    }
    return problems;
}

std::wstring MakeScratchFolder(const wchar_t *prefix)
{
    wchar_t base[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, base);
    for (unsigned n = GetTickCount() & 0xFFFF;; n++) {
        std::wstring folder = std::wstring(base) + prefix + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder + L"\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
}

bool ForEachEntry(const std::wstring &folder, const std::function<void(const std::wstring &, bool)> &visit)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

void ClearFolder(const std::wstring &folder)
{
    ForEachEntry(folder, [&](const std::wstring &name, bool isFolder) {
        if (isFolder)
            RemoveFolder(folder + name + L"\\");
        else
            DeleteFileW((folder + name).c_str());
    });
}

void RemoveFolder(const std::wstring &folder)
{
    ClearFolder(folder);
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> FolderListing(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    ForEachEntry(folder,
                 [&](const std::wstring &name, bool isFolder) { names.push_back(isFolder ? name + L"\\" : name); });
    std::sort(names.begin(), names.end());
    return names;
}

bool CopyInto(const std::wstring &file, const std::wstring &folder)
{
    return CopyFileW(file.c_str(), (folder + file.substr(file.find_last_of(L'\\') + 1)).c_str(), FALSE) != 0;
}

std::string FileBytes(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr) || got != bytes.size()))
        bytes = "(unreadable)";
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring &path, const std::string &bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool written = WriteFile(file, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    return CloseHandle(file) && written;
}

ULONGLONG LastWriteTime(const std::wstring &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

ULONGLONG WriteOldFile(const std::wstring &path, const std::string &bytes)
{
    if (!WriteFileBytes(path, bytes))
        return 0;
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    SYSTEMTIME when = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME time;
    bool set = SystemTimeToFileTime(&when, &time) && SetFileTime(file, nullptr, nullptr, &time);
    return CloseHandle(file) && set ? LastWriteTime(path) : 0;
}

bool Exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace driver
