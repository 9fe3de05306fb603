#include "archive_file.h"
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

// Everything named on the command line or in a list, folders walked; each
// fault is said as it is met, and the run stops before anything is written.
// The files' sizes are taken as they are found, so that an archive too large
// to be read is refused before it is written.
class Gatherer {
public:
    explicit Gatherer(const std::string &folder) : folder_(folder) {}

    void Add(const std::string &given)
    {
        std::string file = RelativeName(given);
        std::string path = file.empty() ? (folder_.empty() ? "." : folder_) : In(folder_, file);
        if (!IsFolderOrLinkToOne(path)) {  // one met on a walk is not followed
            // The size comes from the file system's own answer, not from
            // seeking: a folder opens and seeks on some file systems, and then
            // seems 2 GiB long.
            uint64_t size;
            if (const char *why = MeasureRegularFile(path, &size)) {
                Say("cannot measure %s: %s", Printable(path).c_str(), why);
                sound_ = false;
            } else {
                size_t slash = path.find_last_of("/\\");
                AddFile(file, slash == std::string::npos ? "" : path.substr(0, slash), path.substr(slash + 1), size);
            }
            return;
        }
        // The folder's files in the order of their stored names, so that the
        // same folder always gives the same archive.
        size_t first = sources_.size();
        Walk(file, path);
        SortFrom(first);
    }

    // Leaves out the archive at path, and the file aside that it is built
    // in, wherever they were found: otherwise a run over the folder that
    // holds them packs the previous archive into the next. Said once for
    // each, as tar does.
    void LeaveOut(const std::string &path);

    // True when every file was found and every name is one the format can
    // hold and no other file has.
    bool Done();

    const std::vector<Source> &Sources() const { return sources_; }

    // Every folder walked, in the order walked.
    const std::vector<std::string> &Folders() const { return folders_; }

private:
    static std::string In(const std::string &folder, const std::string &file)
    {
        return folder.empty() ? file : folder + "/" + file;
    }

    void AddFile(std::string file, const std::string &folder, std::string leaf, uint64_t size)
    {
        std::string name = EntryPathOf(file);
        FastFileUpperCase(&name[0]);
        sources_.push_back({std::move(file), folder, std::move(leaf), std::move(name), size});
    }

    static bool NameBefore(const Source &a, const Source &b) { return a.name < b.name; }

    // The first eight bytes of a name as one number, in the names' order:
    // no name holds a NUL byte, so a shorter name's padding sorts first.
    static uint64_t Leading(const std::string &name)
    {
        uint64_t leading = 0;
        for (size_t i = 0; i < 8; ++i)
            leading = leading << 8 | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
        return leading;
    }

    // Sorts the sources from first on by their stored names: an index by
    // the names' leading bytes, which mostly tell them apart without a
    // call, and then the sources moved into place once each, along the
    // cycles of the permutation, as a source is costly to move.
    void SortFrom(size_t first)
    {
        if (std::is_sorted(sources_.begin() + first, sources_.end(), NameBefore))
            return;
        std::vector<std::pair<uint64_t, size_t>> order;
        order.reserve(sources_.size() - first);
        for (size_t i = first; i < sources_.size(); ++i)
            order.emplace_back(Leading(sources_[i].name), i);
        std::sort(order.begin(), order.end(), [this](const auto &a, const auto &b) {
            return a.first != b.first ? a.first < b.first : NameBefore(sources_[a.second], sources_[b.second]);
        });
        for (size_t start = 0; start < order.size(); ++start) {
            if (order[start].second == first + start)
                continue;  // in place, or placed along an earlier cycle
            Source held = std::move(sources_[first + start]);
            size_t at = start;
            for (size_t from; (from = order[at].second) != first + start; at = from - first) {
                sources_[first + at] = std::move(sources_[from]);
                order[at].second = first + at;
            }
            sources_[first + at] = std::move(held);
            order[at].second = first + at;
        }
    }

    void Walk(const std::string &file, const std::string &path)
    {
        folders_.push_back(path);
        std::vector<FolderItem> items;
        std::string why;
        if (!ListFolder(path, &items, &why)) {
            Say("cannot read the folder %s: %s", Printable(path).c_str(), why.c_str());
            sound_ = false;
            return;
        }
        for (FolderItem &item : items) {
            std::string itemFile = file.empty() ? item.name : file + "/" + item.name;
            switch (item.kind) {
            case PathFolder:
                Walk(itemFile, path + "/" + item.name);
                break;
            case PathFile:
                AddFile(std::move(itemFile), path, std::move(item.name), item.size);
                break;
            case PathLink:
                Say("%s/%s: a link, which an archive cannot hold", Printable(path).c_str(),
                    Printable(item.name).c_str());
                sound_ = false;
                break;
            case PathSpecial:
            case PathAbsent:
                Say("%s/%s: not a regular file, which an archive cannot hold", Printable(path).c_str(),
                    Printable(item.name).c_str());
                sound_ = false;
                break;
            }
        }
    }

    std::string folder_;
    std::vector<Source> sources_;
    std::vector<std::string> folders_;
    bool sound_ = true;
};

void Gatherer::LeaveOut(const std::string &path)
{
    for (const std::string &own : {path, path + ".partial"}) {
        // Only a file of the same size can be the same file: no other needs
        // to be opened to be told apart.
        uint64_t size;
        FileIdentity identity, other;
        if (KindOf(own) != PathFile || MeasureRegularFile(own, &size) || !IdentityOf(own, &identity))
            continue;
        auto kept = std::remove_if(sources_.begin(), sources_.end(), [&](const Source &source) {
            if (source.size != size || !IdentityOf(source.Path(), &other) || !(other == identity))
                return false;
            Say("%s: is the archive being made; not packed", Printable(source.Path()).c_str());
            return true;
        });
        sources_.erase(kept, sources_.end());
    }
}

bool Gatherer::Done()
{
    for (const Source &source : sources_) {
        unsigned faults = FastFileCheckName(source.name.c_str());
        if (faults != FastFileNameSound) {
            Say("%s: the entry name %s %s", Printable(source.Path()).c_str(), Printable(source.name).c_str(),
                NameFaultText(faults).c_str());
            sound_ = false;
        }
    }
    // Two files of one name, found through a sorted index, not a scan per
    // file; the files of one folder are in order already.
    std::vector<size_t> order(sources_.size());
    std::iota(order.begin(), order.end(), 0);
    if (!std::is_sorted(sources_.begin(), sources_.end(), NameBefore))
        std::stable_sort(order.begin(), order.end(),
                         [this](size_t a, size_t b) { return NameBefore(sources_[a], sources_[b]); });
    for (size_t i = 1; i < order.size(); ++i) {
        const Source &first = sources_[order[i - 1]], &again = sources_[order[i]];
        if (first.name == again.name) {
            Say("%s: the entry name %s is given twice (also for %s)", Printable(again.Path()).c_str(),
                Printable(again.name).c_str(), Printable(first.Path()).c_str());
            sound_ = false;
        }
    }
    return sound_;
}

// Writes the archive into out, the file aside for the archive at path (a
// descriptor): room for the directory, then each file's data and end
// marker, then the directory with the sizes and checksums that the copies
// found. Closes out.
class ArchiveWriter {
public:
    ArchiveWriter(int out, const std::string &path, const std::vector<Source> &sources,
                  const std::vector<uint32_t> &sizes)
        : out_(out), path_(path), sources_(sources), sizes_(sizes), checksums_(sources.size())
    {
    }

    bool Write(bool verbose)
    {
        uint32_t count = static_cast<uint32_t>(sources_.size());
        std::vector<uint8_t> directory(FastFileDirectorySizeFor(count));
        bool written = Put(directory.data(), directory.size());
        for (size_t i = 0; written && i < sources_.size(); ++i) {
            if (verbose)
                printf("%s\n", Printable(sources_[i].file).c_str());
            written = Copy(i);
        }
        if (written) {
            std::vector<const char *> names;
            for (const Source &source : sources_)
                names.push_back(source.name.c_str());
            FastFileLayOut(directory.data(), count, names.data(), sizes_.data(), checksums_.data());
            written = Flush() && (WriteAtStart(out_, directory.data(), directory.size()) || Failed());
        }
        if (!CloseWritten(out_) && written && !failedInput_)
            written = Failed();
        if (!written && !failedInput_)
            Say("cannot write %s: %s", Printable(path_).c_str(), strerror(error_));
        return written;
    }

private:
    // Writes n bytes; false with error_ on failure. Small pieces wait in
    // pending_ to go out together; one that fills it goes straight out.
    bool Put(const void *bytes, size_t n)
    {
        if (held_ + n > sizeof pending_ && !Flush())
            return false;
        if (n >= sizeof pending_)
            return WriteTo(out_, bytes, n) || Failed();
        memcpy(pending_ + held_, bytes, n);
        held_ += n;
        return true;
    }

    bool Flush()
    {
        size_t n = held_;
        held_ = 0;
        return n == 0 || WriteTo(out_, pending_, n) || Failed();
    }

    bool Failed()
    {
        error_ = errno;
        return false;
    }

    // Copies exactly the size the file had when it was found, and its end
    // marker, and sums the data: a file that changed meanwhile fails. Each
    // read asks for one byte more than is left, so a file that grew shows.
    bool Copy(size_t i)
    {
        const Source &source = sources_[i];
        std::string why;
        int in = opener_.Open(source.folder, source.leaf, &why);
        if (in < 0) {
            Say("cannot open %s: %s", Printable(source.Path()).c_str(), why.c_str());
            return InputFailed();
        }
        static char buffer[1 << 18];
        bool copied = false;
        for (uint32_t left = sizes_[i];;) {
            size_t wanted = left < sizeof buffer ? left + 1 : sizeof buffer;
            long got = ReadFrom(in, buffer, wanted);
            if (got < 0) {
                Say("cannot read %s: %s", Printable(source.Path()).c_str(), strerror(errno));
                failedInput_ = true;
            } else if (static_cast<unsigned long>(got) > left || (got == 0 && left > 0)) {
                Changed(source);
            } else {
                size_t n = static_cast<size_t>(got);
                checksums_[i] = FastFileCrc32(checksums_[i], buffer, n);
                left -= static_cast<uint32_t>(n);
                // A short read ends a regular file: the end marker goes out
                // with the last of the data, in the room the read left.
                bool end = left == 0 && n < wanted;
                if (end)
                    buffer[n++] = FastFileEndMarker;
                if (!Put(buffer, n))
                    break;
                if (!end)
                    continue;
                copied = true;
            }
            break;
        }
        CloseFile(in);
        return failedInput_ ? InputFailed() : copied;
    }

    bool InputFailed()
    {
        failedInput_ = true;
        return false;
    }

    bool Changed(const Source &source)
    {
        Say("%s: changed while being read (it is no longer %s bytes long)", Printable(source.Path()).c_str(),
            std::to_string(source.size).c_str());
        return InputFailed();
    }

    int out_;
    const std::string &path_;
    const std::vector<Source> &sources_;
    const std::vector<uint32_t> &sizes_;  // as the files were found
    std::vector<uint32_t> checksums_;
    FileOpener opener_;
    int error_ = 0;  // of the failed write
    bool failedInput_ = false;  // said where it happened
    static char pending_[1 << 16];
    size_t held_ = 0;  // bytes in pending_
};

char ArchiveWriter::pending_[1 << 16];

// The sizes of the files, when one archive can hold them all; otherwise
// says which file takes it past what readers can reach.
bool SizesInOneArchive(const std::string &path, const std::vector<Source> &sources, std::vector<uint32_t> *sizes)
{
    uint32_t count = static_cast<uint32_t>(sources.size());
    if (FastFileDirectorySizeFor(count) == 0) {
        Say("%s: too many files for one archive", Printable(path).c_str());
        return false;
    }
    for (const Source &source : sources)  // past 4 GiB is past the limit too
        sizes->push_back(static_cast<uint32_t>(std::min<uint64_t>(source.size, UINT32_MAX)));
    uint32_t past = FastFileEntryPastLimit(count, sizes->data());
    if (past < count) {
        const Source &crossing = sources[past];
        Say("%s: with %s (%s bytes) the archive would pass 2 GiB, beyond what its 32-bit offsets reach; nothing "
            "was written",
            Printable(path).c_str(), Printable(crossing.Path()).c_str(), std::to_string(crossing.size).c_str());
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

// The depfile of the archive at path: its name, then every file packed,
// every folder walked (a file added to one makes the archive anew) and
// every list read. A folder that holds the archive is left out: writing
// the archive changes its date. False, said, when a path cannot be written
// in a depfile.
bool DepfileText(const std::string &path, const Gatherer &gatherer, const std::vector<std::string> &lists,
                 std::string *text)
{
    bool sound = true;
    auto name = [&](const std::string &written) {
        if (!DepfileName(written, text)) {
            Say("%s: a name with a tab or a line break, which a depfile cannot hold", Printable(written).c_str());
            sound = false;
        }
    };
    auto input = [&](const std::string &written) {
        *text += " \\\n ";
        name(written);
    };
    name(path);
    *text += ':';
    for (const Source &source : gatherer.Sources())
        input(source.Path());
    size_t slash = path.find_last_of("/\\");
    FileIdentity own, other;
    bool known = IdentityOf(slash == std::string::npos ? "." : path.substr(0, slash + 1), &own);
    for (const std::string &folder : gatherer.Folders()) {
        if (!known || !IdentityOf(folder, &other) || !(other == own))
            input(folder);
    }
    for (const std::string &list : lists) {
        if (list != "-")
            input(list);
    }
    *text += '\n';
    return sound;
}

// Writes text into a new file at path, built aside and moved into place as
// the archive is. False, said, on failure, and nothing is left.
bool WriteWhole(const std::string &path, const std::string &text)
{
    std::string partial = path + ".partial", why;
    int out = ReplaceRegularFile(partial, &why);
    if (out < 0) {
        Say("cannot create %s: %s", Printable(partial).c_str(), why.c_str());
        return false;
    }
    bool written = WriteTo(out, text.data(), text.size());
    int error = errno;
    if (!CloseWritten(out) && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        Say("cannot write %s: %s", Printable(path).c_str(), strerror(error));
    } else if (!MoveIntoPlace(partial, path, &why)) {
        Say("cannot replace %s: %s", Printable(path).c_str(), why.c_str());
        written = false;
    }
    if (!written)
        remove(partial.c_str());
    return written;
}

}  // namespace

int CreateArchive(const std::string &path, const std::vector<std::string> &files, const ToolOptions &options)
{
    Gatherer gatherer(options.folder);
    for (const std::string &file : files)
        gatherer.Add(file);
    gatherer.LeaveOut(path);
    std::vector<uint32_t> sizes;
    std::string depfile;
    if (!gatherer.Done() || !SizesInOneArchive(path, gatherer.Sources(), &sizes) ||
        (!options.depfile.empty() && !DepfileText(path, gatherer, options.lists, &depfile)))
        return 1;
    const std::vector<Source> &sources = gatherer.Sources();
    // Built aside and moved into place, so that a failure leaves no partial
    // archive and an existing one untouched. A regular file aside is one
    // that a killed run left and is replaced; whatever else has its name (a
    // folder, a link) is refused, never written through, and never removed.
    std::string partial = path + ".partial";
    std::string why;
    int out = ReplaceRegularFile(partial, &why);
    if (out < 0) {
        Say("cannot create %s: %s", Printable(partial).c_str(), why.c_str());
        return 1;
    }
    if (!ArchiveWriter(out, path, sources, sizes).Write(options.verbose) ||
        (!options.depfile.empty() && !WriteWhole(options.depfile, depfile))) {
        remove(partial.c_str());
        return 1;
    }
    if (!MoveIntoPlace(partial, path, &why)) {
        Say("cannot replace %s: %s", Printable(path).c_str(), why.c_str());
        remove(partial.c_str());
        return 1;
    }
    return 0;
}
