#include "archive_file.h"
#include "commands.h"

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
