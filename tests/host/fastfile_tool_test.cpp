// The fastfile tool as its users run it: create, list, extract and verify,
// refusals with a message and a non-zero exit, and nothing partial left.

#include "support/archive_bytes.h"
#include "support/hostile_names.h"

#include "fastfile/names.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

struct Outcome {
    int status;
    std::string output;  // stdout and stderr together
};

class FastFileTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/fastfile-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        Write("in/res.dat", "7 W L\r\n");
        Write("in/sub/f.txt", "hello\n");
        Write("in/empty", "");
    }

    void TearDown() override { Shell("rm -rf '" + root + "'"); }

    Outcome Tool(const std::string &arguments)
    {
        return Shell("cd '" + root + "' && '" FASTFILE_TOOL "' " + arguments + " 2>&1");
    }

    static Outcome Shell(const std::string &command)
    {
        Outcome run{-1, ""};
        FILE *pipe = popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.output.append(buffer, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    void Write(const std::string &path, const std::string &bytes)
    {
        std::string full = root + "/" + path;
        Shell("mkdir -p \"$(dirname '" + full + "')\"");
        std::ofstream(full, std::ios::binary) << bytes;
    }

    std::string Read(const std::string &path)
    {
        std::ifstream in(root + "/" + path, std::ios::binary);
        if (!in)
            return "(missing)";
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    bool Exists(const std::string &path)
    {
        struct stat info;
        return stat((root + "/" + path).c_str(), &info) == 0;
    }

    // Every path under the folder, sorted, one a line.
    std::string Listing(const std::string &folder)
    {
        return Shell("cd '" + root + "' && find '" + folder + "' | sort").output;
    }

    std::string root;
};

TEST_F(FastFileTool, CreateListExtractVerify)
{
    // A leading ./ and a trailing / are dropped, a folder stands for its files, options go anywhere, a value
    // may be joined to its option.
    Outcome create = Tool("create -Cin FASTFILE.DAT ./res.dat sub/ empty");
    ASSERT_EQ(create.status, 0) << create.output;
    EXPECT_EQ(create.output, "");
    EXPECT_FALSE(Exists("FASTFILE.DAT.partial"));
    Outcome listed = Shell("cd '" + root + "' && printf 'res.dat\\nsub\\r\\nempty' | '" FASTFILE_TOOL
                           "' create -v L.DAT -C in -T - 2>&1");  // names from a list, as tar -T
    EXPECT_EQ(listed.output, "res.dat\nsub/f.txt\nempty\n");
    EXPECT_EQ(Read("L.DAT"), Read("FASTFILE.DAT"));
    EXPECT_EQ(Tool("create W.DAT -C in . && '" FASTFILE_TOOL "' list W.DAT").output, "EMPTY\nRES.DAT\nSUB\\F.TXT\n");
    // Without -C, "." is the current folder; the archive never packs itself, however often it is made there.
    Outcome twice = Shell("cd '" + root + "/in' && for run in 1 2; do '" FASTFILE_TOOL
                          "' create OWN.DAT . 2>&1; done && '" FASTFILE_TOOL "' list OWN.DAT");
    EXPECT_EQ(twice.output, "fastfile: ./OWN.DAT: is the archive being made; not packed\nEMPTY\nRES.DAT\nSUB\\F.TXT\n");
    Write("in/-v", "dash");
    EXPECT_EQ(Tool("create D.DAT -C in -- -v && '" FASTFILE_TOOL "' list D.DAT").output, "-V\n");
    Outcome help = Shell("'" FASTFILE_TOOL "' --help 2>/dev/null && '" FASTFILE_TOOL "' --version 2>/dev/null");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("usage: fastfile create"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("\nfastfile 1."), std::string::npos) << help.output;

    EXPECT_EQ(Tool("list FASTFILE.DAT").output, "RES.DAT\nSUB\\F.TXT\nEMPTY\n");
    Outcome list = Tool("list -l FASTFILE.DAT");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output,
              "NAME             OFFSET       SIZE\n"
              "RES.DAT             100          7\n"
              "SUB\\F.TXT           108          6\n"
              "EMPTY               115          0\n");

    Outcome full = Shell("cd '" + root + "' && '" FASTFILE_TOOL "' list FASTFILE.DAT 2>&1 >/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.output, "fastfile: cannot write the output: No space left on device\n");

    Outcome verify = Tool("verify FASTFILE.DAT");
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.output, "FASTFILE.DAT: sound, 3 entries, each one's data matching its CRC-32\n");

    // Each entry's data is followed by its byte 26.
    EXPECT_EQ(Read("FASTFILE.DAT").substr(100), "7 W L\r\n\x1ahello\n\x1a\x1a");

    Outcome extract = Tool("extract FASTFILE.DAT -C out/new/deeper");  // made as mkdir -p
    EXPECT_EQ(extract.status, 0) << extract.output;
    EXPECT_EQ(Read("out/new/deeper/RES.DAT"), "7 W L\r\n");
    EXPECT_EQ(Read("out/new/deeper/SUB/F.TXT"), "hello\n");
    EXPECT_EQ(Read("out/new/deeper/EMPTY"), "");

    Outcome some = Tool("extract FASTFILE.DAT sub/f.txt -C picked");
    EXPECT_EQ(some.status, 0) << some.output;
    EXPECT_EQ(Read("picked/SUB/F.TXT"), "hello\n");
    EXPECT_FALSE(Exists("picked/RES.DAT"));

    Outcome missing = Tool("extract FASTFILE.DAT res -C none");  // whole names only
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("no entry RES"), std::string::npos) << missing.output;

    // Made by another tool: no checksums, so the structure alone is checked.
    std::string other = Read("FASTFILE.DAT");
    Put32(&other, FlagsField, 0);
    Write("OTHER.DAT", other);
    EXPECT_EQ(Tool("verify OTHER.DAT && echo 0").output,
              "OTHER.DAT: sound, 3 entries; structure only, as the archive holds no checksums of its data\n0\n");

    // The depfile names the archive, then every file packed, folder walked and list read, as Make and Ninja read them.
    Write("a b#:$/S/F.TXT", "f");
    Write("list", "S\n");
    EXPECT_EQ(Tool("create --depfile D.d D.DAT -C 'a b#:$' -T list && cat D.d").output,
              "D.DAT: \\\n a\\ b\\#\\:$$/S/F.TXT \\\n a\\ b\\#\\:$$/S \\\n list\n");
}

TEST_F(FastFileTool, RefusalsLeaveNothingBehind)
{
    Write("in/thirteenchars", "x");
    Write("in/RES.DAT", "upper");
    Write("a", "beside the folder");
    Write("FASTFILE.DAT", "the old archive");
    ASSERT_EQ(symlink("res.dat", (root + "/in/sub/link").c_str()), 0);
    Write("nul.list", std::string("res.dat\nres.dat\0junk\n", 21));
    const struct {
        const char *arguments;
        const char *message;
        int status;  // 2 for every mistake of the command line
    } refusals[] = {
        {"create FASTFILE.DAT -C in res.dat thirteenchars", "THIRTEENCHARS is longer than 12 characters", 1},
        {"create FASTFILE.DAT -C in res.dat empty RES.DAT", "RES.DAT is given twice", 1},  // EMPTY sorts between
        {"create FASTFILE.DAT -C in res.dat absent", "cannot measure in/absent", 1},
        {"create FASTFILE.DAT -C in ../a", "reaches outside the archive's folder", 1},
        {"create FASTFILE.DAT -C in res.dat sub", "in/sub/link: a link", 1},  // met on the walk
        {"create FASTFILE.DAT -C in -T absent", "cannot read the list absent: No such file or directory", 1},
        {"create FASTFILE.DAT -C in -T nul.list", "the list nul.list, line 2: a name with a NUL byte", 1},
        {"create in/sub -C in res.dat", "cannot replace in/sub: Is a directory", 1},
        {"list in", "in: a folder, not an archive", 1},
        {"create FASTFILE.DAT -x res.dat", "unknown option -x", 2},
        {"create FASTFILE.DAT res.dat -C", "option -C needs a value", 2},
        {"", "no command", 2},
        {"create FASTFILE.DAT", "usage:", 2},
        {"list", "usage:", 2},
        {"list -C in FASTFILE.DAT", "list takes only the archive", 2},
        {"list --depfile D.d FASTFILE.DAT", "--depfile is for create only", 2},
        {"verify -C in FASTFILE.DAT", "verify takes only the archive", 2},
        {"frobnicate FASTFILE.DAT", "unknown command frobnicate", 2},
    };
    const std::string before = Listing(".");
    for (const auto &refusal : refusals) {
        Outcome run = Tool(refusal.arguments);
        EXPECT_EQ(run.status, refusal.status) << refusal.arguments;
        EXPECT_NE(run.output.find(refusal.message), std::string::npos) << refusal.arguments << ": " << run.output;
        EXPECT_EQ(Read("FASTFILE.DAT"), "the old archive") << refusal.arguments;
        EXPECT_EQ(Listing("."), before) << refusal.arguments;  // no file aside is left
    }

    // A write that fails half-way leaves no file aside either. The shell's
    // file-size limit stands in for a full disk; it is a thousand times what
    // the sanitizer reads of /proc/self/maps, which qemu-i386 serves it
    // through a file that the limit cuts too.
    const std::string full = "trap '' XFSZ && ulimit -f 8192 && ";  // KiB
    const std::string large((8 << 20) + 1, 'x');
    Write("in/large", large);
    Outcome cut = Shell("cd '" + root + "' && " + full + "'" FASTFILE_TOOL "' create FASTFILE.DAT -C in large 2>&1");
    EXPECT_EQ(cut.status, 1) << cut.output;
    EXPECT_EQ(cut.output, "fastfile: cannot write FASTFILE.DAT: File too large\n");  // once, with the reason
    EXPECT_FALSE(Exists("FASTFILE.DAT.partial"));
    EXPECT_EQ(Read("FASTFILE.DAT"), "the old archive");
    // Past 2 GiB, refused before anything is written, naming the file that takes it there (a sparse one).
    Shell("truncate -s 2147483598 '" + root + "/in/big'");
    Outcome big = Shell("cd '" + root + "' && " + full + "'" FASTFILE_TOOL "' create FASTFILE.DAT -C in big 2>&1");
    EXPECT_EQ(big.output, "fastfile: FASTFILE.DAT: with in/big (2147483598 bytes) the archive would pass 2 GiB, beyond "
                          "what its 32-bit offsets reach; nothing was written\n");
    // A file that changes while it is read (as /proc's do: 0 bytes long, yet not empty) is said once.
    EXPECT_EQ(Tool("create FASTFILE.DAT -C /proc version").output,
              "fastfile: /proc/version: changed while being read (it is no longer 0 bytes long)\n");

    // The file aside is made anew: a link that has its name is neither
    // written through nor removed.
    ASSERT_EQ(symlink("a", (root + "/FASTFILE.DAT.partial").c_str()), 0);
    Outcome linked = Tool("create FASTFILE.DAT -C in res.dat");
    EXPECT_EQ(linked.status, 1);
    EXPECT_NE(linked.output.find("cannot create FASTFILE.DAT.partial"), std::string::npos) << linked.output;
    EXPECT_EQ(Read("a"), "beside the folder");
    EXPECT_EQ(Read("FASTFILE.DAT"), "the old archive");
    struct stat info;
    EXPECT_TRUE(lstat((root + "/FASTFILE.DAT.partial").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    // A regular file aside is one left by a killed run, and is replaced.
    Write("in/FASTFILE.DAT.partial", "left by a killed run");
    EXPECT_EQ(Tool("create in/FASTFILE.DAT -C in res.dat").status, 0);
    EXPECT_FALSE(Exists("in/FASTFILE.DAT.partial"));

    // Extract leaves no cut-off or damaged file either, and says each failure once.
    std::string bytes = ArchiveBytes({{"A.TXT", "a"}, {"D.TXT", "dd"}, {"LARGE", large}, {"SUB\\B", "b"}, {"SUB\\C", "c"}});
    bytes[bytes.find("dd\x1a")] ^= 1;
    Write("x.dat", bytes);
    Write("x/D.TXT", "old");
    Write("x/LARGE", "old");
    Write("x/SUB", "a file where a folder goes");
    Outcome extract = Shell("cd '" + root + "' && " + full + "'" FASTFILE_TOOL "' extract x.dat -C x 2>&1");
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.output,
              "fastfile: x.dat: the entry D.TXT is damaged: its data do not match their CRC-32; not extracted\n"
              "fastfile: cannot write x/LARGE: File too large\n"
              "fastfile: cannot create the folder x/SUB: File exists; the entries in it are not extracted\n");
    EXPECT_EQ(Listing("x"), "x\nx/A.TXT\nx/D.TXT\nx/LARGE\nx/SUB\n");
    EXPECT_EQ(Read("x/D.TXT") + Read("x/LARGE"), "oldold");
    Outcome blocked = Tool("extract x.dat -C a/deeper");  // "a" is a file
    EXPECT_EQ(blocked.output, "fastfile: cannot create the folder a/deeper: Not a directory; nothing was extracted\n");
    // What has the name of the first temporary file (the tool's pid, kept by exec) stays as it was.
    EXPECT_EQ(Shell("cd '" + root + "' && mkdir t && sh -c 'echo planted >t/fastfile-$$-1.tmp && exec \"$0\" extract "
                    "x.dat A.TXT -C t' '" FASTFILE_TOOL "' 2>&1 && cat t/A.TXT t/fastfile-*").output,
              "aplanted\n");

    // Entries that share their data write nothing when they hold more than the archive's data: 8 bytes of 7.
    std::string shared = ArchiveBytes({{"A.TXT", "aaaa"}, {"B.TXT", "b"}});
    Put32(&shared, RecordField(1, 12), 76);
    Put32(&shared, RecordField(1, 16), 4);
    Write("shared.dat", shared);
    EXPECT_EQ(Tool("extract shared.dat -C shared").output,
              "fastfile: shared.dat: the entries to extract hold 8 bytes, more than the 7 bytes of data in the "
              "archive: their data overlap; nothing was extracted\n");
    EXPECT_FALSE(Exists("shared"));
}

TEST_F(FastFileTool, VerifySaysWhichRuleFails)
{
    const std::vector<TestEntry> entries = {{"A.TXT", "a"}, {"B.TXT", "bb"}};
    const struct {
        const char *what;
        void (*apply)(std::string *bytes);
        const char *message;
    } cases[] = {
        {"short", [](std::string *b) { b->resize(10); }, "shorter than the 16 bytes"},
        {"magic", [](std::string *b) { (*b)[0] = 'X'; }, "does not begin with FASTF101"},
        {"flag", [](std::string *b) { Put32(b, FlagsField, 1); }, "bit 0 of the flags is set"},
        {"small", [](std::string *b) { Put32(b, DirectorySizeField, 20); }, "below the 28-byte header"},
        {"huge", [](std::string *b) { Put32(b, DirectorySizeField, 0x7FFFFFFF); }, "above the limit"},
        {"past end", [](std::string *b) { Put32(b, DirectorySizeField, 4000); }, "beyond the end of the file"},
        {"records", [](std::string *b) { Put32(b, EntryCountField, 3); }, "do not lie inside the directory"},
        {"data past end", [](std::string *b) { Put32(b, RecordField(1, 16), 500); }, "run past the end of the file"},
        {"no marker", [](std::string *b) { b->back() = 'x'; }, "not followed by byte 26"},
        {"no marker, no sums", [](std::string *b) { Put32(b, FlagsField, 0); b->back() = 'x'; }, "not followed by"},
        {"damaged", [](std::string *b) { (*b)[b->size() - 2] ^= 1; }, "entry 1 (B.TXT) has data that do not match"},
        {"numbered", [](std::string *b) { Put32(b, FirstEntryField, 1); Put32(b, EntryCountField, 1); (*b)[78] ^= 1; },
         "entry 1 (B.TXT) has data that do not match"},  // as the table numbers them
        {"shared", [](std::string *b) { Put32(b, RecordField(1, 12), 76); },
         "entry 1 (B.TXT) has data that overlap those of entry 0 (A.TXT)"},
        {"in directory", [](std::string *b) { Put32(b, RecordField(0, 12), 70); },
         "entry 0 (A.TXT) has data that overlap the directory (76 bytes)"},
        {"duplicate", [](std::string *b) { (*b)[RecordField(1, 0)] = 'A'; }, "hides it"},
        {"lower case", [](std::string *b) { (*b)[RecordField(0, 0)] = 'a'; }, "lower-case letters"},
        {"empty name", [](std::string *b) { (*b)[RecordField(0, 0)] = '\0'; }, "is empty"},
        {"outside", [](std::string *b) { b->replace(RecordField(0, 0), 5, "..\\AB"); }, "reaches outside"},
        {"every entry", [](std::string *b) { (*b)[RecordField(0, 0)] = 'a'; (*b)[RecordField(1, 0)] = 'b'; },
         "2 problems"},
    };
    for (const auto &c : cases) {
        std::string bytes = ArchiveBytes(entries);
        c.apply(&bytes);
        Write("broken.dat", bytes);
        Outcome run = Shell("cd '" + root + "' && '" FASTFILE_TOOL "' verify broken.dat 2>&1 >/dev/null");
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.what << ": " << run.output;
    }

    // A cut-off archive: list and extract name the first entry whose data are gone, and count the rest.
    Write("cut.dat", ArchiveBytes({{"A.TXT", "a"}, {"B.TXT", "bb"}, {"C", "c"}, {"D", "d"}}).substr(0, 127));
    for (const char *command : {"list cut.dat", "extract cut.dat -C cut"}) {
        Outcome run = Tool(command);
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.output.find("cut.dat: the entry B.TXT has data (offset 126, size 2) that run past the end of the "
                                  "file (127 bytes): the archive is cut off"),
                  std::string::npos)
            << command << ": " << run.output;
        EXPECT_NE(run.output.find("cut.dat: 2 more entries run past the end"), std::string::npos) << run.output;
    }
    EXPECT_EQ(Listing("cut"), "cut\ncut/A.TXT\n");
}

// How the tool prints a stored name.
std::string Escaped(const char *name)
{
    std::string text;
    for (const char *c = name; *c; ++c) {
        char escaped[8];
        snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(*c));
        text += *c >= 32 && *c < 127 ? std::string(1, *c) : escaped;
    }
    return text;
}

bool HasControlBytes(const std::string &output)
{
    for (char c : output) {
        if (c != '\n' && static_cast<unsigned char>(c) < 32)
            return true;
    }
    return false;
}

// Run in t/a/b with "-C out" and without -C: an archive holding a name that
// could leave the folder writes nothing at all, not even its sound entry.
TEST_F(FastFileTool, ExtractNeverWritesOutsideItsFolder)
{
    Write("t/a/b/hostile.dat", "");
    const std::string before = Listing("t");
    for (size_t i = 0; i < HostileNameCount; ++i) {
        const char *name = HostileNames[i].name;
        Write("t/a/b/hostile.dat", ArchiveHolding(name));
        for (const char *target : {" -C out", ""}) {
            Outcome run =
                Shell("cd '" + root + "/t/a/b' && '" FASTFILE_TOOL "' extract hostile.dat" + target + " 2>&1");
            EXPECT_EQ(run.status, 1) << Escaped(name) << target;
            EXPECT_NE(run.output.find("refusing the entry " + Escaped(name) + ","), std::string::npos)
                << Escaped(name) << target << ": " << run.output;
            EXPECT_FALSE(HasControlBytes(run.output)) << Escaped(name);
            EXPECT_EQ(Listing("t"), before) << Escaped(name) << target;
        }
    }

    // Named on the command line, a hostile entry is judged all the same.
    Write("t/a/b/hostile.dat", ArchiveHolding("..\\X"));
    Outcome named = Shell("cd '" + root + "/t/a/b' && '" FASTFILE_TOOL "' extract hostile.dat ../X 2>&1");
    EXPECT_EQ(named.status, 1);
    EXPECT_NE(named.output.find("refusing the entry ..\\X,"), std::string::npos) << named.output;
    EXPECT_EQ(Listing("t"), before);

    // What stands in the folder is never followed: a link where an entry's
    // file goes is replaced, one where its folder goes refuses the run.
    Write("victim.txt", "victim");
    Write("elsewhere/kept", "");
    Write("out/SUB.DAT", ArchiveBytes({{"A.TXT", "a"}, {"B.TXT", "b"}, {"SUB\\IN\\X.TXT", "x"}}));
    ASSERT_EQ(symlink("../victim.txt", (root + "/out/A.TXT").c_str()), 0);
    ASSERT_EQ(mkfifo((root + "/out/B.TXT").c_str(), 0666), 0);  // opened for writing, it would block
    Outcome file = Tool("extract out/SUB.DAT A.TXT B.TXT -C out");
    EXPECT_EQ(file.status, 0) << file.output;
    EXPECT_EQ(Read("victim.txt"), "victim");
    struct stat info;
    EXPECT_TRUE(lstat((root + "/out/A.TXT").c_str(), &info) == 0 && S_ISREG(info.st_mode));
    EXPECT_EQ(Read("out/A.TXT"), "a");
    EXPECT_EQ(Read("out/B.TXT"), "b");
    ASSERT_EQ(symlink("../elsewhere", (root + "/out/SUB").c_str()), 0);
    Outcome folder = Tool("extract out/SUB.DAT -C out");
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.output.find("whose folder out/SUB is a link"), std::string::npos) << folder.output;
    EXPECT_EQ(Listing("elsewhere"), "elsewhere\nelsewhere/kept\n");
    // A folder made aside whose place a later entry took is not moved over it: it goes, and that is said.
    Write("late.dat", ArchiveBytes({{"D\\X", "x"}, {"D", "file"}}));
    EXPECT_EQ(Tool("extract late.dat -C late").output,
              "fastfile: cannot create the folder late/D: File exists; the entries in it are not extracted\n");
    EXPECT_EQ(Listing("late"), "late\nlate/D\n");
    // Of two entries of one name, the one a lookup finds: the first.
    Write("twice.dat", ArchiveBytes({{"A.TXT", "first"}, {"A.TXT", "second"}}));
    EXPECT_EQ(Tool("extract twice.dat -C all 2>&1 && '" FASTFILE_TOOL "' extract twice.dat A.TXT -C one").status, 0);
    EXPECT_EQ(Read("all/A.TXT") + Read("one/A.TXT"), "firstfirst");

    Write("broken.dat", "FASTF101");
    Outcome broken = Tool("list broken.dat");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("shorter than"), std::string::npos);
}

// Verify names every rule a stored name breaks; list and verify print names
// with their control bytes escaped.
TEST_F(FastFileTool, HostileNamesAreReportedWholeAndEscaped)
{
    for (size_t i = 0; i < HostileNameCount; ++i) {
        const HostileName &hostile = HostileNames[i];
        Write("hostile.dat", ArchiveHolding(hostile.name));
        Outcome verify = Tool("verify hostile.dat");
        EXPECT_EQ(verify.status, 1) << Escaped(hostile.name);
        const struct {
            unsigned fault;
            const char *text;
        } rules[] = {{FastFileNameLowerCase, "lower-case"},
                     {FastFileNameOutside, "reaches outside"},
                     {FastFileNameControl, "control characters"},
                     {FastFileNameDevice, "Windows device"},
                     {FastFileNameUnkept, "Windows does not keep"}};
        for (const auto &rule : rules) {
            EXPECT_EQ(verify.output.find(rule.text) != std::string::npos, (hostile.faults & rule.fault) != 0)
                << Escaped(hostile.name) << ": " << verify.output;
        }
        Outcome list = Tool("list hostile.dat");
        EXPECT_EQ(list.status, 0);
        EXPECT_NE(list.output.find(Escaped(hostile.name)), std::string::npos) << list.output;
        EXPECT_FALSE(HasControlBytes(verify.output + list.output)) << Escaped(hostile.name);
    }
}

}  // namespace
