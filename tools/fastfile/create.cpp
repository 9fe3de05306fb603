#include "archive_file.h"
#include "commands.h"
#include "platform.h"

#include "gamefs/archive_writer.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <set>

namespace {

struct Source {
    std::string file;  // as given
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
        fprintf(stderr, "fastfile: cannot measure %s: %s\n", Printable(path).c_str(), why);
        return false;
    }
    if (measured > INT32_MAX) {
        fprintf(stderr, "fastfile: %s: too large for one archive (limit 2 GiB)\n", Printable(path).c_str());
        return false;
    }
    *size = static_cast<uint32_t>(measured);
    return true;
}

// Names every file, refusing names that readers could not find, or that
// name two files.
bool Gather(const std::string &folder, const std::vector<std::string> &files, std::vector<Source> *sources)
{
    std::set<std::string> names;
    for (const std::string &file : files) {
        Source source{file, folder.empty() ? file : folder + "/" + file, EntryPathOf(file), 0};
        FastFileUpperCase(&source.name[0]);
        unsigned faults = FastFileCheckName(source.name.c_str());
        if (faults != FastFileNameSound) {
            fprintf(stderr, "fastfile: %s: the entry name %s %s\n", Printable(file).c_str(),
                    Printable(source.name).c_str(), NameFaultText(faults).c_str());
            return false;
        }
        if (!names.insert(source.name).second) {
            fprintf(stderr, "fastfile: %s: the entry name %s is given twice\n", Printable(file).c_str(),
                    Printable(source.name).c_str());
            return false;
        }
        if (!Measure(source.path, &source.size))
            return false;
        sources->push_back(source);
    }
    return true;
}

// Copies exactly the measured size: a file that changed meanwhile fails.
bool CopyData(const Source &source, FILE *out)
{
    FILE *in = fopen(source.path.c_str(), "rb");
    if (!in)
        return false;
    char buffer[65536];
    uint32_t left = source.size;
    while (left > 0) {
        size_t n = left < sizeof buffer ? left : sizeof buffer;
        if (fread(buffer, 1, n, in) != n || fwrite(buffer, 1, n, out) != n)
            break;
        left -= static_cast<uint32_t>(n);
    }
    bool whole = left == 0 && getc(in) == EOF;
    fclose(in);
    return whole && putc(FastFileEndMarker, out) != EOF;
}

// The directory of the archive, or false when the files do not fit in one.
bool LayOut(const std::string &path, const std::vector<Source> &sources, std::vector<uint8_t> *directory)
{
    std::vector<const char *> names;
    std::vector<uint32_t> sizes;
    for (const Source &source : sources) {
        names.push_back(source.name.c_str());
        sizes.push_back(source.size);
    }
    uint32_t count = static_cast<uint32_t>(sources.size());
    directory->resize(FastFileDirectorySizeFor(count));
    if (directory->empty() || !FastFileLayOut(directory->data(), count, names.data(), sizes.data())) {
        fprintf(stderr, "fastfile: %s: too many or too large files for one archive (limit 2 GiB)\n",
                path.c_str());
        return false;
    }
    return true;
}

// Writes and closes out, which is the file at path.
bool WriteArchive(FILE *out, const std::string &path, const std::vector<uint8_t> &directory,
                  const std::vector<Source> &sources)
{
    bool written = fwrite(directory.data(), 1, directory.size(), out) == directory.size();
    for (size_t i = 0; written && i < sources.size(); ++i) {
        written = CopyData(sources[i], out);
        if (!written)
            fprintf(stderr, "fastfile: %s: cannot be read whole, or changed while being read\n",
                    Printable(sources[i].path).c_str());
    }
    if (fclose(out) != 0 && written) {
        fprintf(stderr, "fastfile: cannot write %s\n", path.c_str());
        written = false;
    }
    return written;
}

}  // namespace

int CreateArchive(const std::string &path, const std::string &folder, const std::vector<std::string> &files)
{
    std::vector<Source> sources;
    std::vector<uint8_t> directory;
    if (!Gather(folder, files, &sources) || !LayOut(path, sources, &directory))
        return 1;
    // Built aside and moved into place, so that a failure leaves no partial
    // archive and an existing one untouched. The file aside is made anew:
    // whatever already has its name (a file, a folder, a link) is refused,
    // never written through, and never removed.
    std::string partial = path + ".partial";
    FILE *out = CreateNewFile(partial);
    if (!out) {
        fprintf(stderr, "fastfile: cannot create %s: %s\n", partial.c_str(), strerror(errno));
        return 1;
    }
    if (!WriteArchive(out, partial, directory, sources)) {
        remove(partial.c_str());
        return 1;
    }
    if (!MoveIntoPlace(partial, path)) {
        fprintf(stderr, "fastfile: cannot replace %s: %s\n", path.c_str(), strerror(errno));
        remove(partial.c_str());
        return 1;
    }
    return 0;
}
