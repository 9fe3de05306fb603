// The built resources: the menu's own module and the five language
// libraries, read back as the system reads them.

#include "resources/resource.h"
#include "rumbelon_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const wchar_t *const Libraries[] = {L"rm_eng", L"rm_fre", L"rm_ger", L"rm_ita", L"rm_spa"};

std::vector<uint8_t> ReadFileBytes(const std::wstring &path)
{
    std::vector<uint8_t> bytes;
    FILE *file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    uint8_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    fclose(file);
    return bytes;
}

// A module loaded for its resources only.
class DataModule {
public:
    explicit DataModule(const std::wstring &path)
        : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~DataModule()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module;
};

std::wstring String(HMODULE module, UINT id)
{
    wchar_t text[256] = L"";
    LoadStringW(module, id, text, 256);
    return text;
}

bool HasString(HMODULE module, UINT id)
{
    const wchar_t *text = nullptr;
    return LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0) > 0;
}

// The string table of an .rc source: ids by name, texts decoded from UTF-8.
std::map<UINT, std::wstring> SourceStrings(const std::wstring &path)
{
#define NAMED(id) {#id, id}
    const std::map<std::string, UINT> names = {
        NAMED(IDS_INSERT_DISC), NAMED(IDS_PLAY), NAMED(IDS_INSTALL), NAMED(IDS_INSTALL_DIRECTX),
        NAMED(IDS_UNINSTALL), NAMED(IDS_PLAY_OPTION), NAMED(IDS_EXIT), NAMED(IDS_ERROR_CAPTION),
        NAMED(IDS_MENU_TITLE), NAMED(IDS_DISC_ERROR), NAMED(IDS_INSTALLATION_ERROR), NAMED(IDS_GAME_CLASS),
        NAMED(IDS_GAME_TITLE), NAMED(IDS_MENU_CLASS), NAMED(IDS_PERFORMANCE_SETTINGS), NAMED(IDS_DISPLAY),
        NAMED(IDS_DRAWING_DISTANCE), NAMED(IDS_FULL_SCREEN), NAMED(IDS_WINDOWED), NAMED(IDS_HIGH),
        NAMED(IDS_LOW), NAMED(IDS_OK), NAMED(IDS_CANCEL), NAMED(IDS_RESOLUTION)};
#undef NAMED
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    std::map<UINT, std::wstring> strings;
    bool inTable = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("STRINGTABLE", 0) == 0)
            inTable = true;
        size_t comma = line.find(','), open = line.find('"'), close = line.rfind('"');
        if (!inTable || comma == std::string::npos || open == close)
            continue;
        size_t name = line.find_first_not_of(" \t");
        auto id = names.find(line.substr(name, comma - name));
        if (id == names.end())
            continue;
        wchar_t wide[512] = L"";
        std::string utf8 = line.substr(open + 1, close - open - 1);
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, wide, 512);
        strings[id->second] = wide;
    }
    return strings;
}

std::set<UINT> LibraryIds()
{
    std::set<UINT> ids = {12, 14, 15, 16, 17, 18};
    for (UINT id = 20; id <= 37; id++)
        ids.insert(id);
    return ids;
}

TEST(OwnStrings, EnglishTextsAndNoneThatOnlyLibrariesHave)
{
    DataModule own(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    ASSERT_TRUE(own.module);
    const std::map<UINT, std::wstring> expected = {
        {12, L"Please insert the Rumbelon CD into your CD-Rom drive and ensure that no other application is "
             L"using the CD Player"},
        {14, L"Play Rumbelon"},
        {15, L"Install Game"},
        {16, L"Install DirectX"},
        {17, L"Uninstall Game"},
        {20, L"Exit"},
        {21, L"Rumbelon"},
        {22, L"Rumbelon Startup"},
        {23, L"Failed to locate a required file on the CD-ROM. Please make sure the CD is in the correct "
             L"drive."},
        {24, L"Failed to locate a required file in your installation. You may need to re-install Rumbelon."},
        {25, L"Rumbelon"},
        {26, L"Rumbelon"},
        {27, L"Rumbelon Startup"},
    };
    for (UINT id = 0; id < 200; id++) {
        auto text = expected.find(id);
        if (text == expected.end())
            EXPECT_FALSE(HasString(own.module, id)) << id;
        else
            EXPECT_EQ(text->second, String(own.module, id)) << id;
    }
}

TEST(LanguageLibraries, HoldExactlyTheirSourceTextsForEveryId)
{
    DataModule own(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    for (const wchar_t *name : Libraries) {
        SCOPED_TRACE(testing::Message() << std::string(name, name + wcslen(name)));
        DataModule library(std::wstring(RUMBELON_BIN_FOLDER) + name + L".dll");
        ASSERT_TRUE(library.module);
        std::map<UINT, std::wstring> source =
            SourceStrings(std::wstring(RUMBELON_SOURCE_FOLDER) + L"resources\\" + name + L".rc");
        std::set<UINT> sourceIds;
        for (auto &entry : source)
            sourceIds.insert(entry.first);
        EXPECT_EQ(LibraryIds(), sourceIds);
        for (UINT id = 0; id < 200; id++) {
            SCOPED_TRACE(id);
            if (!LibraryIds().count(id)) {
                EXPECT_FALSE(HasString(library.module, id));
                continue;
            }
            std::wstring text = String(library.module, id);
            EXPECT_EQ(source[id], text);
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size(), id >= IDS_DISPLAY ? 63u : 254u);
            // Every character has a place in Windows-1252, where the menu
            // loads them as 8-bit strings.
            char narrow[512];
            BOOL lossy = FALSE;
            WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, narrow, sizeof narrow, nullptr,
                                &lossy);
            EXPECT_FALSE(lossy);
        }
        // Names that find the running game and menu are the same in every
        // language.
        for (UINT id : {IDS_MENU_TITLE, IDS_GAME_CLASS, IDS_GAME_TITLE, IDS_MENU_CLASS})
            EXPECT_EQ(String(own.module, id), String(library.module, id)) << id;
        EXPECT_LE(String(library.module, IDS_PERFORMANCE_SETTINGS).size(), 63u);
    }
}

TEST(LanguageLibraries, AccentsSurviveAsWindows1252)
{
    DataModule french(std::wstring(RUMBELON_BIN_FOLDER) + L"rm_fre.dll");
    char text[64] = "";
    wchar_t wide[64] = L"";
    LoadStringW(french.module, IDS_FULL_SCREEN, wide, 64);
    WideCharToMultiByte(1252, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_STREQ("Plein \xE9" "cran", text);
    DataModule german(std::wstring(RUMBELON_BIN_FOLDER) + L"rm_ger.dll");
    LoadStringW(german.module, IDS_RESOLUTION, wide, 64);
    WideCharToMultiByte(1252, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_STREQ("Aufl\xF6sung:", text);
}

// The headers of a PE file, checked for being plain resources.
struct PeImage {
    std::vector<uint8_t> bytes;
    const IMAGE_NT_HEADERS32 *headers = nullptr;

    explicit PeImage(const std::wstring &path) : bytes(ReadFileBytes(path))
    {
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
            return;
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(bytes.data());
        if (dos->e_magic == IMAGE_DOS_SIGNATURE &&
            size_t(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) <= bytes.size())
            headers = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(bytes.data() + dos->e_lfanew);
    }
    const IMAGE_SECTION_HEADER *Sections() const { return IMAGE_FIRST_SECTION(headers); }
    const IMAGE_DATA_DIRECTORY &Directory(int index) const
    {
        return headers->OptionalHeader.DataDirectory[index];
    }

    // The bytes at a relative virtual address.
    const uint8_t *At(DWORD rva) const
    {
        for (int i = 0; i < headers->FileHeader.NumberOfSections; i++) {
            const IMAGE_SECTION_HEADER &s = Sections()[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return bytes.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    }
};

TEST(LanguageLibraries, AreResourcesOnlyWithoutCodeImportsOrEntryPoint)
{
    for (const wchar_t *name : Libraries) {
        SCOPED_TRACE(testing::Message() << std::string(name, name + wcslen(name)));
        PeImage image(std::wstring(RUMBELON_BIN_FOLDER) + name + L".dll");
        ASSERT_TRUE(image.headers);
        EXPECT_TRUE(image.headers->FileHeader.Characteristics & IMAGE_FILE_DLL);
        EXPECT_EQ(0u, image.headers->OptionalHeader.AddressOfEntryPoint);
        EXPECT_EQ(0u, image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).Size);
        EXPECT_EQ(0u, image.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).Size);
        EXPECT_NE(0u, image.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).Size);
        ASSERT_EQ(1, image.headers->FileHeader.NumberOfSections);
        EXPECT_EQ(0, memcmp(image.Sections()[0].Name, ".rsrc", 6));
        EXPECT_FALSE(image.Sections()[0].Characteristics & (IMAGE_SCN_CNT_CODE | IMAGE_SCN_MEM_EXECUTE));
        // Relocatable, so that several can be loaded side by side.
        EXPECT_FALSE(image.headers->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
    }
    std::vector<HMODULE> loaded;
    for (const wchar_t *name : Libraries)
        loaded.push_back(LoadLibraryW((std::wstring(RUMBELON_BIN_FOLDER) + name + L".dll").c_str()));
    for (HMODULE module : loaded) {
        EXPECT_TRUE(module);
        EXPECT_FALSE(String(module, IDS_EXIT).empty());
        FreeLibrary(module);
    }
}

TEST(MenuProgram, ImportsOnlyWindowsSystemLibraries)
{
    PeImage image(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    ASSERT_TRUE(image.headers);
    EXPECT_LT(image.bytes.size(), 100u * 1024);
    const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                          "SHELL32.DLL", "MSVCRT.DLL"};
    const IMAGE_DATA_DIRECTORY &imports = image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(image.At(imports.VirtualAddress));
    ASSERT_TRUE(descriptor);
    int count = 0;
    for (; descriptor->Name; descriptor++, count++) {
        std::string name = reinterpret_cast<const char *>(image.At(descriptor->Name));
        for (char &c : name)
            c = char(toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(system.count(name)) << name;
    }
    EXPECT_GT(count, 0);
}

// Every program and library of the disc names the product, maker and version
// alike, and says what it is. The menu's manifest names no execution level:
// Windows would start it elevated if its (or a library's) version resource
// said install, setup...
TEST(VersionResources, NameTheProductAndTheMenuNeverAnInstaller)
{
    const wchar_t *const files[] = {L"autorun.exe", L"rm_eng.dll", L"rm_fre.dll", L"rm_ger.dll", L"rm_ita.dll",
                                    L"rm_spa.dll", L"setup.exe", L"rumbelon\\rumbelon.exe",
                                    L"redist\\directx6\\directx\\dxsetup.exe", L"wine\\cdrom_drive.exe"};
    std::map<std::wstring, std::wstring> first;
    for (size_t i = 0; i < std::size(files); i++) {
        std::wstring path = std::wstring(RUMBELON_DISC_FOLDER) + files[i];
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        std::vector<uint8_t> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
        ASSERT_TRUE(!block.empty() && GetFileVersionInfoW(path.c_str(), 0, DWORD(block.size()), block.data()));
        auto value = [&](const wchar_t *name) -> std::wstring {
            std::wstring key = std::wstring(L"\\StringFileInfo\\040904e4\\") + name;
            wchar_t *text = nullptr;
            UINT length = 0;
            return VerQueryValueW(block.data(), key.c_str(), (void **)&text, &length) && length ? text : L"";
        };
        EXPECT_NE(L"", value(L"FileDescription"));
        for (const wchar_t *name : {L"ProductName", L"CompanyName", L"ProductVersion"})
            EXPECT_TRUE(value(name) != L"" && first.emplace(name, value(name)).first->second == value(name)) << name;
        // Names and values alike, as far as the resource's first word says.
        std::wstring all(reinterpret_cast<const wchar_t *>(block.data()), *reinterpret_cast<WORD *>(block.data()) / 2);
        CharLowerBuffW(&all[0], DWORD(all.size()));
        for (const wchar_t *word : {L"install", L"setup", L"update", L"patch"})
            EXPECT_TRUE(i > 5 || all.find(word) == std::wstring::npos) << word;  // the menu's files
    }
}

// DPI awareness, and nothing that changes how Windows starts the menu or
// what it loads: no execution level, supported OS or common controls.
TEST(MenuProgram, ManifestDeclaresDpiAwarenessOnly)
{
    DataModule own(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    HRSRC found = FindResourceA(own.module, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_TRUE(found);
    std::string manifest(static_cast<const char *>(LockResource(LoadResource(own.module, found))),
                         SizeofResource(own.module, found));
    EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    for (const char *entry : {"<trustInfo", "<supportedOS", "<dependency"})
        EXPECT_EQ(std::string::npos, manifest.find(entry)) << entry;
}

TEST(MenuProgram, IconAndBackgroundPicture)
{
    DataModule own(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    EXPECT_TRUE(FindResourceA(own.module, MAKEINTRESOURCEA(IDI_RUMBELON), RT_GROUP_ICON));
    HRSRC found = FindResourceA(own.module, MAKEINTRESOURCEA(IDB_BACKGROUND), RT_BITMAP);
    ASSERT_TRUE(found);
    auto info = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(own.module, found)));
    ASSERT_TRUE(info);
    EXPECT_EQ(320, info->biWidth);
    EXPECT_EQ(240, info->biHeight);
    EXPECT_EQ(8, info->biBitCount);
    EXPECT_EQ(DWORD(BI_RLE8), info->biCompression);
    EXPECT_EQ(256u, info->biClrUsed);
}

// Reads the plain (not extended) dialog template word by word; past its
// end every word reads as 0xDEAD.
class TemplateReader {
public:
    TemplateReader(const void *data, DWORD size)
        : start(static_cast<const WORD *>(data)), at(start), end(start + size / 2)
    {
    }
    WORD Word() { return at < end ? *at++ : 0xDEAD; }
    DWORD Dword()
    {
        DWORD low = Word();
        return low | DWORD(Word()) << 16;
    }
    // A string or, after 0xFFFF, an ordinal (returned as "#n").
    std::wstring SzOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c != 0 && c != 0xDEAD; c = Word())
            text += wchar_t(c);
        return text;
    }
    void AlignToDword()
    {
        if ((at - start) & 1)
            at++;
    }

private:
    const WORD *start;
    const WORD *at;
    const WORD *end;
};

TEST(SettingsDialogTemplate, IsThePlainEnglishUkTemplateWithEveryControl)
{
    DataModule own(std::wstring(RUMBELON_BIN_FOLDER) + L"autorun.exe");
    HRSRC found = FindResourceExA(own.module, RT_DIALOG, MAKEINTRESOURCEA(IDD_PERFORMANCE_SETTINGS),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    ASSERT_TRUE(found);
    TemplateReader t(LockResource(LoadResource(own.module, found)), SizeofResource(own.module, found));
    EXPECT_EQ(0x80C800C0u, t.Dword());  // style; a DLGTEMPLATEEX would start 0x0001 0xFFFF
    EXPECT_EQ(0u, t.Dword());           // extended style
    EXPECT_EQ(10, t.Word());            // controls
    EXPECT_EQ(0, t.Word());             // x
    EXPECT_EQ(0, t.Word());             // y
    EXPECT_EQ(197, t.Word());
    EXPECT_EQ(83, t.Word());
    EXPECT_EQ(L"", t.SzOrOrdinal());  // no menu
    EXPECT_EQ(L"", t.SzOrOrdinal());  // the system's dialog class
    EXPECT_EQ(L"Performance Settings", t.SzOrOrdinal());
    EXPECT_EQ(8, t.Word());
    EXPECT_EQ(L"MS Sans Serif", t.SzOrOrdinal());

    struct Item {
        DWORD style;
        short x, y, cx, cy;
        WORD id;
        const wchar_t *className;
        const wchar_t *text;
    };
    const Item items[] = {
        {0x50020000, 5, 5, 36, 8, 1031, L"#130", L"Resolution:"},
        {0x50000007, 5, 20, 90, 40, 1029, L"#128", L"Display"},
        {0x50020009, 10, 30, 80, 10, 1025, L"#128", L"Full Screen"},
        {0x50000009, 10, 45, 80, 10, 1024, L"#128", L"Windowed"},
        {0x50000007, 105, 20, 85, 40, 1030, L"#128", L"Drawing Distance"},
        {0x50020009, 111, 30, 69, 10, 1026, L"#128", L"High"},
        {0x50000009, 111, 44, 69, 10, 1027, L"#128", L"Low"},
        {0x50010001, 5, 65, 40, 14, 1, L"#128", L"OK"},
        {0x50010000, 150, 65, 42, 14, 2, L"#128", L"Cancel"},
        {0x50210003, 45, 5, 65, 75, 1032, L"#133", L""},
    };
    for (const Item &item : items) {
        SCOPED_TRACE(item.id);
        t.AlignToDword();
        EXPECT_EQ(item.style, t.Dword());
        EXPECT_EQ(0u, t.Dword());
        EXPECT_EQ(item.x, short(t.Word()));
        EXPECT_EQ(item.y, short(t.Word()));
        EXPECT_EQ(item.cx, short(t.Word()));
        EXPECT_EQ(item.cy, short(t.Word()));
        EXPECT_EQ(item.id, t.Word());
        EXPECT_EQ(item.className, t.SzOrOrdinal());
        EXPECT_EQ(item.text, t.SzOrOrdinal());
        EXPECT_EQ(0, t.Word());  // no creation data
    }
}

}  // namespace
