// Line input and output on game files: every line-end combination, buffer
// boundaries, the end of archive entries, and both ways of writing a line.

#include "support/archive_bytes.h"

#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// A loose file holding bytes.
struct LooseFile {
    GameFile file{};
    explicit LooseFile(const std::string &bytes) { file.stream = StreamOf(bytes); }
    ~LooseFile() { fclose(file.stream); }
};

// An entry of size bytes at offset inside bytes, positioned at its data as
// the archive cache leaves it.
struct EntryFile {
    FastFileEntry entry{};
    GameFile file{};
    EntryFile(const std::string &bytes, uint32_t offset, uint32_t size)
    {
        entry.offset = offset;
        entry.size = size;
        file.stream = StreamOf(bytes);
        file.entry = &entry;
        file.entryLeft = size;
        fseek(file.stream, offset, SEEK_SET);
    }
    ~EntryFile() { fclose(file.stream); }
};

// Every ReadLine result until the first 0, as "line|" pieces.
std::string ReadAll(GameFile *file, int size = 64)
{
    std::string lines;
    std::vector<char> buffer(size);
    for (int calls = 0; calls < 1000 && ReadLine(file, buffer.data(), size); ++calls)
        lines += std::string(buffer.data()) + "|";
    return lines;
}

TEST(ReadLine, AcceptsEveryLineEnd)
{
    const struct {
        const char *input;
        const char *lines;
    } cases[] = {
        {"a\r\nb", "a|b|"},
        {"a\n\rb", "a|b|"},
        {"a\rb", "a|b|"},
        {"a\nb", "a|b|"},
        {"a\r\rb", "a||b|"},
        {"a\n\nb", "a||b|"},
        {"a\r\n\r\nb", "a||b|"},
        {"a\r\n\nb", "a||b|"},
        {"a\n\r\rb", "a||b|"},
        {"a\r\n", "a|"},
        {"a\r", "a|"},
        {"", ""},
        {"\n", "|"},
        {"\r\n", "|"},
        {"\n\n", "||"},
        {"last line without end", "last line without end|"},
    };
    for (const auto &c : cases) {
        LooseFile loose(c.input);
        EXPECT_EQ(ReadAll(&loose.file), c.lines) << c.input;
    }
}

TEST(ReadLine, EndOfInputIsLasting)
{
    LooseFile loose("only");
    char buffer[16];
    EXPECT_EQ(ReadLine(&loose.file, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "only");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadLine(&loose.file, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
    }
}

TEST(ReadLine, LongLinesComeInPiecesWithNothingLost)
{
    LooseFile loose("abcdefg\r\nhij\nklm");
    EXPECT_EQ(ReadAll(&loose.file, 4), "abc|def|g|hij|klm|");

    // Exactly size - 1 characters and their line end: one whole line, and
    // the line end is not mistaken for an empty line.
    LooseFile exact("abc\r\ndef\n\rghi");
    EXPECT_EQ(ReadAll(&exact.file, 4), "abc|def|ghi|");

    LooseFile twoByTwo("abcd\n");
    EXPECT_EQ(ReadAll(&twoByTwo.file, 2), "a|b|c|d|");
}

TEST(ReadLine, UnusableCallsGiveZeroAndLeaveTheBufferAlone)
{
    char buffer[8] = "keep";
    EXPECT_EQ(ReadLine(nullptr, buffer, sizeof buffer), 0);
    GameFile noStream{};
    EXPECT_EQ(ReadLine(&noStream, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");

    // No room for a character: nothing is read, so a caller looping until 0
    // does not spin.
    LooseFile loose("abc\n");
    EXPECT_EQ(ReadLine(&loose.file, buffer, 1), 0);
    EXPECT_EQ(ReadLine(&loose.file, buffer, 0), 0);
    EXPECT_EQ(ReadLine(&loose.file, buffer, -5), 0);
    EXPECT_EQ(ReadLine(&loose.file, nullptr, 8), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(ReadAll(&loose.file), "abc|");
}

TEST(ReadGameChar, GivesBytesAsUnsignedAndCtrlZAsDataInLooseFiles)
{
    LooseFile loose(std::string("\xff\x1a\x00z", 4));
    EXPECT_EQ(ReadGameChar(&loose.file), 255);
    EXPECT_EQ(ReadGameChar(&loose.file), 26);
    EXPECT_EQ(ReadGameChar(&loose.file), 0);
    EXPECT_EQ(ReadGameChar(&loose.file), 'z');
    EXPECT_EQ(ReadGameChar(&loose.file), -1);
    EXPECT_EQ(ReadGameChar(nullptr), -1);

    LooseFile lines("a\x1a" "b\nc");
    EXPECT_EQ(ReadAll(&lines.file), "a\x1a" "b|c|");
}

TEST(ReadLine, ArchiveEntryEndsAtItsSize)
{
    // before | data | 26 | next entry's data
    std::string bytes = "HEAD" + std::string("one\r\ntw\x1ao") + "\x1a" + "NEXT\r\nMORE";
    EntryFile followed(bytes, 4, 9);
    EXPECT_EQ(ReadAll(&followed.file), "one|tw\x1ao|");  // a 26 inside the data is data
    EXPECT_EQ(ftell(followed.file.stream), 13);            // the end is lasting: nothing more is read
    EXPECT_EQ(ReadGameChar(&followed.file), -1);
    EXPECT_EQ(ftell(followed.file.stream), 13);

    // Without its 26 the entry still ends at offset + size.
    std::string bare = "HEAD" + std::string("one\r\ntwo") + "NEXT\r\nMORE";
    EntryFile unmarked(bare, 4, 8);
    EXPECT_EQ(ReadAll(&unmarked.file), "one|two|");

    // A line end that is the entry's last byte is not paired with the next
    // entry's first byte.
    EntryFile lineEnd("X\r\nY", 0, 2);
    EXPECT_EQ(ReadAll(&lineEnd.file), "X|");
    EXPECT_EQ(ftell(lineEnd.file.stream), 2);

    EntryFile empty("\x1aNEXT", 0, 0);
    EXPECT_EQ(ReadAll(&empty.file), "");
}

TEST(ReadLine, PushBackInsideAnEntryKeepsItsCount)
{
    std::string bytes = "abcdef\n\rxyz";
    EntryFile entry(bytes, 0, 8);  // "abcdef\n\r"
    EXPECT_EQ(ReadAll(&entry.file, 3), "ab|cd|ef|");
    EXPECT_EQ(ftell(entry.file.stream), 8);
    EXPECT_EQ(entry.file.entryLeft, 0u);
}

// A file in the current folder, so that it can be opened read-only.
struct NamedFile {
    const char *name = "text_line_test.tmp";
    ~NamedFile() { remove(name); }
    std::string Contents() const
    {
        FILE *stream = fopen(name, "rb");
        std::string bytes;
        for (int c; stream && (c = getc(stream)) != EOF;)
            bytes += static_cast<char>(c);
        if (stream)
            fclose(stream);
        return bytes;
    }
};

TEST(WriteLine, BinaryWritesCarriageReturnAndLineFeed)
{
    NamedFile named;
    GameFile file{fopen(named.name, "wb"), nullptr, 1, 0};
    ASSERT_NE(file.stream, nullptr);
    EXPECT_EQ(WriteLine(&file, "7 W L"), 1);
    EXPECT_EQ(WriteLine(&file, ""), 1);
    file.binary = 0;  // an untranslated stream then stores the 10 alone
    EXPECT_EQ(WriteLine(&file, "x"), 1);
    EXPECT_EQ(WriteLineEnd(&file), 1);
    fclose(file.stream);
    EXPECT_EQ(named.Contents(), "7 W L\r\n\r\nx\n\n");
}

TEST(WriteLine, FailuresGiveZero)
{
    NamedFile named;
    FILE *create = fopen(named.name, "wb");
    ASSERT_NE(create, nullptr);
    fclose(create);
    GameFile readOnly{fopen(named.name, "rb"), nullptr, 1, 0};
    ASSERT_NE(readOnly.stream, nullptr);
    EXPECT_EQ(WriteLine(&readOnly, "text"), 0);
    EXPECT_EQ(WriteLineEnd(&readOnly), 0);
    fclose(readOnly.stream);

    GameFile noStream{};
    EXPECT_EQ(WriteLine(&noStream, "x"), 0);
    EXPECT_EQ(WriteLine(nullptr, "x"), 0);
    EXPECT_EQ(WriteLineEnd(nullptr), 0);
    LooseFile loose("");
    EXPECT_EQ(WriteLine(&loose.file, nullptr), 0);
    EXPECT_EQ(IsBinary(nullptr), 0);
}

}  // namespace
