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
        std::sort(sources_.begin() + first, sources_.end(),
                  [](const Source &a, const Source &b) { return a.name < b.name; });
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

private:
    static std::string In(const std::string &folder, const std::string &file)
    {
        return folder.empty() ? file : folder + "/" + file;
    }

    void AddFile(const std::string &file, const std::string &folder, const std::string &leaf, uint64_t size)
    {
        Source source{file, folder, leaf, EntryPathOf(file), size};
        FastFileUpperCase(&source.name[0]);
        sources_.push_back(source);
    }

    void Walk(const std::string &file, const std::string &path)
    {
        std::vector<FolderItem> items;
        std::string why;
        if (!ListFolder(path, &items, &why)) {
            Say("cannot read the folder %s: %s", Printable(path).c_str(), why.c_str());
            sound_ = false;
            return;
        }
        for (const FolderItem &item : items) {
            std::string itemFile = file.empty() ? item.name : file + "/" + item.name;
            std::string itemPath = path + "/" + item.name;
            switch (item.kind) {
            case PathFolder:
                Walk(itemFile, itemPath);
                break;
            case PathFile:
                AddFile(itemFile, path, item.name, item.size);
                break;
            case PathLink:
                Say("%s: a link, which an archive cannot hold", Printable(itemPath).c_str());
                sound_ = false;
                break;
            case PathSpecial:
            case PathAbsent:
                Say("%s: not a regular file, which an archive cannot hold", Printable(itemPath).c_str());
                sound_ = false;
                break;
            }
        }
    }

    std::string folder_;
    std::vector<Source> sources_;
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
    // Two files of one name, found through a sorted index, not a scan per file.
    std::vector<size_t> order(sources_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return sources_[a].name < sources_[b].name; });
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

// Writes the archive into out, the file aside for the archive at path: room
// for the directory, then each file's data and end marker, then the
// directory with the sizes and checksums that the copies found. Closes out.
class ArchiveWriter {
public:
    ArchiveWriter(FILE *out, const std::string &path, const std::vector<Source> &sources,
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
            written = fseek(out_, 0, SEEK_SET) == 0 && Put(directory.data(), directory.size());
        }
        if (fclose(out_) != 0 && written && !failedInput_) {
            error_ = errno;
            written = false;
        }
        if (!written && !failedInput_)
            Say("cannot write %s: %s", Printable(path_).c_str(), strerror(error_));
        return written;
    }

private:
    // Writes n bytes; false with error_ on failure.
    bool Put(const void *bytes, size_t n)
    {
        if (n > 0 && fwrite(bytes, 1, n, out_) != n) {
            error_ = errno;
            return false;
        }
        return true;
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
            } else if (Put(buffer, static_cast<size_t>(got))) {
                checksums_[i] = FastFileCrc32(checksums_[i], buffer, static_cast<size_t>(got));
                left -= static_cast<uint32_t>(got);
                if (left > 0 || static_cast<size_t>(got) == wanted)
                    continue;  // a short read ends a regular file
                copied = true;
            }
            break;
        }
        CloseFile(in);
        if (failedInput_)
            return InputFailed();
        char marker = FastFileEndMarker;
        return copied && Put(&marker, 1);
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

    FILE *out_;
    const std::string &path_;
    const std::vector<Source> &sources_;
    const std::vector<uint32_t> &sizes_;  // as the files were found
    std::vector<uint32_t> checksums_;
    FileOpener opener_;
    int error_ = 0;  // of the failed write
    bool failedInput_ = false;  // said where it happened
};

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

}  // namespace

int CreateArchive(const std::string &path, const std::vector<std::string> &files, const ToolOptions &options)
{
    Gatherer gatherer(options.folder);
    for (const std::string &file : files)
        gatherer.Add(file);
    gatherer.LeaveOut(path);
    std::vector<uint32_t> sizes;
    if (!gatherer.Done() || !SizesInOneArchive(path, gatherer.Sources(), &sizes))
        return 1;
    const std::vector<Source> &sources = gatherer.Sources();
    // Built aside and moved into place, so that a failure leaves no partial
    // archive and an existing one untouched. A regular file aside is one
    // that a killed run left and is replaced; whatever else has its name (a
    // folder, a link) is refused, never written through, and never removed.
    std::string partial = path + ".partial";
    std::string why;
    FILE *out = ReplaceRegularFile(partial, &why);
    if (!out) {
        Say("cannot create %s: %s", Printable(partial).c_str(), why.c_str());
        return 1;
    }
    setvbuf(out, nullptr, _IOFBF, 1 << 16);  // small files go out together
    if (!ArchiveWriter(out, path, sources, sizes).Write(options.verbose)) {
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
