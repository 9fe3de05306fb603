// The command lines that start the game and the programs of the disc.

#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

std::string Game(const char *folder, const char *option, size_t size = 260)
{
    char out[300];
    memset(out, 'x', sizeof out);
    int length = FormatGameCommandLine(out, size, folder, option);
    EXPECT_EQ(length < 0 ? 0u : size_t(length), strlen(out));
    return length < 0 ? "(none)" : out;
}

std::string Disc(const char *root, const char *program, size_t size = 260)
{
    char out[300];
    int length = FormatDiscCommandLine(out, size, root, program);
    EXPECT_EQ(length < 0 ? 0u : size_t(length), strlen(out));
    return length < 0 ? "(none)" : out;
}

TEST(GameCommandLine, FolderSeparatorAndExecutableThenTheOption)
{
    EXPECT_EQ(Game("C:\\Games\\Rumbelon", nullptr), "C:\\Games\\Rumbelon\\rumbelon.exe");
    EXPECT_EQ(Game("C:\\Games\\Rumbelon", " -0v"), "C:\\Games\\Rumbelon\\rumbelon.exe -0v");
    // The folder is taken as registered, a closing backslash included.
    EXPECT_EQ(Game("D:\\", nullptr), "D:\\\\rumbelon.exe");
}

TEST(GameCommandLine, APathWithASpaceIsQuotedAndTheOptionFollowsTheQuote)
{
    EXPECT_EQ(Game("C:\\Program Files\\Rumbelon", nullptr), "\"C:\\Program Files\\Rumbelon\\rumbelon.exe\"");
    EXPECT_EQ(Game("C:\\Program Files\\Rumbelon", " -0v"),
              "\"C:\\Program Files\\Rumbelon\\rumbelon.exe\" -0v");
    EXPECT_EQ(Game(" ", nullptr), "\" \\rumbelon.exe\"");
}

TEST(GameCommandLine, ALineThatDoesNotFitGivesNothing)
{
    // "C:\x\rumbelon.exe -0v" is 21 characters: 22 bytes hold it, 21 do not.
    EXPECT_EQ(Game("C:\\x", " -0v", 22), "C:\\x\\rumbelon.exe -0v");
    EXPECT_EQ(Game("C:\\x", " -0v", 21), "(none)");
    EXPECT_EQ(Game("C:\\a b", nullptr, 19), "(none)");  // the closing quote does not fit
    EXPECT_EQ(Game(nullptr, nullptr), "(none)");
    EXPECT_EQ(FormatGameCommandLine(nullptr, 0, "C:\\x", nullptr), -1);

    std::string longest(127, 'a');  // the longest registered value
    longest[1] = ':';
    longest[40] = ' ';
    EXPECT_EQ(Game(longest.c_str(), " -0v").size(), 2 + 127 + 13 + 4u);
}

TEST(DiscCommandLine, TheDriveOfTheRootThenTheProgram)
{
    EXPECT_EQ(Disc("E:\\", "\\setup.exe"), "E:\\setup.exe");
    EXPECT_EQ(Disc("F:\\", "\\redist\\directx6\\directx\\dxsetup.exe"),
              "F:\\redist\\directx6\\directx\\dxsetup.exe");
    EXPECT_EQ(Disc("E:\\games\\", "\\setup.exe"), "E:\\setup.exe");
}

TEST(DiscCommandLine, ARootWithoutADriveOrAnOverlongLineGivesNothing)
{
    EXPECT_EQ(Disc("E", "\\setup.exe"), "(none)");
    EXPECT_EQ(Disc("", "\\setup.exe"), "(none)");
    EXPECT_EQ(Disc(nullptr, "\\setup.exe"), "(none)");
    EXPECT_EQ(Disc("E:\\", nullptr), "(none)");
    EXPECT_EQ(Disc("E:\\", "\\setup.exe", 12), "(none)");
    EXPECT_EQ(Disc("E:\\", "\\setup.exe", 13), "E:\\setup.exe");
}

// The files that the system's search for a program finds.
bool Exists(const char *file)
{
    return strcmp(file, "C:\\Program Files\\x\\un.exe") == 0 || strcmp(file, "C:\\Games\\un.exe") == 0 ||
           strcmp(file, "C:\\Prog.d\\un.exe") == 0;
}

// The program and its parameters, as "program|parameters", or "(none)".
std::string Split(const char *commandLine, size_t size = 260)
{
    char program[300];
    memset(program, 'x', sizeof program);
    const char *parameters = SplitCommandLine(commandLine, program, size, Exists);
    EXPECT_TRUE(parameters || program[0] == '\0');
    return parameters ? std::string(program) + "|" + parameters : "(none)";
}

// An unquoted program is the shortest prefix, ending at a blank, that names
// a file the system finds, with ".exe" added to a name without one.
TEST(SplitCommandLine, AQuotedProgramRunsToItsClosingQuoteAnOtherToTheShortestPrefixThatExists)
{
    EXPECT_EQ(Split("\"C:\\Program Files (x86)\\Rumbelon\\uninst.exe\""),
              "C:\\Program Files (x86)\\Rumbelon\\uninst.exe|");
    EXPECT_EQ(Split("\"C:\\Program Files\\Rumbelon\\rumbelon.exe\" -0v"),
              "C:\\Program Files\\Rumbelon\\rumbelon.exe|-0v");
    EXPECT_EQ(Split("\"C:\\a b\\u.exe\"/x  \"C:\\a b\""), "C:\\a b\\u.exe|/x  \"C:\\a b\"");
    EXPECT_EQ(Split("\"C:\\a b\\u.exe"), "C:\\a b\\u.exe|");  // no closing quote
    EXPECT_EQ(Split("setup.exe"), "setup.exe|");
    EXPECT_EQ(Split("E:\\setup.exe"), "E:\\setup.exe|");
    EXPECT_EQ(Split("C:\\WINDOWS\\uninst.exe\t -f\"C:\\Games\\x.isu\""),
              "C:\\WINDOWS\\uninst.exe|-f\"C:\\Games\\x.isu\"");
    EXPECT_EQ(Split("C:\\Program Files\\x\\un  /x"), "C:\\Program Files\\x\\un.exe|/x");
    EXPECT_EQ(Split("C:\\Games\\un inst.exe /x"), "C:\\Games\\un.exe|inst.exe /x");
    EXPECT_EQ(Split("C:\\Prog.d\\un /x"), "C:\\Prog.d\\un.exe|/x");  // a folder's dot is no extension
    EXPECT_EQ(Split("C:\\Games\\un.x inst /x"), "C:\\Games\\un.x|inst /x");  // nothing exists
}

TEST(SplitCommandLine, NoProgramOrOneThatDoesNotFitGivesNothing)
{
    EXPECT_EQ(Split(""), "(none)");
    EXPECT_EQ(Split("\"\" -x"), "(none)");
    EXPECT_EQ(Split(" setup.exe"), "(none)");
    EXPECT_EQ(Split(nullptr), "(none)");
    EXPECT_EQ(Split("setup.exe", 10), "setup.exe|");
    EXPECT_EQ(Split("setup.exe", 9), "(none)");
    EXPECT_EQ(SplitCommandLine("setup.exe", nullptr, 0, Exists), nullptr);
}

}  // namespace
