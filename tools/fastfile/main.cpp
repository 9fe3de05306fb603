// fastfile: makes, lists, extracts and checks the game's fast-file archives.

#include "commands.h"

#include <stdio.h>
#include <string.h>

namespace {

const char Usage[] =
    "usage: fastfile create ARCHIVE [-C DIR] FILE...   pack files (names relative to DIR)\n"
    "       fastfile list ARCHIVE                      name, offset and size of each entry\n"
    "       fastfile extract ARCHIVE [NAME...] [-C DIR] write entries (all when no NAME)\n"
    "       fastfile verify ARCHIVE                    check the archive; exit code 1 if unsound\n";

int UsageError()
{
    fputs(Usage, stderr);
    return 2;
}

// The arguments after ARCHIVE: "-C DIR" anywhere, the rest in order.
bool SplitArguments(int argc, char **argv, std::string *folder, std::vector<std::string> *rest)
{
    for (int i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "-C") == 0) {
            if (++i == argc)
                return false;
            *folder = argv[i];
        } else {
            rest->push_back(argv[i]);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return UsageError();
    std::string command = argv[1];
    std::string archive = argv[2];
    std::string folder;
    std::vector<std::string> rest;
    if (!SplitArguments(argc, argv, &folder, &rest))
        return UsageError();

    if (command == "create" && !rest.empty())
        return CreateArchive(archive, folder, rest);
    if (command == "list" && argc == 3)
        return ListArchive(archive);
    if (command == "extract")
        return ExtractArchive(archive, rest, folder);
    if (command == "verify" && argc == 3)
        return VerifyArchive(archive);
    return UsageError();
}
