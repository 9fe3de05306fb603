// The archive tool's extract, end to end and in-process: each input is an
// archive that ExtractArchive unpacks into a fresh scratch folder, in which
// something may have been planted first where an entry's file, its folder
// or its temporary file goes (a file, a folder, a pipe, or a link to a file
// or a folder outside). Afterwards:
//
// - nothing outside the target folder has changed or appeared, and what the
//   links pointed to is untouched;
// - no temporary file is left;
// - every file inside is an entry's complete data (of an entry that a lookup
//   reaches) or the untouched plant: a failed entry leaves nothing of its own;
// - when the run succeeded, every reachable entry is there.
//
// The CRC-32 that extract checks data with is held to a bitwise reading of
// its definition on each input too.
//
// Input: one byte, the plant (bits 0-2 what, bits 3-7 for which entry,
// counted modulo the entries), then the archive file.
//
// The scratch folders are made in /dev/shm where it can be written (else in
// TMPDIR or /tmp) and removed at exit; a run stopped by a broken property
// leaves its folder there to be looked at.

#include "fuzz_check.h"

#include "archive_file.h"
#include "commands.h"
#include "platform.h"

#include "fastfile/crc32.h"
#include "fastfile/names.h"

#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string Base;  // holds the scratch folder of each run
FILE *Quiet;       // where the tool's messages go

uint32_t BitwiseCrc32(const uint8_t *bytes, size_t n)
{
    uint32_t crc = ~0u;
    for (size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *out = fopen(path.c_str(), "wb");
    Check(out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && fclose(out) == 0);
}

std::string ReadFile(const std::string &path)
{
    std::string bytes;
    FILE *in = fopen(path.c_str(), "rb");
    Check(in != nullptr);
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
        bytes.append(buffer, n);
    fclose(in);
    return bytes;
}

void MakeFoldersTo(const std::string &path)
{
    for (size_t slash = path.find('/', Base.size() + 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0777);
}

int RemoveOne(const char *path, const struct stat *, int, struct FTW *)
{
    return remove(path);
}

void RemoveTree(const std::string &path)
{
    nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

// What stands under folder, links not followed: relative path and mode.
void Walk(const std::string &folder, const std::string &relative, std::map<std::string, mode_t> *found)
{
    DIR *dir = opendir(folder.c_str());
    Check(dir != nullptr);
    while (const struct dirent *item = readdir(dir)) {
        std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "/" + name, rel = relative.empty() ? name : relative + "/" + name;
        struct stat info;
        Check(lstat(path.c_str(), &info) == 0);
        (*found)[rel] = info.st_mode;
        if (S_ISDIR(info.st_mode))
            Walk(path, rel, found);
    }
    closedir(dir);
}

struct Entry {
    std::string path;  // under the target folder
    std::string data;
    bool inside;  // of the file, and not damaged: its data can be extracted
};

// The entries a lookup reaches, read straight from the bytes: the first
// searched record of each non-empty name; their data when inside the file
// and, in an archive with checksums, matching theirs.
std::vector<Entry> ReachableEntries(const ArchiveFile &archive, const std::string &file)
{
    std::vector<Entry> entries;
    std::vector<std::string> seen;
    for (const FastFileEntry *record : Records(archive)) {
        std::string name = StoredName(*record);
        bool first = !name.empty();
        for (const std::string &earlier : seen)
            first = first && earlier != name;
        seen.push_back(name);
        bool inside = FastFileEntryInside(record, static_cast<uint32_t>(file.size()));
        std::string data = inside ? file.substr(record->offset, record->size) : "";
        if (inside && (FastFileReadHeader(archive.Directory()).flags & FastFileFlagChecksums))
            inside = BitwiseCrc32(reinterpret_cast<const uint8_t *>(data.data()), data.size()) == record->checksum;
        if (first)
            entries.push_back({NativePath(name), data, inside});
    }
    return entries;
}

enum Plant { None, File, LinkToFile, LinkToFolder, Pipe, Folder, FileAsFolder, LinkAsTemporary };

struct Planted {
    mode_t type;
    std::string content;  // of a file, or where a link points
};

// Plants what the byte says for one entry of a sound archive with a name
// that is safe to write; returns what was planted, by path under out.
std::map<std::string, Planted> PlantFor(uint8_t what, const ArchiveFile &archive, const std::string &out,
                                        const std::string &root)
{
    std::map<std::string, Planted> planted;
    if (archive.fault != FastFileSound || (what & 7) == None)
        return planted;
    std::vector<const FastFileEntry *> records = Records(archive);
    if (records.empty())
        return planted;
    std::string name = StoredName(*records[(what >> 3) % records.size()]);
    if (FastFileCheckName(name.c_str()) & FastFileNameUnsafe)
        return planted;
    std::string relative = NativePath(name);
    size_t slash = relative.find('/');
    std::string first = slash == std::string::npos ? relative : relative.substr(0, slash);
    std::string inFolder = relative.substr(0, relative.rfind('/') + 1);
    std::string at = relative;
    switch (what & 7) {
    case LinkToFolder:
    case FileAsFolder:
        at = first;
        break;
    case LinkAsTemporary:
        at = inFolder + "fastfile-" + std::to_string(getpid()) + "-1.tmp";
        break;
    }
    std::string path = out + "/" + at;
    MakeFoldersTo(path);
    switch (what & 7) {
    case File:
    case FileAsFolder:
        WriteFile(path, "planted");
        planted[at] = {S_IFREG, "planted"};
        break;
    case LinkToFile:
    case LinkAsTemporary:
        Check(symlink((root + "/victim").c_str(), path.c_str()) == 0);
        planted[at] = {S_IFLNK, root + "/victim"};
        break;
    case LinkToFolder:
        Check(symlink((root + "/victims").c_str(), path.c_str()) == 0);
        planted[at] = {S_IFLNK, root + "/victims"};
        break;
    case Pipe:
        Check(mkfifo(path.c_str(), 0666) == 0);
        planted[at] = {S_IFIFO, ""};
        break;
    case Folder:
        Check(mkdir(path.c_str(), 0777) == 0);
        WriteFile(path + "/inner", "inner");
        planted[at] = {S_IFDIR, ""};
        planted[at + "/inner"] = {S_IFREG, "inner"};
        break;
    }
    return planted;
}

void CheckAfter(int status, const std::string &root, const std::string &out, const std::vector<Entry> &entries,
                const std::map<std::string, Planted> &planted)
{
    // Outside the target folder: exactly what was made before the run.
    Check(ReadFile(root + "/victim") == "victim");
    Check(ReadFile(root + "/victims/kept") == "kept");
    std::map<std::string, mode_t> found;
    Walk(root, "", &found);
    const char *outside[] = {"archive", "victim", "victims", "victims/kept", "t", "t/a", "t/a/b"};
    for (const char *path : outside)
        Check(found.erase(path) == 1);
    found.erase("t/a/b/out");
    for (const auto &item : found)
        Check(item.first.compare(0, 10, "t/a/b/out/") == 0);

    for (const auto &item : found) {
        std::string relative = item.first.substr(10);
        auto plant = planted.find(relative);
        mode_t type = item.second & S_IFMT;
        if (type == S_IFDIR)
            continue;  // folders made on the way, kept or planted
        std::string data;
        if (type == S_IFREG) {
            data = ReadFile(out + "/" + relative);
        } else if (type == S_IFLNK) {
            char target[4096];
            ssize_t n = readlink((out + "/" + relative).c_str(), target, sizeof target);
            Check(n > 0);
            data.assign(target, static_cast<size_t>(n));
        }
        if (plant != planted.end() && plant->second.type == type && plant->second.content == data)
            continue;  // still the plant itself, untouched
        // Otherwise an entry's complete data, at its own path.
        Check(type == S_IFREG);
        bool matched = false;
        for (const Entry &entry : entries)
            matched = matched || (entry.inside && entry.path == relative && entry.data == data);
        Check(matched);
    }
    if (status == 0) {
        for (const Entry &entry : entries) {
            std::map<std::string, mode_t>::const_iterator there = found.find("t/a/b/out/" + entry.path);
            Check(there != found.end() && S_ISREG(there->second));
        }
    }
}

void RemoveBase()
{
    RemoveTree(Base);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *memory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : getenv("TMPDIR");
    std::string pattern = std::string(memory ? memory : "/tmp") + "/fastfile-extract-fuzz.XXXXXX";
    Check(mkdtemp(&pattern[0]) != nullptr);
    Base = pattern;
    atexit(RemoveBase);
    Quiet = fopen("/dev/null", "w");
    Check(Quiet != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Check(FastFileCrc32(0, data, size) == BitwiseCrc32(data, size));
    Check(FastFileCrc32(FastFileCrc32(0, data, size / 3), data + size / 3, size - size / 3) ==
          BitwiseCrc32(data, size));

    const std::string root = Base + "/run", out = root + "/t/a/b/out";
    const std::string file(reinterpret_cast<const char *>(data) + 1, size - 1);
    Check(mkdir(root.c_str(), 0777) == 0);
    WriteFile(root + "/archive", file);
    WriteFile(root + "/victim", "victim");
    MakeFoldersTo(root + "/victims/kept");
    WriteFile(root + "/victims/kept", "kept");
    MakeFoldersTo(out);  // extract makes out itself, unless a plant needs it first
    ToolRun run;
    run.archive = root + "/archive";
    run.folder = out;
    run.messages = Quiet;
    std::vector<Entry> entries;
    std::map<std::string, Planted> planted;
    {
        ArchiveFile archive;
        Check(OpenArchiveFile(&run, &archive));
        if (archive.fault == FastFileSound)
            entries = ReachableEntries(archive, file);
        planted = PlantFor(data[0], archive, out, root);
    }

    ExtractArchive(&run);
    CheckAfter(run.status, root, out, entries, planted);
    RemoveTree(root);
    return 0;
}
