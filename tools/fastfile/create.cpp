#include "archive_file.h"
#include "aside.h"
#include "commands.h"
#include "platform.h"

#include "fastfile/crc32.h"
#include "fastfile/layout.h"
#include "fastfile/names.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <numeric>

namespace {

struct Source {
    std::string file;    // relative to the folder
    std::string folder;  // where it is
    std::string leaf;    // its own name there
    std::string name;    // as stored
    uint64_t size;       // when it was found

    std::string Path() const { return folder.empty() ? leaf : folder + "/" + leaf; }
};

// What the archive is made from: everything named on the command line or
// in a list, folders walked. Each fault is said as it is met, and the run
// stops before anything is written. The files' sizes are taken as they are
// found, so that an archive too large to be read is refused before it is
// written.
struct Inputs {
    std::vector<Source> sources;
    std::vector<std::string> folders;  // every folder walked, in the order walked
};

void AddFile(Inputs *inputs, std::string file, const std::string &folder, std::string leaf, uint64_t size)
{
    std::string name = EntryPathOf(file);
    FastFileUpperCase(&name[0]);
    inputs->sources.push_back({std::move(file), folder, std::move(leaf), std::move(name), size});
}

bool NameBefore(const Source &a, const Source &b)
{
    return a.name < b.name;
}

// The first eight bytes of a name as one number, in the names' order: no
// name holds a NUL byte, so a shorter name's padding sorts first.
uint64_t Leading(const std::string &name)
{
    uint64_t leading = 0;
    for (size_t i = 0; i < 8; ++i)
        leading = leading << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    return leading;
}

// Sorts the sources from first on by their stored names: an index by the
// names' leading bytes, which mostly tell them apart without a call, and
// then the sources moved into place once each, along the cycles of the
// permutation, as a source is costly to move.
void SortFrom(std::vector<Source> *sources, size_t first)
{
    std::vector<Source> &all = *sources;
    if (std::is_sorted(all.begin() + first, all.end(), NameBefore))
        return;
    std::vector<std::pair<uint64_t, size_t>> order;
    order.reserve(all.size() - first);
    for (size_t i = first; i < all.size(); ++i)
        order.emplace_back(Leading(all[i].name), i);
    std::sort(order.begin(), order.end(), [&all](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : NameBefore(all[a.second], all[b.second]);
    });
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start].second == first + start)
            continue;  // in place, or placed along an earlier cycle
        Source held = std::move(all[first + start]);
        size_t at = start;
        for (size_t from; (from = order[at].second) != first + start; at = from - first) {
            all[first + at] = std::move(all[from]);
            order[at].second = first + at;
        }
        all[first + at] = std::move(held);
        order[at].second = first + at;
    }
}

void Walk(ToolRun *run, Inputs *inputs, const std::string &file, const std::string &path)
{
    inputs->folders.push_back(path);
    std::vector<FolderItem> items;
    std::string why;
    if (!ListFolder(path, &items, &why)) {
        Fail(run, "cannot read the folder %s: %s", Printable(path).c_str(), why.c_str());
        return;
    }
    for (FolderItem &item : items) {
        std::string itemFile = file.empty() ? item.name : file + "/" + item.name;
        switch (item.kind) {
        case PathFolder:
            Walk(run, inputs, itemFile, path + "/" + item.name);
            break;
        case PathFile:
            AddFile(inputs, std::move(itemFile), path, std::move(item.name), item.size);
            break;
        case PathLink:
            Fail(run, "%s/%s: a link, which an archive cannot hold", Printable(path).c_str(),
                 Printable(item.name).c_str());
            break;
        case PathSpecial:
        case PathAbsent:
            Fail(run, "%s/%s: not a regular file, which an archive cannot hold", Printable(path).c_str(),
                 Printable(item.name).c_str());
            break;
        }
    }
}

// Adds a file or a folder as given on the command line or in a list.
void Add(ToolRun *run, Inputs *inputs, const std::string &given)
{
    std::string file = RelativeName(given);
    const std::string &folder = run->folder;
    std::string path = folder.empty() ? file : folder + "/" + file;
    if (file.empty())
        path = folder.empty() ? "." : folder;
    if (!IsFolderOrLinkToOne(path)) {  // one met on a walk is not followed
        // The size comes from the file system's own answer, not from
        // seeking: a folder opens and seeks on some file systems, and then
        // seems 2 GiB long.
        uint64_t size;
        if (const char *why = MeasureRegularFile(path, &size)) {
            Fail(run, "cannot measure %s: %s", Printable(path).c_str(), why);
        } else {
            size_t slash = path.find_last_of("/\\");
            AddFile(inputs, file, slash == std::string::npos ? "" : path.substr(0, slash), path.substr(slash + 1),
                    size);
        }
        return;
    }
    // The folder's files in the order of their stored names, so that the
    // same folder always gives the same archive.
    size_t first = inputs->sources.size();
    Walk(run, inputs, file, path);
    SortFrom(&inputs->sources, first);
}

// Leaves out the archive being made, and the file aside that it is built
// in, wherever they were found: otherwise a run over the folder that holds
// them packs the previous archive into the next. Said once for each, as tar
// does.
void LeaveOut(ToolRun *run, std::vector<Source> *sources)
{
    for (const std::string &own : {run->archive, run->archive + ".partial"}) {
        // Only a file of the same size can be the same file: no other needs
        // to be opened to be told apart.
        uint64_t size;
        FileIdentity identity, other;
        if (KindOf(own) != PathFile || MeasureRegularFile(own, &size) || !IdentityOf(own, &identity))
            continue;
        auto kept = std::remove_if(sources->begin(), sources->end(), [&](const Source &source) {
            if (source.size != size || !IdentityOf(source.Path(), &other) || !(other == identity))
                return false;
            Say(run, "%s: is the archive being made; not packed", Printable(source.Path()).c_str());
            return true;
        });
        sources->erase(kept, sources->end());
    }
}

// Fails for every name that the format cannot hold or that another file
// has too.
void CheckNames(ToolRun *run, const std::vector<Source> &sources)
{
    for (const Source &source : sources) {
        unsigned faults = FastFileCheckName(source.name.c_str());
        if (faults != FastFileNameSound)
            Fail(run, "%s: the entry name %s %s", Printable(source.Path()).c_str(), Printable(source.name).c_str(),
                 NameFaultText(faults).c_str());
    }
    // Two files of one name, found through a sorted index, not a scan per
    // file; the files of one folder are in order already.
    std::vector<size_t> order(sources.size());
    std::iota(order.begin(), order.end(), 0);
    if (!std::is_sorted(sources.begin(), sources.end(), NameBefore))
        std::stable_sort(order.begin(), order.end(),
                         [&sources](size_t a, size_t b) { return NameBefore(sources[a], sources[b]); });
    for (size_t i = 1; i < order.size(); ++i) {
        const Source &first = sources[order[i - 1]], &again = sources[order[i]];
        if (first.name == again.name)
            Fail(run, "%s: the entry name %s is given twice (also for %s)", Printable(again.Path()).c_str(),
                 Printable(again.name).c_str(), Printable(first.Path()).c_str());
    }
}

// The archive's file as it is written: small pieces wait in Pending to go
// out together; one that fills it goes straight out.
struct Output {
    int file;
    size_t held;  // bytes in Pending
};

char Pending[1 << 16];

// False with errno on failure.
bool Flush(Output *out)
{
    size_t n = out->held;
    out->held = 0;
    return n == 0 || WriteTo(out->file, Pending, n);
}

bool Put(Output *out, const void *bytes, size_t n)
{
    if (out->held + n > sizeof Pending && !Flush(out))
        return false;
    if (n >= sizeof Pending)
        return WriteTo(out->file, bytes, n);
    memcpy(Pending + out->held, bytes, n);
    out->held += n;
    return true;
}

// Fails for a write of the archive, with errno's reason.
bool WriteFailed(ToolRun *run)
{
    Fail(run, "cannot write %s: %s", Printable(run->archive).c_str(), strerror(errno));
    return false;
}

// Copies exactly the size the file had when it was found, and its end
// marker, and sums the data: a file that changed meanwhile fails. Each read
// asks for one byte more than is left, so a file that grew shows.
bool Copy(ToolRun *run, Output *out, FileOpener *opener, const Source &source, uint32_t size, uint32_t *checksum)
{
    std::string why;
    int in = opener->Open(source.folder, source.leaf, &why);
    if (in < 0) {
        Fail(run, "cannot open %s: %s", Printable(source.Path()).c_str(), why.c_str());
        return false;
    }
    static char buffer[1 << 18];
    bool copied = false;
    for (uint32_t left = size;;) {
        size_t wanted = left < sizeof buffer ? left + 1 : sizeof buffer;
        long got = ReadFrom(in, buffer, wanted);
        if (got < 0) {
            Fail(run, "cannot read %s: %s", Printable(source.Path()).c_str(), strerror(errno));
        } else if (static_cast<unsigned long>(got) > left || (got == 0 && left > 0)) {
            Fail(run, "%s: changed while being read (it is no longer %s bytes long)", Printable(source.Path()).c_str(),
                 std::to_string(source.size).c_str());
        } else {
            size_t n = static_cast<size_t>(got);
            *checksum = FastFileCrc32(*checksum, buffer, n);
            left -= static_cast<uint32_t>(n);
            // A short read ends a regular file: the end marker goes out with
            // the last of the data, in the room the read left.
            bool end = left == 0 && n < wanted;
            if (end)
                buffer[n++] = FastFileEndMarker;
            if (!Put(out, buffer, n))
                WriteFailed(run);
            else if (!end)
                continue;
            else
                copied = true;
        }
        break;
    }
    CloseFile(in);
    return copied;
}

// Writes the archive into file, the file aside for it (a descriptor): room
// for the directory, then each file's data and end marker, then the
// directory with the sizes and checksums that the copies found. Fails, and
// says so, when anything goes wrong.
bool WriteArchive(ToolRun *run, int file, const std::vector<Source> &sources, const std::vector<uint32_t> &sizes)
{
    uint32_t count = static_cast<uint32_t>(sources.size());
    std::vector<uint8_t> directory(FastFileDirectorySizeFor(count));
    std::vector<uint32_t> checksums(count);
    Output out{file, 0};
    FileOpener opener;
    bool written = Put(&out, directory.data(), directory.size()) || WriteFailed(run);
    for (size_t i = 0; written && i < sources.size(); ++i) {
        if (run->verbose)
            printf("%s\n", Printable(sources[i].file).c_str());
        written = Copy(run, &out, &opener, sources[i], sizes[i], &checksums[i]);
    }
    if (written) {
        std::vector<const char *> names;
        for (const Source &source : sources)
            names.push_back(source.name.c_str());
        FastFileLayOut(directory.data(), count, names.data(), sizes.data(), checksums.data());
        written = (Flush(&out) && WriteAtStart(file, directory.data(), directory.size())) || WriteFailed(run);
    }
    return written;
}

// The sizes of the files, when one archive can hold them all; otherwise
// fails, saying which file takes it past what readers can reach.
bool SizesInOneArchive(ToolRun *run, const std::vector<Source> &sources, std::vector<uint32_t> *sizes)
{
    uint32_t count = static_cast<uint32_t>(sources.size());
    if (FastFileDirectorySizeFor(count) == 0) {
        Fail(run, "%s: too many files for one archive", Printable(run->archive).c_str());
        return false;
    }
    for (const Source &source : sources)  // past 4 GiB is past the limit too
        sizes->push_back(static_cast<uint32_t>(std::min<uint64_t>(source.size, UINT32_MAX)));
    uint32_t past = FastFileEntryPastLimit(count, sizes->data());
    if (past < count) {
        const Source &crossing = sources[past];
        Fail(run,
             "%s: with %s (%s bytes) the archive would pass 2 GiB, beyond what its 32-bit offsets reach; nothing "
             "was written",
             Printable(run->archive).c_str(), Printable(crossing.Path()).c_str(),
             std::to_string(crossing.size).c_str());
        return false;
    }
    return true;
}

// A path as Make and Ninja read it in a depfile, escaped as GCC escapes
// them: a space after a backslash, and the backslashes before it doubled;
// '#' and ':' after a backslash; '$' doubled. False for a tab or a line
// break, which Ninja cannot read in a name.
bool DepfileName(const std::string &path, std::string *name)
{
    size_t backslashes = 0;  // just before
    for (char c : path) {
        if (c == '\t' || c == '\n' || c == '\r')
            return false;
        if (c == ' ')
            name->append(backslashes + 1, '\\');
        else if (c == '#' || c == ':')
            *name += '\\';
        else if (c == '$')
            *name += '$';
        *name += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    return true;
}

// The depfile of the archive: its name, then every file packed, every
// folder walked (a file added to one makes the archive anew) and every list
// read. A folder that holds the archive is left out: writing the archive
// changes its date. Fails when a path cannot be written in a depfile.
std::string DepfileText(ToolRun *run, const Inputs &inputs)
{
    std::string text;
    auto name = [&](const std::string &written) {
        if (!DepfileName(written, &text))
            Fail(run, "%s: a name with a tab or a line break, which a depfile cannot hold",
                 Printable(written).c_str());
    };
    auto input = [&](const std::string &written) {
        text += " \\\n ";
        name(written);
    };
    const std::string &path = run->archive;
    name(path);
    text += ':';
    for (const Source &source : inputs.sources)
        input(source.Path());
    size_t slash = path.find_last_of("/\\");
    FileIdentity own, other;
    bool known = IdentityOf(slash == std::string::npos ? "." : path.substr(0, slash + 1), &own);
    for (const std::string &folder : inputs.folders) {
        if (!known || !IdentityOf(folder, &other) || !(other == own))
            input(folder);
    }
    for (const std::string &list : run->lists) {
        if (list != "-")
            input(list);
    }
    text += '\n';
    return text;
}

// Begins the file aside for path as path.partial, as create makes its
// files: a regular file of that name is one that a killed run left, and is
// replaced; whatever else has the name (a folder, a link) is refused, never
// written through, and never removed.
bool BeginPartial(ToolRun *run, const std::string &path, Aside *aside)
{
    *aside = {path, path + ".partial"};
    std::string why;
    if (KindOf(aside->temporary) == PathFile && remove(aside->temporary.c_str()) != 0)
        why = strerror(errno);
    else if (BeginAside(aside, &why))
        return true;
    Fail(run, "cannot create %s: %s", Printable(aside->temporary).c_str(), why.c_str());
    return false;
}

// Moves a file that create wrote aside into its place.
bool Replace(ToolRun *run, Aside *aside)
{
    std::string why;
    if (FinishAside(aside, &why))
        return true;
    Fail(run, "cannot replace %s: %s", Printable(aside->place).c_str(), why.c_str());
    return false;
}

// Writes the depfile, built aside and moved into place as the archive is.
// Fails, and nothing is left.
bool WriteDepfile(ToolRun *run, const std::string &text)
{
    Aside out;
    if (!BeginPartial(run, run->depfile, &out))
        return false;
    if (!WriteTo(out.file, text.data(), text.size()) || !CloseAside(&out)) {
        Fail(run, "cannot write %s: %s", Printable(run->depfile).c_str(), strerror(errno));
        AbandonAside(&out);
        return false;
    }
    return Replace(run, &out);
}

}  // namespace

void CreateArchive(ToolRun *run)
{
    Inputs inputs;
    for (const std::string &given : run->names)
        Add(run, &inputs, given);
    LeaveOut(run, &inputs.sources);
    CheckNames(run, inputs.sources);
    std::vector<uint32_t> sizes;
    if (run->status != 0 || !SizesInOneArchive(run, inputs.sources, &sizes))
        return;
    const std::string depfile = run->depfile.empty() ? "" : DepfileText(run, inputs);
    if (run->status != 0)
        return;
    // Built aside and moved into place, so that a failure leaves no partial
    // archive and an existing one untouched; the depfile goes into place
    // just before it.
    Aside archive;
    if (!BeginPartial(run, run->archive, &archive))
        return;
    if (!WriteArchive(run, archive.file, inputs.sources, sizes) || !(CloseAside(&archive) || WriteFailed(run)) ||
        (!run->depfile.empty() && !WriteDepfile(run, depfile)))
        AbandonAside(&archive);
    else
        Replace(run, &archive);
}
