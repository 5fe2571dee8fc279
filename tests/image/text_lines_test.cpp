#include "image/text_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace quillon {
namespace {

using testing::TempDir;

struct Read {
    std::string text;
    bool truncated;
    bool tailUpperHex;
    bool operator==(const Read&) const = default;
};

std::vector<Read> ReadAll(const std::string& contents,
                          std::size_t chunk = TextLineReader::kDefaultChunkSize) {
    TempDir dir;
    dir.Write("f.txt", contents);
    TextLineReader reader(chunk);
    EXPECT_TRUE(reader.Open(dir.File("f.txt")));
    std::vector<Read> lines;
    TextLine line;
    while (reader.Next(line))
        lines.push_back({std::string(line.text), line.truncated, line.tailUpperHex});
    EXPECT_FALSE(reader.Failed());
    return lines;
}

std::vector<std::string> Texts(const std::vector<Read>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.text);
    return out;
}

TEST(TextLinesTest, LfAndCrLfEndLinesAndOnlyTheCrRightBeforeLfBelongsToTheEnd) {
    EXPECT_EQ(Texts(ReadAll("a\nb\r\n\r\n\nc")), (std::vector<std::string>{"a", "b", "", "", "c"}));
    // A lone CR is part of the line; of CR CR LF one CR stays; a CR at the very
    // end of the file has no LF after it and stays too.
    EXPECT_EQ(Texts(ReadAll("a\rb\r\r\nc\r")), (std::vector<std::string>{"a\rb\r", "c\r"}));
    EXPECT_TRUE(ReadAll("").empty());
    EXPECT_EQ(Texts(ReadAll("\n")), std::vector<std::string>{""});
}

TEST(TextLinesTest, LinesCrossingChunkBoundariesComeWhole) {
    std::string contents;
    std::vector<std::string> expected;
    for (int i = 0; i < 500; ++i) {
        expected.push_back(
            std::string(static_cast<std::size_t>(i % 97), static_cast<char>('A' + i % 26)));
        contents += expected.back() + (i % 2 ? "\r\n" : "\n");
    }
    EXPECT_EQ(Texts(ReadAll(contents, 2048)), expected);
}

TEST(TextLinesTest, LineLongerThanTheChunkGivesItsHeadAndAVerdictOnTheRest) {
    const std::size_t chunk = 2048;
    const std::string hex(5000, 'A');
    auto lines =
        ReadAll(hex + "\r\nS1\n" + hex + "a" + hex + "\n" + hex + "\rB\n" + hex + "\r", chunk);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], (Read{hex.substr(0, kLineHeadLength), true, true}));
    EXPECT_EQ(lines[1], (Read{"S1", false, true}));
    EXPECT_EQ(lines[2], (Read{hex.substr(0, kLineHeadLength), true, false}));  // lower-case a
    EXPECT_EQ(lines[3].tailUpperHex, false);                                   // stray CR
    EXPECT_EQ(lines[4].tailUpperHex, false);  // CR without LF at the end
}

TEST(TextLinesTest, CrLfSplitByAChunkBoundaryIsStillALineEnd) {
    const std::size_t chunk = 2048;
    for (std::size_t length = chunk - 2; length <= chunk + 2; ++length) {
        // The long line fills the first chunk; its CR may be the last byte of
        // a chunk and its LF the first of the next.
        for (std::size_t extra : {std::size_t{0}, chunk - 1, chunk}) {
            const std::string hex(length + extra, 'F');
            auto lines = ReadAll(hex + "\r\nS9\r\n", chunk);
            ASSERT_EQ(lines.size(), 2u) << length << " " << extra;
            EXPECT_EQ(lines[0].tailUpperHex, true) << length << " " << extra;
            EXPECT_EQ(lines[1].text, "S9");
            auto stray = ReadAll(hex + "\r\r\nS9\n", chunk);
            ASSERT_EQ(stray.size(), 2u);
            EXPECT_EQ(stray[0].truncated ? !stray[0].tailUpperHex : stray[0].text.back() == '\r',
                      true)
                << length << " " << extra;
        }
    }
}

TEST(TextLinesTest, RewindStartsAgainAndAFolderOrMissingFileDoesNotOpen) {
    TempDir dir;
    dir.Write("f.txt", "one\ntwo\n");
    TextLineReader reader;
    EXPECT_FALSE(reader.Open(dir.path()));
    EXPECT_FALSE(reader.Open(dir.File("missing.txt")));
    ASSERT_TRUE(reader.Open(dir.File("f.txt")));
    TextLine line;
    ASSERT_TRUE(reader.Next(line));
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line.text, "two");
    EXPECT_FALSE(reader.Next(line));
    ASSERT_TRUE(reader.Rewind());
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line.text, "one");
}

}  // namespace
}  // namespace quillon
