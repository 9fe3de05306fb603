// fastfile: makes, lists, extracts and checks the game's fast-file archives.

#include "archive_file.h"
#include "commands.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

namespace {

const char Version[] = "fastfile 1.2\n";

const char Synopsis[] =
    "usage: fastfile create ARCHIVE [-v] [-C DIR] [-T LIST] [--depfile FILE] [FILE|FOLDER...]\n"
    "       fastfile list [-l] ARCHIVE\n"
    "       fastfile extract ARCHIVE [-v] [-C DIR] [-T LIST] [NAME...]\n"
    "       fastfile verify ARCHIVE\n";

const char Details[] =
    "\n"
    "  create   pack files, and every file beneath each folder, into ARCHIVE\n"
    "  list     the name of each entry\n"
    "  extract  write the named entries, or all of them\n"
    "  verify   check the archive and each entry's data\n"
    "\n"
    "  -C DIR   names are relative to DIR (extract makes it when missing)\n"
    "  -T LIST  the names also come from LIST, one a line ('-': standard input)\n"
    "  -v       print each name as it is packed or extracted\n"
    "  -l       list each entry's offset and size too\n"
    "  --depfile FILE\n"
    "           create: write to FILE, as Make and Ninja read dependencies,\n"
    "           ARCHIVE and every file, folder and list it was made from\n"
    "  --       what follows is a name, even when it begins with '-'\n"
    "  --help, --version\n"
    "\n"
    "Options may stand before or after ARCHIVE. Exit status: 0 done, 1 failed\n"
    "(each failure is said on standard error), 2 the command line is wrong.\n";

// What the command line asks for besides the run's options.
struct CommandLine {
    std::vector<std::string> words;  // command, archive, names
    bool help = false, version = false;
};

int UsageError(const std::string &problem)
{
    fprintf(stderr, "fastfile: %s\n%sTry 'fastfile --help' for more.\n", problem.c_str(), Synopsis);
    return 2;
}

// Options anywhere, as getopt takes them (-vC DIR, -CDIR), until "--".
bool Parse(int argc, char **argv, CommandLine *line, ToolRun *run, std::string *problem)
{
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!options || word.size() < 2 || word[0] != '-') {
            line->words.push_back(word);
        } else if (word == "--") {
            options = false;
        } else if (word == "--help") {
            line->help = true;
        } else if (word == "--version") {
            line->version = true;
        } else if (word == "--depfile" || word.compare(0, 10, "--depfile=") == 0) {
            std::string value = word.size() > 9 ? word.substr(10) : ++i < argc ? argv[i] : "";
            if (value.empty()) {
                *problem = "option --depfile needs a value";
                return false;
            }
            run->depfile = value;
        } else if (word[1] == '-') {
            *problem = "unknown option " + Printable(word);
            return false;
        } else {
            for (size_t at = 1; at < word.size(); ++at) {
                char option = word[at];
                if (option == 'v') {
                    run->verbose = true;
                } else if (option == 'l') {
                    run->details = true;
                } else if (option == 'C' || option == 'T') {
                    std::string value = word.substr(at + 1);
                    if (value.empty() && ++i == argc) {
                        *problem = std::string("option -") + option + " needs a value";
                        return false;
                    }
                    if (value.empty())
                        value = argv[i];
                    if (option == 'C')
                        run->folder = value;
                    else
                        run->lists.push_back(value);
                    break;
                } else {
                    *problem = "unknown option -" + Printable(std::string(1, option));
                    return false;
                }
            }
        }
    }
    return true;
}

// Appends the names of a list, one a line, as tar's --files-from reads
// them: empty lines are skipped, and a line may end in CR LF. A name with a
// NUL byte is refused: no file has one, and the rest of the tool would see
// only what comes before it.
void ReadList(ToolRun *run, const std::string &list)
{
    FILE *in = list == "-" ? stdin : fopen(list.c_str(), "rb");
    if (!in) {
        Fail(run, "cannot read the list %s: %s", Printable(list).c_str(), strerror(errno));
        return;
    }
    unsigned line = 1;
    std::string name;
    auto take = [&]() {
        if (!name.empty() && name.back() == '\r')
            name.pop_back();
        if (name.find('\0') != std::string::npos) {
            Fail(run, "the list %s, line %u: a name with a NUL byte, which no file has", Printable(list).c_str(),
                 line);
        } else if (!name.empty()) {
            run->names.push_back(name);
        }
        name.clear();
        ++line;
    };
    for (int c; (c = getc(in)) != EOF;) {
        if (c == '\n')
            take();
        else
            name += static_cast<char>(c);
    }
    take();
    if (ferror(in))
        Fail(run, "cannot read the list %s: %s", Printable(list).c_str(), strerror(errno));
    if (in != stdin)
        fclose(in);
}

// Runs the command over the run's record; the exit status.
int Run(const std::string &command, ToolRun *run)
{
    const bool takesNames = command == "create" || command == "extract";
    if (!takesNames && (!run->names.empty() || !run->lists.empty() || !run->folder.empty()))
        return UsageError(command + " takes only the archive");
    if (command != "list" && run->details)
        return UsageError("-l is for list only");
    if (command != "create" && !run->depfile.empty())
        return UsageError("--depfile is for create only");
    if (command == "create" && run->names.empty() && run->lists.empty())
        return UsageError("create needs the files to pack");
    for (const std::string &list : run->lists) {
        ReadList(run, list);
        if (run->status != 0)
            return run->status;
    }
    if (command == "create")
        CreateArchive(run);
    else if (command == "list")
        ListArchive(run);
    else if (command == "extract")
        ExtractArchive(run);
    else if (command == "verify")
        VerifyArchive(run);
    else
        return UsageError("unknown command " + Printable(command));
    return run->status;
}

}  // namespace

int main(int argc, char **argv)
{
    CommandLine line;
    ToolRun run;
    std::string problem;
    if (!Parse(argc, argv, &line, &run, &problem))
        return UsageError(problem);
    int status;
    if (line.help) {
        status = fputs(Synopsis, stdout) < 0 || fputs(Details, stdout) < 0;
    } else if (line.version) {
        status = fputs(Version, stdout) < 0;
    } else if (line.words.size() < 2) {
        return UsageError(line.words.empty() ? "no command" : "no archive");
    } else {
        run.archive = line.words[1];
        run.names.assign(line.words.begin() + 2, line.words.end());
        status = Run(line.words[0], &run);
    }
    // What went to standard output must have arrived, as for coreutils.
    if (fflush(stdout) != 0 || ferror(stdout)) {
        Fail(&run, "cannot write the output: %s", strerror(errno));
        return 1;
    }
    return status;
}
