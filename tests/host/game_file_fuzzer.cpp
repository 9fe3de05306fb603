// Names opened through OpenGameFile from a folder that holds a hostile
// "FASTFILE.DAT", then read line by line: the file layer built whole, over
// the stand-in C runtime of gamefs/crt.h, under the sanitizers. A name is
// served loose when a loose file of that name opens, else from the entry
// that the archive reader finds in the same bytes (whole name, upper case,
// data inside the file), else not at all. The lines and line ends that each
// ReadLine consumed give back the file's or the entry's bytes exactly, and
// after the shutdown every pool byte is free again.
//
// The folder is the absolute handle "Z:". Here a backslash is an ordinary
// character of a file name, so the layer's "Z:\FASTFILE.DAT" is one file
// in the fuzzer's working folder (a temporary folder, entered for each
// input), beside the folder "Z:" that the handle names; upper-casing leaves
// both names as they are. A crash input is written there unless
// -artifact_prefix says otherwise.
//
// Input: up to four names, each with its mode, its buffer size and whether
// it stays open for the shutdown to close; whether a loose file named as
// the first name stands beside the archive; then the archive's bytes.

#include "fuzz_check.h"

#include "core/pool.h"
#include "gamefs/file_system.h"
#include "gamefs/game_file.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"
#include "support/pool_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

const char ArchiveFile[] = "Z:\\FASTFILE.DAT";

// The cache keeps every archive for the life of the process; each input
// starts without one, so the fuzzer hands back what the cache took: the
// stream, and one pool block of the record followed by its directory.
void ForgetArchives()
{
    if (!ArchiveCache)
        return;
    ListForEach(node, ArchiveCache) {
        FastFileArchive *archive = static_cast<FastFileArchive *>(node->payload);
        uint32_t directorySize = FastFileReadHeader(archive->directory).directorySize;
        fclose(archive->stream);
        PoolFree(archive, ArchiveBlockSize(directorySize));
    }
    ListDestroy(ArchiveCache);
    ArchiveCache = nullptr;
}

std::string folder;    // the fuzzer's working folder
std::string returnTo;  // the current directory outside the inputs

void RemoveFolder()
{
    if (chdir(folder.c_str()) == 0) {
        remove(ArchiveFile);
        rmdir("Z:");
    }
    if (chdir(returnTo.c_str()) == 0)
        rmdir(folder.c_str());
}

void MakeFolder()
{
    char current[4096];
    Check(getcwd(current, sizeof current) != nullptr);
    returnTo = current;
    char pattern[] = "/tmp/game_file_fuzzer.XXXXXX";
    Check(mkdtemp(pattern) != nullptr);
    folder = pattern;
    Check(chdir(folder.c_str()) == 0 && mkdir("Z:", 0700) == 0 && chdir(returnTo.c_str()) == 0);
    atexit(RemoveFolder);
}

void WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *out = fopen(path.c_str(), "wb");
    Check(out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && fclose(out) == 0);
}

// The whole file, or false when it does not open.
bool ReadFile(const std::string &path, std::string *bytes)
{
    FILE *in = fopen(path.c_str(), "rb");
    if (!in)
        return false;
    for (int c; (c = getc(in)) != EOF;)
        *bytes += static_cast<char>(c);
    fclose(in);
    return true;
}

// The bytes the archive reader serves for name from these archive bytes;
// false when it serves none.
bool EntryBytes(const std::string &archive, std::string name, std::string *bytes)
{
    if (archive.empty())
        return false;
    std::vector<char> copy(archive.begin(), archive.end());  // fmemopen wants a writable buffer
    FILE *stream = fmemopen(copy.data(), copy.size(), "rb");
    FastFileStart start{};
    std::vector<uint8_t> directory;
    bool found = false;
    if (FastFileReadStart(stream, &start) == FastFileSound) {
        directory.resize(start.directorySize);
        FastFileUpperCase(&name[0]);
        const FastFileEntry *entry = nullptr;
        if (FastFileReadDirectory(stream, start, directory.data()) == FastFileSound)
            entry = FastFileFind(directory.data(), name.data(), name.size());
        found = entry && FastFileEntryInside(entry, start.fileSize);
        if (found)
            *bytes = archive.substr(entry->offset, entry->size);
    }
    fclose(stream);
    return found;
}

// Reads the file to its end with ReadLine in buffers of size bytes. Each
// call consumes one line and its line end (13, 10, 13 10 or 10 13), or as
// much of a long line as fits; together they are exactly bytes.
void CheckLines(GameFile *file, const std::string &bytes, int size)
{
    long origin = ftell(file->stream);
    std::vector<char> buffer(size);
    size_t position = 0;
    for (;;) {
        int result = ReadLine(file, buffer.data(), size);
        size_t now = static_cast<size_t>(ftell(file->stream) - origin);
        Check(now <= bytes.size());
        if (result == 0) {
            Check(position == bytes.size() && now == position);
            break;
        }
        Check(now > position);
        std::string consumed = bytes.substr(position, now - position);
        size_t text = consumed.find_first_of("\r\n");
        if (text == std::string::npos)
            text = consumed.size();
        Check(text <= size_t(size - 1) && memcmp(buffer.data(), consumed.data(), text) == 0 &&
              buffer[text] == '\0');
        std::string end = consumed.substr(text);
        Check(end.empty() || end == "\r" || end == "\n" || end == "\r\n" || end == "\n\r");
        position = now;
    }
    Check(ReadLine(file, buffer.data(), size) == 0);  // the end lasts
}

struct Request {
    std::string name;
    const char *mode;
    int size;
    bool leftOpen;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (folder.empty())
        MakeFolder();
    FuzzedDataProvider input(data, size);
    std::vector<Request> requests(input.ConsumeIntegralInRange<size_t>(1, 4));
    for (Request &request : requests) {
        request.name = input.ConsumeRandomLengthString(24).c_str();  // as far as a terminator
        request.mode = input.PickValueInArray({"r", "rb", "rt"});
        request.size = input.ConsumeIntegralInRange<int>(2, 80);
        request.leftOpen = input.ConsumeBool();
    }
    std::string loose = input.ConsumeBool() ? input.ConsumeRandomLengthString(64) : "";
    std::string archive = input.ConsumeRemainingBytesAsString();

    Check(chdir(folder.c_str()) == 0);
    std::string loosePath = "Z:\\" + requests[0].name;
    bool looseMade = !loose.empty() && loosePath != ArchiveFile && !strchr(requests[0].name.c_str(), '/');
    if (looseMade)
        WriteFile(loosePath, loose);
    if (!archive.empty())
        WriteFile(ArchiveFile, archive);

    FileSystemStartup();
    DirectoryHandle *handle = OpenDirectory("Z:", nullptr);
    Check(handle != nullptr);
    for (const Request &request : requests) {
        std::string bytes;
        bool isLoose = ReadFile("Z:\\" + request.name, &bytes);
        bool served = isLoose || EntryBytes(archive, request.name, &bytes);
        GameFile *file = OpenGameFile(handle, request.name.c_str(), request.mode);
        Check((file != nullptr) == served);
        if (!file)
            continue;
        Check((file->entry == nullptr) == isLoose);
        CheckLines(file, bytes, request.size);
        if (!request.leftOpen)
            Check(CloseGameFile(file) == 1);
    }
    CloseDirectory(handle);
    FileSystemShutdown();
    ForgetArchives();

    Check(!CheckPool(0));  // every block given back
    ResetPool();

    if (looseMade)
        remove(loosePath.c_str());
    remove(ArchiveFile);
    Check(chdir(returnTo.c_str()) == 0);
    return 0;
}
