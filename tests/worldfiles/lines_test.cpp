// Line pairs and four-line groups, in memory and read from real files with every line ending.
#include "worldfiles/lines.h"

#include <gtest/gtest.h>

#include <utility>

#include "temp_dir.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs CollectPairs(const std::vector<std::string>& lines) {
    Pairs seen;
    wf::ForEachPair(lines, [&](const std::string& k, const std::string& v) { seen.emplace_back(k, v); });
    return seen;
}

Pairs CollectGroups(const std::vector<std::string>& lines) {
    Pairs seen;
    wf::ForEachGroupOfFour(lines, [&](const std::string& k, const std::string& v) { seen.emplace_back(k, v); });
    return seen;
}

TEST(LineCursor, YieldsEmptyLinesPastTheEnd) {
    std::vector<std::string> lines = {"a"};
    wf::LineCursor cursor(lines);
    EXPECT_FALSE(cursor.AtEnd());
    EXPECT_EQ(cursor.Next(), "a");
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(cursor.Next(), "");
    EXPECT_EQ(cursor.Next(), "");
    EXPECT_EQ(cursor.Position(), 1u);
}

TEST(ForEachPair, PairsLinesAndGivesAnOddLastKeyAnEmptyValue) {
    EXPECT_EQ(CollectPairs({"k1", "v1", "k2", "v2"}), (Pairs{{"k1", "v1"}, {"k2", "v2"}}));
    EXPECT_EQ(CollectPairs({"k1", "v1", "k2"}), (Pairs{{"k1", "v1"}, {"k2", ""}}));
    EXPECT_TRUE(CollectPairs({}).empty());
    // A blank line is a line: it shifts every following pair.
    EXPECT_EQ(CollectPairs({"", "k1", "v1"}), (Pairs{{"", "k1"}, {"v1", ""}}));
}

TEST(ForEachGroupOfFour, TakesFirstAndThirdLines) {
    EXPECT_EQ(CollectGroups({"GFXCODEC", "x", ".png", "y", "SOUNDCODEC", "x", ".wav", "y"}),
              (Pairs{{"GFXCODEC", ".png"}, {"SOUNDCODEC", ".wav"}}));
    EXPECT_EQ(CollectGroups({"k", "ignored"}), (Pairs{{"k", ""}}));
    EXPECT_EQ(CollectGroups({"", "GFXCODEC", "x", ".png", "y"}), (Pairs{{"", "x"}, {"y", ""}}));
}

TEST(ReadLinePairs, ReadsRealFilesWithAnyLineEnding) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("pairs.txt");
    wftest::WriteBytes(path, std::string("a\r\n1\nb\r2\0c\r\n3", 13));
    Pairs seen;
    EXPECT_TRUE(wf::ReadLinePairs(path, [&](const std::string& k, const std::string& v) { seen.emplace_back(k, v); }));
    EXPECT_EQ(seen, (Pairs{{"a", "1"}, {"b", "2"}, {"c", "3"}}));
}

TEST(ReadGroupsOfFour, ReadsRealFile) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("codecs.txt");
    wftest::WriteBytes(path, "GFXCODEC\r\n-\r\n.png\r\n-\r\nMUSICCODEC\r\n-\r\n");
    Pairs seen;
    EXPECT_TRUE(wf::ReadGroupsOfFour(path, [&](const std::string& k, const std::string& v) { seen.emplace_back(k, v); }));
    EXPECT_EQ(seen, (Pairs{{"GFXCODEC", ".png"}, {"MUSICCODEC", ""}}));
}

TEST(ReadLinePairs, MissingFileIsFalseWithoutVisits) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    int visits = 0;
    auto count = [&](const std::string&, const std::string&) { ++visits; };
    EXPECT_FALSE(wf::ReadLinePairs(dir.File("missing.txt"), count));
    EXPECT_FALSE(wf::ReadGroupsOfFour(dir.File("missing.txt"), count));
    EXPECT_EQ(visits, 0);
}

}  // namespace
