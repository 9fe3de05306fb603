#include "archive_file.h"
#include "aside.h"
#include "commands.h"
#include "platform.h"

#include "fastfile/names.h"

#include <errno.h>
#include <string.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

// Where an entry of this name is written under folder.
std::string TargetOf(const std::string &folder, const std::string &name)
{
    return (folder.empty() ? "." : folder) + "/" + NativePath(name);
}

// Where the last separator of a path or an entry's name is; npos for none.
size_t LastSeparator(const std::string &path)
{
    size_t at = path.size();
    while (at > 0 && path[at - 1] != '\\' && path[at - 1] != '/')
        --at;
    return at - 1;
}

// The part of an entry's name before its last separator: entries in a row
// mostly share it, and then their folders need no second look.
std::string FolderPart(const std::string &name)
{
    size_t slash = LastSeparator(name);
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

// The last component of a path or an entry's name.
std::string LeafOf(const std::string &path)
{
    return path.substr(LastSeparator(path) + 1);
}

// The folders an entry's name passes through under folder, outermost first.
std::vector<std::string> FoldersOnTheWay(const std::string &folder, const std::string &name)
{
    std::vector<std::string> folders;
    for (size_t at = 0, slash; (slash = name.find_first_of("\\/", at)) != std::string::npos; at = slash + 1)
        folders.push_back(TargetOf(folder, name.substr(0, slash)));
    return folders;
}

// A link where one of an entry's folders goes could take the entry
// anywhere, so it refuses the whole run before anything is written, as
// bsdtar refuses to extract through links. The target folder itself is the
// user's choice and may be one.
bool NoLinksOnTheWay(ToolRun *run, const std::vector<const FastFileEntry *> &chosen)
{
    std::unordered_set<std::string> seen;  // each folder is looked at once
    std::string last = "\\";               // no entry's folder part
    for (const FastFileEntry *entry : chosen) {
        std::string name = StoredName(*entry), part = FolderPart(name);
        if (part == last)
            continue;
        last = part;
        for (const std::string &on : FoldersOnTheWay(run->folder, name)) {
            if (seen.insert(on).second && IsLink(on)) {
                Fail(run, "%s: refusing the entry %s, whose folder %s is a link; nothing was extracted",
                     Printable(run->archive).c_str(), NameText(*entry).c_str(), Printable(on).c_str());
                return false;
            }
        }
    }
    return true;
}

// Every entry is judged before any is written: a name that could leave the
// folder refuses the whole run, so a hostile archive writes nothing at all.
bool AllSafe(ToolRun *run, const std::vector<const FastFileEntry *> &chosen)
{
    bool safe = true;
    for (const FastFileEntry *entry : chosen) {
        unsigned faults = FastFileCheckName(StoredName(*entry).c_str()) & FastFileNameUnsafe;
        if (faults) {
            Fail(run, "%s: refusing the entry %s, whose name %s; nothing was extracted",
                 Printable(run->archive).c_str(), NameText(*entry).c_str(), NameFaultText(faults).c_str());
            safe = false;
        }
    }
    return safe;
}

// Entries that share their data would have them written many times over,
// so that a small archive could fill a disk: the entries chosen may hold no
// more than the archive's data do. Entries whose data run past the end of
// the file are not written, and do not count.
bool FitTheData(ToolRun *run, const ArchiveFile &archive, const std::vector<const FastFileEntry *> &chosen)
{
    uint64_t total = 0;
    for (const FastFileEntry *entry : chosen) {
        if (FastFileEntryInside(entry, archive.start.fileSize))
            total += entry->size;
    }
    const uint32_t held = archive.start.fileSize - archive.start.directorySize;
    if (total <= held)
        return true;
    Fail(run,
         "%s: the entries to extract hold %s bytes, more than the %u bytes of data in the archive: their data "
         "overlap; nothing was extracted",
         Printable(run->archive).c_str(), std::to_string(total).c_str(), held);
    return false;
}

// Where a folder on an entry's way is now: its place, or inside a folder
// made aside.
struct Made {
    std::string where;
    bool aside;
};

// The folders on the entries' way, as the run makes them. A folder that is
// not there yet is made under a temporary name beside its place, its
// entries are written in it under their own names, and it takes its place
// when the run ends: whoever looks finds it only when every entry in it is
// complete. Into a folder that was there, each entry is written under a
// temporary name beside its place and moved there when complete. Each
// folder is made once, and one that cannot be made is said once.
struct Folders {
    std::unordered_map<std::string, Made> made;  // by the folder's place
    std::unordered_set<std::string> failed;
    std::vector<Aside> asides;
    std::string lastPart = "\\";  // no entry's folder part
    Made last{"", false};          // where lastPart's folder is
};

// Where the folder of the entry name is now, made with the folders on its
// way when missing; null when one cannot be made.
const Made *FolderFor(ToolRun *run, Folders *folders, const std::string &name)
{
    std::string part = FolderPart(name);
    if (part == folders->lastPart)  // entries in a row mostly share their folder
        return &folders->last;
    Made at{run->folder.empty() ? "." : run->folder, false};
    for (const std::string &on : FoldersOnTheWay(run->folder, name)) {
        auto known = folders->made.find(on);
        if (known != folders->made.end()) {
            at = known->second;
            continue;
        }
        if (folders->failed.count(on))
            return nullptr;
        std::string why;
        bool made;
        if (at.aside) {  // inside a folder made aside: under its own name
            at.where += "/" + LeafOf(on);
            made = MakeFolder(at.where, &why);
        } else if (KindOf(on) == PathAbsent) {  // new: made aside until the run ends
            Aside aside{on, ""};
            made = BeginFolderAside(&aside, &why);
            if (made) {
                at = {aside.temporary, true};
                folders->asides.push_back(aside);
            }
        } else {
            at.where = on;
            made = MakeFolder(on, &why);
        }
        if (!made) {
            Fail(run, "cannot create the folder %s: %s; the entries in it are not extracted", Printable(on).c_str(),
                 why.c_str());
            folders->failed.insert(on);
            return nullptr;
        }
        folders->made[on] = at;
    }
    folders->lastPart = part;
    folders->last = at;
    return &folders->last;
}

// Copies the data of the entry into out and closes it; true when they are
// complete and sound, else fails saying why.
bool Fill(ToolRun *run, ArchiveFile *archive, const FastFileEntry &entry, Aside *out, const std::string &target)
{
    CopyOutcome copied = CopyEntry(archive, entry, out->file);
    int closed = CloseAside(out) ? 0 : errno;
    const std::string path = Printable(run->archive);
    if (copied.what == CopyOutcome::ReadFailed)
        Fail(run, "cannot read %s: %s", path.c_str(), strerror(copied.error));
    else if (copied.what == CopyOutcome::CutOff)
        Fail(run, "%s: the file ends inside the data of the entry %s: the archive is cut off", path.c_str(),
             NameText(entry).c_str());
    else if (copied.what == CopyOutcome::WriteFailed || closed)
        Fail(run, "cannot write %s: %s", Printable(target).c_str(), strerror(closed ? closed : copied.error));
    else if (archive->HasChecksums() && copied.checksum != entry.checksum)
        Fail(run, "%s: the entry %s is damaged: its data do not match their CRC-32; not extracted", path.c_str(),
             NameText(entry).c_str());
    else
        return true;
    return false;
}

// Writes one entry, whose name has been judged safe and on whose way no
// link stands, aside: in a folder made aside under its own name, as the
// folder takes its place with it. On failure nothing of the entry is left.
void WriteEntry(ToolRun *run, ArchiveFile *archive, Folders *folders, const FastFileEntry &entry)
{
    std::string name = StoredName(entry);
    const Made *folder = FolderFor(run, folders, name);
    if (!folder)
        return;
    const std::string target = TargetOf(run->folder, name);
    Aside out = folder->aside ? Aside{"", folder->where + "/" + LeafOf(name)} : Aside{target, ""};
    std::string why;
    if (!BeginAside(&out, &why))
        Fail(run, "cannot create %s: %s", Printable(target).c_str(), why.c_str());
    else if (!Fill(run, archive, entry, &out, target))
        AbandonAside(&out);
    else if (!FinishAside(&out, &why))
        Fail(run, "cannot create %s: %s", Printable(target).c_str(), why.c_str());
}

// Moves the folders made aside into their places. Should something have
// taken a place meanwhile, what was made aside is removed again.
void Settle(ToolRun *run, Folders *folders)
{
    for (Aside &aside : folders->asides) {
        std::string why;
        if (!FinishAside(&aside, &why))
            Fail(run, "cannot create the folder %s: %s; the entries in it are not extracted",
                 Printable(aside.place).c_str(), why.c_str());
    }
}

}  // namespace

void ListArchive(ToolRun *run)
{
    ArchiveFile archive;
    if (!LoadArchive(run, &archive))
        return;
    if (run->details)
        printf("%-12s %10s %10s\n", "NAME", "OFFSET", "SIZE");
    unsigned cutOff = 0;
    for (const FastFileEntry *entry : Records(archive)) {
        if (run->details)
            printf("%-12s %10u %10u\n", NameText(*entry).c_str(), entry->offset, entry->size);
        else
            printf("%s\n", NameText(*entry).c_str());
        if (!FastFileEntryInside(entry, archive.start.fileSize))
            SayCutOff(run, archive, *entry, &cutOff);
    }
    SayCutOffCount(run, cutOff);
}

void ExtractArchive(ToolRun *run)
{
    ArchiveFile archive;
    if (!LoadArchive(run, &archive))
        return;
    const std::string path = Printable(run->archive);
    const std::vector<const FastFileEntry *> records = Records(archive);
    const EntryIndex index = IndexEntries(records);
    std::vector<const FastFileEntry *> chosen;
    std::unordered_set<const FastFileEntry *> named;  // an entry named twice is written once
    for (const std::string &given : run->names) {
        std::string name = EntryPathOf(RelativeName(given));
        FastFileUpperCase(&name[0]);
        if (const FastFileEntry *entry = FindEntry(index, name)) {
            if (named.insert(entry).second)
                chosen.push_back(entry);
        } else {
            Fail(run, "%s: no entry %s", path.c_str(), Printable(name).c_str());
        }
    }
    if (run->names.empty()) {
        // What a lookup can reach, in table order: hidden duplicates and
        // empty names are not.
        for (const FastFileEntry *entry : records) {
            if (ReachedEntry(index, *entry) == entry)
                chosen.push_back(entry);
            else
                Say(run, "%s: skipping %s, which no lookup reaches", path.c_str(), NameText(*entry).c_str());
        }
    }
    if (!AllSafe(run, chosen) || !FitTheData(run, archive, chosen) || !NoLinksOnTheWay(run, chosen))
        return;
    std::string failed, why;
    if (!run->folder.empty() && !MakeFolders(run->folder, &failed, &why)) {
        Fail(run, "cannot create the folder %s: %s; nothing was extracted", Printable(failed).c_str(), why.c_str());
        return;
    }
    Folders folders;
    unsigned cutOff = 0;
    for (const FastFileEntry *entry : chosen) {
        if (run->verbose)
            printf("%s\n", NameText(*entry).c_str());
        if (!FastFileEntryInside(entry, archive.start.fileSize))
            SayCutOff(run, archive, *entry, &cutOff);
        else
            WriteEntry(run, &archive, &folders, *entry);
    }
    SayCutOffCount(run, cutOff);
    Settle(run, &folders);
}

// For each searched record whose data overlap the directory or the data of
// another record, what they overlap; an empty text for the others. Only
// data inside the file count. Entries laid out by a writer never share a
// byte; entries that do would have extract write the same bytes many times.
static std::vector<std::string> OverlapTexts(const ArchiveFile &archive,
                                             const std::vector<const FastFileEntry *> &records)
{
    std::vector<size_t> byOffset;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i]->size > 0 && FastFileEntryInside(records[i], archive.start.fileSize))
            byOffset.push_back(i);
    }
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [&](size_t a, size_t b) { return records[a]->offset < records[b]->offset; });
    // The data that reach furthest of those that begin before: what a
    // record's data overlap, if they overlap any.
    const uint32_t firstEntry = FastFileReadHeader(archive.Directory()).firstEntry;
    std::vector<std::string> texts(records.size());
    size_t furthest = records.size();
    uint64_t end = 0;
    for (size_t i : byOffset) {
        const FastFileEntry &entry = *records[i];
        if (entry.offset < archive.start.directorySize)
            texts[i] = "has data that overlap the directory (" + std::to_string(archive.start.directorySize) +
                       " bytes)";
        else if (entry.offset < end)
            texts[i] = "has data that overlap those of entry " + std::to_string(firstEntry + furthest) + " (" +
                       NameText(*records[furthest]) + ")";
        if (uint64_t(entry.offset) + entry.size > end) {
            end = uint64_t(entry.offset) + entry.size;
            furthest = i;
        }
    }
    return texts;
}

// What is wrong with one record, if anything, besides what it overlaps.
static std::vector<std::string> EntryProblems(ArchiveFile *archive, const EntryIndex &index,
                                              const FastFileEntry &entry)
{
    std::vector<std::string> problems;
    for (const std::string &text : NameFaultTexts(FastFileCheckName(StoredName(entry).c_str())))
        problems.push_back("has a name that " + text);
    const FastFileEntry *reached = ReachedEntry(index, entry);
    if (reached && reached != &entry)
        problems.push_back("repeats the name of an earlier entry, which hides it");
    if (!FastFileEntryInside(&entry, archive->start.fileSize)) {
        problems.push_back(PastEndText(entry, *archive));
        return problems;
    }
    if (archive->HasChecksums()) {
        CopyOutcome read = CopyEntry(archive, entry, -1);
        if (read.what != CopyOutcome::Done) {
            problems.push_back("has data that cannot be read: " +
                               (read.what == CopyOutcome::CutOff ? "the file ended" : ErrnoText(read.error)));
            return problems;
        }
        if (read.checksum != entry.checksum) {
            char sums[64];
            snprintf(sums, sizeof sums, " (stored %08x, found %08x)", entry.checksum, read.checksum);
            problems.push_back(std::string("has data that do not match their CRC-32") + sums);
        }
    } else if (fseek(archive->stream, static_cast<long>(entry.offset + entry.size), SEEK_SET) != 0) {
        problems.push_back("has data that cannot be read: " + ErrnoText(errno));
        return problems;
    }
    archive->position = -1;
    if (getc(archive->stream) != FastFileEndMarker)
        problems.push_back("has data that are not followed by byte 26");
    return problems;
}

void VerifyArchive(ToolRun *run)
{
    ArchiveFile archive;
    if (!LoadArchive(run, &archive))
        return;
    const std::string path = Printable(run->archive);
    const std::vector<const FastFileEntry *> records = Records(archive);
    const EntryIndex index = IndexEntries(records);
    const std::vector<std::string> overlaps = OverlapTexts(archive, records);
    FastFileHeader header = FastFileReadHeader(archive.Directory());
    int problems = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        std::vector<std::string> found = EntryProblems(&archive, index, *records[i]);
        if (!overlaps[i].empty())
            found.push_back(overlaps[i]);
        for (const std::string &problem : found) {
            Say(run, "%s: entry %u (%s) %s", path.c_str(), static_cast<unsigned>(header.firstEntry + i),
                NameText(*records[i]).c_str(), problem.c_str());
            ++problems;
        }
    }
    if (problems) {
        Fail(run, "%s: %d problem%s", path.c_str(), problems, problems == 1 ? "" : "s");
        return;
    }
    printf("%s: sound, %zu entr%s%s\n", path.c_str(), records.size(), records.size() == 1 ? "y" : "ies",
           archive.HasChecksums() ? ", each one's data matching its CRC-32"
                                  : "; structure only, as the archive holds no checksums of its data");
}
