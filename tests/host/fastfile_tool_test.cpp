// The fastfile tool as its users run it: create, list, extract and verify,
// refusals with a message and a non-zero exit, and nothing partial left.

#include "../unit/gamefs/archive_bytes.h"

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

    std::string root;
};

TEST_F(FastFileTool, CreateListExtractVerify)
{
    Outcome create = Tool("create FASTFILE.DAT -C in res.dat sub/f.txt empty");
    ASSERT_EQ(create.status, 0) << create.output;
    EXPECT_EQ(create.output, "");
    EXPECT_FALSE(Exists("FASTFILE.DAT.partial"));

    Outcome list = Tool("list FASTFILE.DAT");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output,
              "NAME             OFFSET       SIZE\n"
              "RES.DAT             100          7\n"
              "SUB\\F.TXT           108          6\n"
              "EMPTY               115          0\n");

    Outcome verify = Tool("verify FASTFILE.DAT");
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.output, "FASTFILE.DAT: sound, 3 entries\n");

    // Each entry's data is followed by its byte 26.
    EXPECT_EQ(Read("FASTFILE.DAT").substr(100), "7 W L\r\n\x1ahello\n\x1a\x1a");

    Outcome extract = Tool("extract FASTFILE.DAT -C out");
    EXPECT_EQ(extract.status, 0) << extract.output;
    EXPECT_EQ(Read("out/RES.DAT"), "7 W L\r\n");
    EXPECT_EQ(Read("out/SUB/F.TXT"), "hello\n");
    EXPECT_EQ(Read("out/EMPTY"), "");

    Outcome some = Tool("extract FASTFILE.DAT sub/f.txt -C picked");
    EXPECT_EQ(some.status, 0) << some.output;
    EXPECT_EQ(Read("picked/SUB/F.TXT"), "hello\n");
    EXPECT_FALSE(Exists("picked/RES.DAT"));

    Outcome missing = Tool("extract FASTFILE.DAT res -C none");  // whole names only
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("no entry RES"), std::string::npos) << missing.output;
}

TEST_F(FastFileTool, RefusalsLeaveNothingBehind)
{
    Write("in/thirteenchars", "x");
    Write("in/RES.DAT", "upper");
    Write("a", "beside the folder");
    Write("FASTFILE.DAT", "the old archive");
    const struct {
        const char *arguments;
        const char *message;
    } refusals[] = {
        {"create FASTFILE.DAT -C in res.dat thirteenchars", "THIRTEENCHARS is longer than 12 characters"},
        {"create FASTFILE.DAT -C in res.dat RES.DAT", "RES.DAT is given twice"},
        {"create FASTFILE.DAT -C in res.dat absent", "cannot open in/absent"},
        {"create FASTFILE.DAT -C in ../a", "reaches outside the archive's folder"},
        {"create FASTFILE.DAT -C in res.dat sub", "cannot measure in/sub"},  // a folder
        {"create FASTFILE.DAT", "usage:"},
        {"list", "usage:"},
        {"frobnicate FASTFILE.DAT", "usage:"},
    };
    for (const auto &refusal : refusals) {
        Outcome run = Tool(refusal.arguments);
        EXPECT_NE(run.status, 0) << refusal.arguments;
        EXPECT_NE(run.output.find(refusal.message), std::string::npos) << refusal.arguments << ": " << run.output;
        EXPECT_EQ(Read("FASTFILE.DAT"), "the old archive") << refusal.arguments;
        EXPECT_FALSE(Exists("FASTFILE.DAT.partial")) << refusal.arguments;
    }
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
        {"duplicate", [](std::string *b) { (*b)[RecordField(1, 0)] = 'A'; }, "hides it"},
        {"lower case", [](std::string *b) { (*b)[RecordField(0, 0)] = 'a'; }, "lower-case letters"},
        {"empty name", [](std::string *b) { (*b)[RecordField(0, 0)] = '\0'; }, "empty name"},
        {"outside", [](std::string *b) { b->replace(RecordField(0, 0), 5, "..\\AB"); }, "reaches outside"},
    };
    for (const auto &c : cases) {
        std::string bytes = ArchiveBytes(entries);
        c.apply(&bytes);
        Write("broken.dat", bytes);
        Outcome run = Tool("verify broken.dat");
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.what << ": " << run.output;
    }
}

TEST_F(FastFileTool, ExtractNeverWritesOutsideItsFolder)
{
    std::string bytes = ArchiveBytes({{"SAFE", "safe"}, {"EVIL", "evil"}});
    bytes.replace(RecordField(1, 0), 7, "..\\EVIL");
    Write("hostile.dat", bytes);
    Outcome run = Tool("extract hostile.dat -C out");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("refusing"), std::string::npos) << run.output;
    EXPECT_EQ(Read("out/SAFE"), "safe");
    EXPECT_FALSE(Exists("EVIL"));
    EXPECT_FALSE(Exists("out/../EVIL"));

    Write("broken.dat", "FASTF101");
    Outcome broken = Tool("list broken.dat");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("shorter than"), std::string::npos);
}

}  // namespace
