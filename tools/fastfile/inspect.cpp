#include "archive_file.h"
#include "commands.h"
#include "platform.h"

#include "gamefs/archive_writer.h"

#include <errno.h>
#include <string.h>

namespace {

// Opens and checks; says what is wrong when the archive is not usable.
bool Load(const std::string &path, ArchiveFile *archive)
{
    if (!OpenArchiveFile(path.c_str(), archive))
        return false;
    if (archive->fault != FastFileSound) {
        fprintf(stderr, "fastfile: %s: %s\n", path.c_str(), FaultText(archive->fault, *archive).c_str());
        return false;
    }
    return true;
}

std::vector<const FastFileEntry *> Records(const ArchiveFile &archive)
{
    uint32_t count;
    const FastFileEntry *first = FastFileSearchedRecords(archive.Directory(), &count);
    std::vector<const FastFileEntry *> records;
    for (uint32_t i = 0; i < count; ++i)
        records.push_back(first + i);
    return records;
}

// The record a lookup of this record's own name finds: another one when an
// earlier record has the same name, none for an empty name.
const FastFileEntry *Reached(const ArchiveFile &archive, const FastFileEntry &entry)
{
    std::string name = StoredName(entry);
    return FastFileFind(archive.Directory(), name.data(), name.size());
}

// Makes a folder (an existing one is fine), or says why it cannot.
bool MakeFolderSaying(const std::string &path)
{
    if (MakeFolder(path))
        return true;
    fprintf(stderr, "fastfile: cannot create the folder %s: %s\n", Printable(path).c_str(), strerror(errno));
    return false;
}

// Where an entry of this name is written under folder.
std::string TargetOf(const std::string &folder, const std::string &name)
{
    return (folder.empty() ? "." : folder) + "/" + NativePath(name);
}

// The folders an entry's name passes through under folder, outermost first.
std::vector<std::string> FoldersOnTheWay(const std::string &folder, const std::string &name)
{
    std::vector<std::string> folders;
    for (size_t at = 0, slash; (slash = name.find_first_of("\\/", at)) != std::string::npos; at = slash + 1)
        folders.push_back(TargetOf(folder, name.substr(0, slash)));
    return folders;
}

// Writes the entry under folder; its name has been judged safe and no link
// stands on its way. Subfolders of the name are made on the way; the
// entry's own file is never written through a link that stands there.
bool WriteEntry(const ArchiveFile &archive, const FastFileEntry &entry, const std::string &folder)
{
    std::string name = StoredName(entry);
    for (const std::string &on : FoldersOnTheWay(folder, name)) {
        if (!MakeFolderSaying(on))
            return false;
    }
    std::string path = TargetOf(folder, name);
    FILE *out = OpenEntryFile(path);
    if (!out) {
        fprintf(stderr, "fastfile: cannot create %s: %s\n", Printable(path).c_str(), strerror(errno));
        return false;
    }
    bool copied = CopyEntry(archive, entry, out);
    if (fclose(out) != 0 || !copied) {
        fprintf(stderr, "fastfile: %s: cannot copy its data to %s\n", NameText(entry).c_str(),
                Printable(path).c_str());
        return false;
    }
    return true;
}

// A link where one of an entry's folders goes could take the entry
// anywhere, so it refuses the whole run before anything is written, as
// bsdtar refuses to extract through links. The target folder itself is the
// user's choice and may be one.
bool NoLinksOnTheWay(const std::string &path, const std::vector<const FastFileEntry *> &chosen,
                     const std::string &folder)
{
    for (const FastFileEntry *entry : chosen) {
        for (const std::string &on : FoldersOnTheWay(folder, StoredName(*entry))) {
            if (IsLink(on)) {
                fprintf(stderr,
                        "fastfile: %s: refusing the entry %s, whose folder %s is a link; nothing was extracted\n",
                        path.c_str(), NameText(*entry).c_str(), Printable(on).c_str());
                return false;
            }
        }
    }
    return true;
}

// Every entry is judged before any is written: a name that could leave the
// folder refuses the whole run, so a hostile archive writes nothing at all.
bool AllSafe(const std::string &path, const std::vector<const FastFileEntry *> &chosen)
{
    bool safe = true;
    for (const FastFileEntry *entry : chosen) {
        unsigned faults = FastFileCheckName(StoredName(*entry).c_str()) & FastFileNameUnsafe;
        if (faults) {
            fprintf(stderr, "fastfile: %s: refusing the entry %s, whose name %s; nothing was extracted\n",
                    path.c_str(), NameText(*entry).c_str(), NameFaultText(faults).c_str());
            safe = false;
        }
    }
    return safe;
}

}  // namespace

int ListArchive(const std::string &path)
{
    ArchiveFile archive;
    if (!Load(path, &archive))
        return 1;
    printf("%-12s %10s %10s\n", "NAME", "OFFSET", "SIZE");
    for (const FastFileEntry *entry : Records(archive))
        printf("%-12s %10u %10u\n", NameText(*entry).c_str(), entry->offset, entry->size);
    return 0;
}

int ExtractArchive(const std::string &path, const std::vector<std::string> &names, const std::string &folder)
{
    ArchiveFile archive;
    if (!Load(path, &archive))
        return 1;
    int status = 0;
    std::vector<const FastFileEntry *> chosen;
    for (std::string name : names) {
        name = EntryPathOf(name);
        FastFileUpperCase(&name[0]);
        const FastFileEntry *entry = FastFileFind(archive.Directory(), name.data(), name.size());
        if (entry) {
            chosen.push_back(entry);
        } else {
            fprintf(stderr, "fastfile: %s: no entry %s\n", path.c_str(), Printable(name).c_str());
            status = 1;
        }
    }
    if (names.empty()) {
        // What a lookup can reach: hidden duplicates and empty names are not.
        for (const FastFileEntry *entry : Records(archive)) {
            if (Reached(archive, *entry) == entry)
                chosen.push_back(entry);
            else
                fprintf(stderr, "fastfile: %s: skipping %s, which no lookup reaches\n", path.c_str(),
                        NameText(*entry).c_str());
        }
    }
    if (!AllSafe(path, chosen) || !NoLinksOnTheWay(path, chosen, folder))
        return 1;
    if (!folder.empty() && !MakeFolderSaying(folder))
        return 1;
    for (const FastFileEntry *entry : chosen) {
        if (!WriteEntry(archive, *entry, folder))
            status = 1;
    }
    return status;
}

// What is wrong with one record, if anything.
static std::vector<std::string> EntryProblems(const ArchiveFile &archive, const FastFileEntry &entry)
{
    std::vector<std::string> problems;
    for (const std::string &text : NameFaultTexts(FastFileCheckName(StoredName(entry).c_str())))
        problems.push_back("has a name that " + text);
    const FastFileEntry *reached = Reached(archive, entry);
    if (reached && reached != &entry)
        problems.push_back("repeats the name of an earlier entry, which hides it");
    if (!FastFileEntryInside(&entry, archive.start.fileSize)) {
        problems.push_back("has data (offset " + std::to_string(entry.offset) + ", size " +
                           std::to_string(entry.size) + ") that run past the end of the file (" +
                           std::to_string(archive.start.fileSize) + " bytes)");
    } else {
        long end = static_cast<long>(entry.offset + entry.size);
        if (fseek(archive.stream, end, SEEK_SET) != 0 || getc(archive.stream) != FastFileEndMarker)
            problems.push_back("has data that are not followed by byte 26");
    }
    return problems;
}

int VerifyArchive(const std::string &path)
{
    ArchiveFile archive;
    if (!OpenArchiveFile(path.c_str(), &archive))
        return 1;
    if (archive.fault != FastFileSound) {
        printf("%s: %s\n", path.c_str(), FaultText(archive.fault, archive).c_str());
        return 1;
    }
    std::vector<const FastFileEntry *> records = Records(archive);
    FastFileHeader header = FastFileReadHeader(archive.Directory());
    int problems = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        for (const std::string &problem : EntryProblems(archive, *records[i])) {
            printf("%s: entry %zu (%s) %s\n", path.c_str(), header.firstEntry + i, NameText(*records[i]).c_str(),
                   problem.c_str());
            ++problems;
        }
    }
    if (problems) {
        printf("%s: %d problem%s\n", path.c_str(), problems, problems == 1 ? "" : "s");
        return 1;
    }
    printf("%s: sound, %zu entries\n", path.c_str(), records.size());
    return 0;
}
