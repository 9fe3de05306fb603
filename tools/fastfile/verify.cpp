#include "archive_file.h"
#include "commands.h"

#include "fastfile/names.h"

#include <errno.h>
#include <string.h>

#include <algorithm>

namespace {

// For each searched record whose data overlap the directory or the data of
// another record, what they overlap; an empty text for the others. Only
// data inside the file count. Entries laid out by a writer never share a
// byte; entries that do would have extract write the same bytes many times.
std::vector<std::string> OverlapTexts(const ArchiveFile &archive, const std::vector<const FastFileEntry *> &records)
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
std::vector<std::string> EntryProblems(ArchiveFile *archive, const EntryIndex &index, const FastFileEntry &entry)
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
            problems.push_back(std::string("has data that cannot be read: ") +
                               (read.what == CopyOutcome::CutOff ? "the file ended" : strerror(read.error)));
            return problems;
        }
        if (read.checksum != entry.checksum) {
            char sums[64];
            snprintf(sums, sizeof sums, " (stored %08x, found %08x)", entry.checksum, read.checksum);
            problems.push_back(std::string("has data that do not match their CRC-32") + sums);
        }
    } else if (fseek(archive->stream, static_cast<long>(entry.offset + entry.size), SEEK_SET) != 0) {
        problems.push_back(std::string("has data that cannot be read: ") + strerror(errno));
        return problems;
    }
    archive->position = -1;
    if (getc(archive->stream) != FastFileEndMarker)
        problems.push_back("has data that are not followed by byte 26");
    return problems;
}

}  // namespace

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
