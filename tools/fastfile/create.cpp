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

const char *NameFaultText(FastFileNameFault fault)
{
    switch (fault) {
    case FastFileNameSound: return "sound";
    case FastFileNameEmpty: return "is empty";
    case FastFileNameTooLong: return "is longer than 12 characters";
    case FastFileNameLowerCase: return "has lower-case letters";
    case FastFileNameOutside: return "reaches outside the archive's folder";
    }
    return "is not usable";
}

bool Measure(const std::string &path, uint32_t *size)
{
    FILE *stream = fopen(path.c_str(), "rb");
    if (!stream) {
        fprintf(stderr, "fastfile: cannot open %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    long end = fseek(stream, 0, SEEK_END) == 0 ? ftell(stream) : -1;
    fclose(stream);
    if (end < 0) {
        fprintf(stderr, "fastfile: cannot measure %s (a folder, or 2 GiB or more)\n", path.c_str());
        return false;
    }
    *size = static_cast<uint32_t>(end);
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
        FastFileNameFault fault = FastFileCheckName(source.name.c_str());
        if (fault != FastFileNameSound) {
            fprintf(stderr, "fastfile: %s: the entry name %s %s\n", file.c_str(), source.name.c_str(),
                    NameFaultText(fault));
            return false;
        }
        if (!names.insert(source.name).second) {
            fprintf(stderr, "fastfile: %s: the entry name %s is given twice\n", file.c_str(), source.name.c_str());
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

bool WriteArchive(const std::string &path, const std::vector<Source> &sources)
{
    std::vector<const char *> names;
    std::vector<uint32_t> sizes;
    for (const Source &source : sources) {
        names.push_back(source.name.c_str());
        sizes.push_back(source.size);
    }
    uint32_t count = static_cast<uint32_t>(sources.size());
    std::vector<uint8_t> directory(FastFileDirectorySizeFor(count));
    if (directory.empty() || !FastFileLayOut(directory.data(), count, names.data(), sizes.data())) {
        fprintf(stderr, "fastfile: %s: too many or too large files for one archive (limit 2 GiB)\n",
                path.c_str());
        return false;
    }
    FILE *out = fopen(path.c_str(), "wb");
    if (!out) {
        fprintf(stderr, "fastfile: cannot create %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    bool written = fwrite(directory.data(), 1, directory.size(), out) == directory.size();
    for (size_t i = 0; written && i < sources.size(); ++i) {
        written = CopyData(sources[i], out);
        if (!written)
            fprintf(stderr, "fastfile: %s: cannot be read whole, or changed while being read\n",
                    sources[i].path.c_str());
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
    if (!Gather(folder, files, &sources))
        return 1;
    // Built aside and moved into place, so that a failure leaves no partial
    // archive and an existing one untouched.
    std::string partial = path + ".partial";
    if (!WriteArchive(partial, sources)) {
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
