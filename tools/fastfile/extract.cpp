#include "archive_file.h"
#include "aside.h"
#include "commands.h"
#include "platform.h"

#include "fastfile/names.h"

#include <errno.h>
#include <string.h>

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

// Makes a folder; an existing folder (or a link to one) is fine, anything
// else standing there fails with "File exists".
bool MakeFolder(const std::string &path, std::string *why)
{
    return MakeNewFolder(path, why) || IsFolderOrLinkToOne(path);
}

// Makes a folder and every missing one above it, as mkdir -p does; on
// failure *failed is the folder that could not be made.
bool MakeFolders(const std::string &path, std::string *failed, std::string *why)
{
    // Each folder from the outermost one that is missing; a root or drive
    // prefix is never made.
    std::vector<std::string> missing;
    for (std::string at = path; !at.empty() && KindOf(at) == PathAbsent;) {
        missing.push_back(at);
        at.resize(LastSeparator(at) + 1);
        while (!at.empty() && (at.back() == '/' || at.back() == '\\'))
            at.pop_back();
    }
    if (missing.empty())
        missing.push_back(path);  // something stands there: is it a folder?
    for (size_t i = missing.size(); i-- > 0;) {
        if (!MakeFolder(missing[i], why)) {
            *failed = missing[i];
            return false;
        }
    }
    return true;
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
