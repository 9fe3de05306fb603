// The file layer under the real Windows C runtime, each figure measured
// side by side with its comparison in the same run (best of five rounds):
//   1. opening a file and reading its first line: archive entry against
//      loose file;
//   2. ReadLine against fgets over the same 10 MB file;
//   3. a lookup in a cached archive of 4,096 entries, against opening an
//      entry through the archive and against opening the loose file of the
//      same name.

#include "fastfile/layout.h"
#include "gamefs/directory.h"
#include "gamefs/file_system.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"

#include <direct.h>
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace {

const char Root[] = "C:\\rumbelon-gamefs-bench";
const int Rounds = 5;
const int EntryCount = 4096;

void WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *stream = fopen(path.c_str(), "wb");
    if (!stream) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        exit(1);
    }
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fclose(stream);
}

// An archive of the given names, each holding data.
void WriteArchive(const std::string &folder, const std::vector<std::string> &names, const std::string &data)
{
    std::vector<const char *> pointers;
    for (const std::string &name : names)
        pointers.push_back(name.c_str());
    std::vector<uint32_t> sizes(names.size(), static_cast<uint32_t>(data.size()));
    uint32_t count = static_cast<uint32_t>(names.size());
    std::string bytes(FastFileDirectorySizeFor(count), '\0');
    FastFileLayOut(reinterpret_cast<uint8_t *>(&bytes[0]), count, pointers.data(), sizes.data());
    for (size_t i = 0; i < names.size(); ++i)
        bytes += data + '\x1a';
    WriteFile(folder + "\\FASTFILE.DAT", bytes);
}

template <typename Work>
double BestSeconds(Work work)
{
    double best = 1e30;
    for (int round = 0; round < Rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        work();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = seconds < best ? seconds : best;
    }
    return best;
}

const std::string Settings = "7 W L\r\nsecond line\r\nthird line\r\n";

void OpenAndReadFirstLine()
{
    std::string loose = std::string(Root) + "\\first-line";
    _mkdir(loose.c_str());
    WriteFile(loose + "\\loose.dat", Settings);
    WriteArchive(loose, {"PACKED.DAT", "OTHER.DAT"}, Settings);
    DirectoryHandle *handle = OpenDirectory(loose.c_str(), nullptr);
    const int opens = 2000;
    auto openRead = [handle](const char *name) {
        return [handle, name] {
            char line[64];
            for (int i = 0; i < opens; ++i) {
                GameFile *file = OpenGameFile(handle, name, "rb");
                if (!file || !ReadLine(file, line, 63) || strcmp(line, "7 W L") != 0)
                    exit(1);
                CloseGameFile(file);
            }
        };
    };
    double packed = BestSeconds(openRead("packed.dat"));
    double looseFile = BestSeconds(openRead("loose.dat"));
    printf("open + first line, loose file:    %8.1f us\n", looseFile / opens * 1e6);
    printf("open + first line, archive entry: %8.1f us\n", packed / opens * 1e6);
    printf("archive entry takes %.2fx the time of a loose file\n", packed / looseFile);
    CloseDirectory(handle);
}

void ReadLinesAgainstFgets()
{
    std::string path = std::string(Root) + "\\lines.txt";
    std::minstd_rand random(12345);
    std::string text;
    while (text.size() < 10u << 20) {
        size_t length = random() % 80;
        for (size_t i = 0; i < length; ++i)
            text += static_cast<char>('a' + random() % 26);
        text += "\r\n";
    }
    WriteFile(path, text);
    DirectoryHandle *handle = OpenDirectory(Root, nullptr);
    size_t lines = 0;
    double readLine = BestSeconds([&] {
        GameFile *file = OpenGameFile(handle, "lines.txt", "rb");
        char buffer[256];
        lines = 0;
        while (ReadLine(file, buffer, sizeof buffer))
            ++lines;
        CloseGameFile(file);
    });
    size_t fgetsLines = 0;
    double fgetsSeconds = BestSeconds([&] {
        FILE *stream = fopen(path.c_str(), "rb");
        char buffer[256];
        fgetsLines = 0;
        while (fgets(buffer, sizeof buffer, stream))
            ++fgetsLines;
        fclose(stream);
    });
    if (lines != fgetsLines)
        fprintf(stderr, "line counts differ: %zu and %zu\n", lines, fgetsLines);
    double megabytes = text.size() / 1048576.0;
    printf("ReadLine: %8.1f MB/s (%zu lines)\n", megabytes / readLine, lines);
    printf("fgets:    %8.1f MB/s\n", megabytes / fgetsSeconds);
    printf("ReadLine runs at %.2fx the speed of fgets\n", fgetsSeconds / readLine);
    CloseDirectory(handle);
    remove(path.c_str());
}

void LookupsInALargeArchive()
{
    std::string packed = std::string(Root) + "\\packed";
    std::string loose = std::string(Root) + "\\loose";
    _mkdir(packed.c_str());
    _mkdir(loose.c_str());
    std::vector<std::string> names;
    for (int i = 0; i < EntryCount; ++i) {
        char name[16];
        snprintf(name, sizeof name, "F%04d.DAT", i);
        names.push_back(name);
        WriteFile(loose + "\\" + name, "data\r\n");
    }
    WriteArchive(packed, names, "data\r\n");
    std::string archivePath = packed;
    for (char &c : archivePath)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    archivePath += "\\FASTFILE.DAT";

    std::minstd_rand random(12345);
    std::vector<std::string> asked;
    for (int i = 0; i < 4096; ++i)
        asked.push_back(names[random() % EntryCount]);

    if (!GetArchive(archivePath.c_str()))
        exit(1);
    const int lookups = 20000;
    double lookup = BestSeconds([&] {
        for (int i = 0; i < lookups; ++i) {
            const std::string &name = asked[i % asked.size()];
            FastFileArchive *archive = GetArchive(archivePath.c_str());
            if (!FastFileFind(archive->directory, name.data(), name.size()))
                exit(1);
        }
    });
    DirectoryHandle *packedHandle = OpenDirectory(packed.c_str(), nullptr);
    DirectoryHandle *looseHandle = OpenDirectory(loose.c_str(), nullptr);
    const int opens = 1000;
    auto openClose = [&](DirectoryHandle *handle) {
        return [&asked, handle] {
            for (int i = 0; i < opens; ++i) {
                GameFile *file = OpenGameFile(handle, asked[i].c_str(), "rb");
                if (!file)
                    exit(1);
                CloseGameFile(file);
            }
        };
    };
    double entryOpen = BestSeconds(openClose(packedHandle));
    double looseOpen = BestSeconds(openClose(looseHandle));
    double perLookup = lookup / lookups;
    printf("lookup in a cached archive of %d entries: %8.2f us\n", EntryCount, perLookup * 1e6);
    printf("open + close through that archive:        %8.2f us\n", entryOpen / opens * 1e6);
    printf("open + close of the loose file:           %8.2f us\n", looseOpen / opens * 1e6);
    printf("a lookup takes %.3fx the time of opening the loose file\n", perLookup / (looseOpen / opens));
    CloseDirectory(packedHandle);
    CloseDirectory(looseHandle);
}

}  // namespace

int main()
{
    _mkdir(Root);
    FileSystemStartup();
    OpenAndReadFirstLine();
    ReadLinesAgainstFgets();
    LookupsInALargeArchive();
    FileSystemShutdown();
    // The archives stay open in the cache until the process ends; the
    // folder is left for the next run to overwrite.
    return 0;
}
