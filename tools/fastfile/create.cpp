#include "archive_file.h"
#include "commands.h"
#include "platform.h"

#include "gamefs/archive_writer.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace {

struct Source {
    std::string file;  // relative to the folder
    std::string path;  // to open
    std::string name;  // as stored
    uint32_t size;
};

// The size comes from the file system's own answer, not from seeking: a
// folder opens and seeks on some file systems, and then seems 2 GiB long.
bool Measure(const std::string &path, uint32_t *size)
{
    uint64_t measured = 0;
    if (const char *why = MeasureRegularFile(path, &measured)) {
        Say("cannot measure %s: %s", Printable(path).c_str(), why);
        return false;
    }
    if (measured > INT32_MAX) {
        Say("%s: too large for one archive (limit 2 GiB)", Printable(path).c_str());
        return false;
    }
    *size = static_cast<uint32_t>(measured);
    return true;
}

// Everything named on the command line or in a list, folders walked; each
// fault is said as it is met, and the run stops before anything is written.
class Gatherer {
public:
    explicit Gatherer(const std::string &folder) : folder_(folder) {}

    void Add(const std::string &given)
    {
        std::string file = RelativeName(given);
        std::string path = file.empty() ? (folder_.empty() ? "." : folder_) : In(folder_, file);
        if (!IsFolderOrLinkToOne(path)) {  // one met on a walk is not followed
            AddFile(file, path);
            return;
        }
        // The folder's files in the order of their stored names, so that the
        // same folder always gives the same archive.
        size_t first = sources_.size();
        Walk(file, path);
        std::sort(sources_.begin() + first, sources_.end(),
                  [](const Source &a, const Source &b) { return a.name < b.name; });
    }

    // True when every file was found and every name is one the format can
    // hold and no other file has.
    bool Done();

    const std::vector<Source> &Sources() const { return sources_; }

private:
    static std::string In(const std::string &folder, const std::string &file)
    {
        return folder.empty() ? file : folder + "/" + file;
    }

    void AddFile(const std::string &file, const std::string &path)
    {
        Source source{file, path, EntryPathOf(file), 0};
        FastFileUpperCase(&source.name[0]);
        if (Measure(path, &source.size))
            sources_.push_back(source);
        else
            sound_ = false;
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
                AddFile(itemFile, itemPath);
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

bool Gatherer::Done()
{
    for (const Source &source : sources_) {
        unsigned faults = FastFileCheckName(source.name.c_str());
        if (faults != FastFileNameSound) {
            Say("%s: the entry name %s %s", Printable(source.path).c_str(), Printable(source.name).c_str(),
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
            Say("%s: the entry name %s is given twice (also for %s)", Printable(again.path).c_str(),
                Printable(again.name).c_str(), Printable(first.path).c_str());
            sound_ = false;
        }
    }
    return sound_;
}

enum class Copied { Whole, InputFailed, OutputFailed };

// Copies exactly the measured size and its end marker, and sums the data.
// A file that changed meanwhile fails; a failure to read is said here, one
// to write is left to the caller (with its errno in *error).
Copied CopyData(const Source &source, FILE *out, uint32_t *checksum, int *error)
{
    const char *path = source.path.c_str();
    FILE *in = fopen(path, "rb");
    if (!in) {
        Say("cannot open %s: %s", Printable(path).c_str(), strerror(errno));
        return Copied::InputFailed;
    }
    static char buffer[1 << 18];
    Copied copied = Copied::Whole;
    *checksum = 0;
    for (uint32_t left = source.size; left > 0 && copied == Copied::Whole;) {
        size_t n = left < sizeof buffer ? left : sizeof buffer;
        if (fread(buffer, 1, n, in) != n) {
            if (ferror(in))
                Say("cannot read %s: %s", Printable(path).c_str(), strerror(errno));
            else
                Say("%s: changed while being read (it became shorter than %u bytes)", Printable(path).c_str(),
                    source.size);
            copied = Copied::InputFailed;
        } else if (fwrite(buffer, 1, n, out) != n) {
            *error = errno;
            copied = Copied::OutputFailed;
        } else {
            *checksum = FastFileCrc32(*checksum, buffer, n);
            left -= static_cast<uint32_t>(n);
        }
    }
    if (copied == Copied::Whole && getc(in) != EOF) {
        Say("%s: changed while being read (it became longer than %u bytes)", Printable(path).c_str(), source.size);
        copied = Copied::InputFailed;
    }
    fclose(in);
    if (copied == Copied::Whole && putc(FastFileEndMarker, out) == EOF) {
        *error = errno;
        copied = Copied::OutputFailed;
    }
    return copied;
}

// Lays out the directory, with the data's checksums when they are known;
// false when the files do not fit in one archive.
bool LayOut(const std::vector<Source> &sources, const uint32_t *checksums, std::vector<uint8_t> *directory)
{
    std::vector<const char *> names;
    std::vector<uint32_t> sizes;
    for (const Source &source : sources) {
        names.push_back(source.name.c_str());
        sizes.push_back(source.size);
    }
    uint32_t count = static_cast<uint32_t>(sources.size());
    directory->resize(FastFileDirectorySizeFor(count));
    return !directory->empty() && FastFileLayOut(directory->data(), count, names.data(), sizes.data(), checksums);
}

// Writes the directory, the data and the directory again with the data's
// checksums, and closes out, the file aside for the archive at path.
bool WriteArchive(FILE *out, const std::string &path, std::vector<uint8_t> *directory,
                  const std::vector<Source> &sources, bool verbose)
{
    std::vector<uint32_t> checksums(sources.size());
    int error = 0;
    bool written = fwrite(directory->data(), 1, directory->size(), out) == directory->size();
    if (!written)
        error = errno;
    for (size_t i = 0; written && i < sources.size(); ++i) {
        if (verbose)
            printf("%s\n", Printable(sources[i].file).c_str());
        Copied copied = CopyData(sources[i], out, &checksums[i], &error);
        if (copied == Copied::InputFailed) {
            fclose(out);
            return false;
        }
        written = copied == Copied::Whole;
    }
    if (written) {
        LayOut(sources, checksums.data(), directory);
        written = fseek(out, 0, SEEK_SET) == 0 &&
                  fwrite(directory->data(), 1, directory->size(), out) == directory->size();
        if (!written)
            error = errno;
    }
    if (fclose(out) != 0 && written) {
        error = errno;
        written = false;
    }
    if (!written)
        Say("cannot write %s: %s", Printable(path).c_str(), strerror(error));
    return written;
}

}  // namespace

int CreateArchive(const std::string &path, const std::vector<std::string> &files, const ToolOptions &options)
{
    Gatherer gatherer(options.folder);
    for (const std::string &file : files)
        gatherer.Add(file);
    if (!gatherer.Done())
        return 1;
    const std::vector<Source> &sources = gatherer.Sources();
    std::vector<uint8_t> directory;
    if (!LayOut(sources, nullptr, &directory)) {
        Say("%s: too many or too large files for one archive (limit 2 GiB)", Printable(path).c_str());
        return 1;
    }
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
    if (!WriteArchive(out, path, &directory, sources, options.verbose)) {
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
