#include "aside.h"

#include "platform.h"

#include <stdio.h>

#include <vector>

namespace {

// A name beside path that no entry can hold ("fastfile-" and ".tmp" alone
// are 13 characters), numbered on through the run, so that each is tried
// once however many are made in a folder.
std::string NextNameBeside(const std::string &path)
{
    static const std::string prefix = "fastfile-" + std::to_string(ProcessId()) + "-";
    static unsigned number = 0;
    size_t slash = path.find_last_of("/\\");
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + prefix + std::to_string(++number) + ".tmp";
}

// Makes something under the next free name beside place: make(name) makes
// it only where nothing stands. A name that is taken is passed over; one
// that is free but refused fails at once.
template <typename Make>
bool MakeBeside(const std::string &place, std::string *temporary, Make make)
{
    for (int attempt = 1; attempt <= 100; ++attempt) {
        *temporary = NextNameBeside(place);
        if (make(*temporary))
            return true;
        if (KindOf(*temporary) == PathAbsent)
            return false;
    }
    return false;
}

void RemoveFolderWithin(const std::string &folder)
{
    std::vector<FolderItem> items;
    std::string why;
    ListFolder(folder, &items, &why);
    for (const FolderItem &item : items) {
        std::string path = folder + "/" + item.name;
        if (item.kind == PathFolder)
            RemoveFolderWithin(path);
        else
            remove(path.c_str());
    }
    RemoveFolder(folder);
}

}  // namespace

bool BeginAside(Aside *aside, std::string *why)
{
    auto open = [&](const std::string &name) { return (aside->file = OpenNewFile(name, why)) >= 0; };
    return aside->temporary.empty() ? MakeBeside(aside->place, &aside->temporary, open) : open(aside->temporary);
}

bool BeginFolderAside(Aside *aside, std::string *why)
{
    aside->folder = true;
    auto make = [&](const std::string &name) { return MakeNewFolder(name, why); };
    return MakeBeside(aside->place, &aside->temporary, make);
}

bool CloseAside(Aside *aside)
{
    int file = aside->file;
    aside->file = -1;
    return CloseWritten(file);
}

bool FinishAside(Aside *aside, std::string *why)
{
    bool moved = aside->place.empty() ||
                 (aside->folder ? MoveFolderIntoPlace(aside->temporary, aside->place, why)
                                : PutInPlace(aside->temporary, aside->place, why));
    if (!moved)
        AbandonAside(aside);
    return moved;
}

void AbandonAside(Aside *aside)
{
    if (aside->file >= 0)
        CloseAside(aside);
    if (aside->folder)
        RemoveFolderWithin(aside->temporary);
    else
        remove(aside->temporary.c_str());
}
