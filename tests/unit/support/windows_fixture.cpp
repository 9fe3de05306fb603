#include "windows_fixture.h"

#include "core/pool_internal.h"
#include "pool_heap.h"

#include <direct.h>
#include <io.h>
#include <stdlib.h>


const char TestRoot[] = "C:\\rumbelon-gamefs";

int64_t PoolBytesInUse()
{
    return static_cast<int64_t>(TestHeap::liveBytes) - static_cast<int64_t>(PoolFreeBytes());
}

int ListLength(const List *list)
{
    int n = 0;
    if (list) {
        ListForEach(node, list)
            ++n;
    }
    return n;
}

std::string CurrentDirectory()
{
    char buffer[300];
    return _getcwd(buffer, sizeof buffer) ? buffer : "(none)";
}

void MakeFolder(const std::string &path)
{
    _mkdir(path.c_str());
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    FILE *stream = fopen(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fclose(stream);
}

std::string ReadBytes(const std::string &path)
{
    FILE *stream = fopen(path.c_str(), "rb");
    if (!stream)
        return "(missing)";
    std::string bytes;
    for (int c; (c = getc(stream)) != EOF;)
        bytes += static_cast<char>(c);
    fclose(stream);
    return bytes;
}

void WriteArchive(const std::string &folder, const std::vector<TestEntry> &entries)
{
    WriteBytes(folder + "FASTFILE.DAT", ArchiveBytes(entries));
}

void RemoveTree(const std::string &path)
{
    _finddata_t found;
    intptr_t search = _findfirst((path + "\\*").c_str(), &found);
    if (search != -1) {
        do {
            std::string name = found.name;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.attrib & _A_SUBDIR)
                RemoveTree(child);
            else
                remove(child.c_str());
        } while (_findnext(search, &found) == 0);
        _findclose(search);
    }
    _rmdir(path.c_str());
}

std::string ReadRest(GameFile *file)
{
    std::string bytes;
    for (int c; (c = ReadGameChar(file)) != -1;)
        bytes += static_cast<char>(c);
    return bytes;
}

void FileSystemTest::SetUp()
{
    savedDirectory = CurrentDirectory();
    RemoveTree(TestRoot);
    MakeFolder(TestRoot);
    ASSERT_EQ(_chdir(TestRoot), 0);
    FileSystemStartup();
}

void FileSystemTest::TearDown()
{
    FileSystemShutdown();
    _chdir(savedDirectory.c_str());
    RemoveTree(TestRoot);
}

std::string FileSystemTest::Folder(const std::string &name)
{
    std::string path = std::string(TestRoot) + "\\" + name;
    RemoveTree(path);
    MakeFolder(path);
    return path + "\\";
}
