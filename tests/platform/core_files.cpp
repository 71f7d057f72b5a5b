// Tests of the text file service: line endings, end-of-file rules, writing, appending,
// whole-file reads, atomic replacement, directory listing and wildcards.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "core_temp_dir.h"
#include "platform/files.h"
#include "tests/support/posix_calls.h"

namespace {

using coretest::ReadBytes;
using coretest::TempDir;
using coretest::WriteBytes;

// Reads a file the way the programs' readers do: ReadLine until AtEnd.
std::vector<std::string> ReadByLoop(const std::string& path) {
    std::vector<std::string> lines;
    plat::TextFile file = plat::OpenRead(path);
    EXPECT_TRUE(file.Valid()) << path;
    while (!plat::AtEnd(file)) lines.push_back(plat::ReadLine(file));
    plat::Close(file);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(CoreFilesReading, EveryLineEndingEndsALine) {
    TempDir dir;
    const std::string path = dir.File("endings.txt");
    WriteBytes(path, std::string("cr\rlf\ncrlf\r\nnul") + '\0' + "last without ending");
    EXPECT_EQ(ReadByLoop(path), (Lines{"cr", "lf", "crlf", "nul", "last without ending"}));
}

TEST(CoreFilesReading, MixedEndingsKeepEmptyLinesAndBlanks) {
    TempDir dir;
    const std::string path = dir.File("mixed.txt");
    // "\n\r" is two endings (LF, then CR), while "\r\n" is one.
    WriteBytes(path, "  a \n\rb\r\r\nc\t\n");
    EXPECT_EQ(ReadByLoop(path), (Lines{"  a ", "", "b", "", "c\t"}));
}

TEST(CoreFilesReading, EmptyFileIsAtItsEndAtOnce) {
    TempDir dir;
    const std::string path = dir.File("empty.txt");
    WriteBytes(path, "");
    plat::TextFile file = plat::OpenRead(path);
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(plat::AtEnd(file));
    EXPECT_EQ(plat::ReadLine(file), "");
    EXPECT_TRUE(plat::Close(file));
    EXPECT_FALSE(file.Valid());
}

TEST(CoreFilesReading, AtEndAfterTheLastLineButNotBeforeAnEmptyOne) {
    TempDir dir;
    const std::string twoLines = dir.File("two.txt");
    WriteBytes(twoLines, "a\r\nb\r\n");
    plat::TextFile file = plat::OpenRead(twoLines);
    EXPECT_FALSE(plat::AtEnd(file));
    EXPECT_EQ(plat::ReadLine(file), "a");
    EXPECT_FALSE(plat::AtEnd(file));
    EXPECT_EQ(plat::ReadLine(file), "b");
    EXPECT_TRUE(plat::AtEnd(file));
    EXPECT_EQ(plat::ReadLine(file), "");  // reading on at the end gives empty lines
    EXPECT_TRUE(plat::AtEnd(file));
    plat::Close(file);

    const std::string emptySecond = dir.File("empty_second.txt");
    WriteBytes(emptySecond, "a\r\n\r\n");
    file = plat::OpenRead(emptySecond);
    EXPECT_EQ(plat::ReadLine(file), "a");
    EXPECT_FALSE(plat::AtEnd(file));
    EXPECT_EQ(plat::ReadLine(file), "");
    EXPECT_TRUE(plat::AtEnd(file));
    plat::Close(file);
}

TEST(CoreFilesReading, MissingFilesAndInvalidHandles) {
    TempDir dir;
    EXPECT_FALSE(plat::OpenRead(dir.File("missing.txt")).Valid());
    EXPECT_FALSE(plat::OpenRead(dir.Prefix()).Valid());  // a directory is no text file
    EXPECT_FALSE(plat::OpenRead("").Valid());

    plat::TextFile invalid;
    EXPECT_EQ(plat::ReadLine(invalid), "");
    EXPECT_TRUE(plat::AtEnd(invalid));
    EXPECT_FALSE(plat::WriteLine(invalid, "x"));
    plat::Close(invalid);
    EXPECT_FALSE(invalid.Valid());
    EXPECT_EQ(plat::ReadLine(plat::TextFile{12345}), "");
}

TEST(CoreFilesWriting, WriteLineEndsEveryLineWithCrLf) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteBytes(path, "old content that must go\r\n");
    plat::TextFile file = plat::OpenCreate(path);
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(plat::WriteLine(file, "text"));
    EXPECT_TRUE(plat::WriteLine(file, ""));
    EXPECT_TRUE(plat::WriteLine(file, "3.5"));
    EXPECT_TRUE(plat::Close(file));
    EXPECT_EQ(ReadBytes(path), "text\r\n\r\n3.5\r\n");
}

TEST(CoreFilesWriting, AppendKeepsOldContentAndCreatesMissingFiles) {
    TempDir dir;
    const std::string existing = dir.File("log.txt");
    WriteBytes(existing, "first\r\nsecond");  // last line without its ending
    plat::TextFile file = plat::OpenAppend(existing);
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(plat::AtEnd(file));  // positioned at the end: a read-to-end loop stops at once
    EXPECT_TRUE(plat::WriteLine(file, "third"));
    EXPECT_TRUE(plat::Close(file));
    EXPECT_EQ(ReadBytes(existing), "first\r\nsecondthird\r\n");

    const std::string created = dir.File("new_log.txt");
    file = plat::OpenAppend(created);
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(plat::AtEnd(file));
    EXPECT_TRUE(plat::WriteLine(file, "entry"));
    EXPECT_TRUE(plat::Close(file));
    EXPECT_EQ(ReadBytes(created), "entry\r\n");

    EXPECT_FALSE(plat::OpenAppend(dir.File("no_such_dir/log.txt")).Valid());
    EXPECT_FALSE(plat::OpenAppend(dir.Prefix()).Valid());
}

TEST(CoreFilesWriting, ReadToEndThenWriteAppendsAfterTheLastLine) {
    // The log writers open for appending, read every line, then write their entry.
    TempDir dir;
    const std::string path = dir.File("warnings.txt");
    WriteBytes(path, "one\r\ntwo\r\n");
    plat::TextFile file = plat::OpenAppend(path);
    while (!plat::AtEnd(file)) plat::ReadLine(file);
    EXPECT_TRUE(plat::WriteLine(file, "three"));
    EXPECT_TRUE(plat::WriteLine(file, "four"));
    EXPECT_TRUE(plat::Close(file));
    EXPECT_EQ(ReadByLoop(path), (Lines{"one", "two", "three", "four"}));
}

TEST(CoreFilesWriting, SeveralFilesOpenAtOnceAndCloseAll) {
    TempDir dir;
    plat::TextFile a = plat::OpenCreate(dir.File("a.txt"));
    plat::TextFile b = plat::OpenCreate(dir.File("b.txt"));
    ASSERT_TRUE(a.Valid());
    ASSERT_TRUE(b.Valid());
    EXPECT_NE(a.id, b.id);
    EXPECT_TRUE(plat::WriteLine(a, "for a"));
    EXPECT_TRUE(plat::WriteLine(b, "for b"));
    plat::CloseAllFiles();
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), "for a\r\n");
    EXPECT_EQ(ReadBytes(dir.File("b.txt")), "for b\r\n");
    EXPECT_FALSE(plat::WriteLine(a, "after close"));  // the handle no longer names a file

    // Slots are reused after closing.
    plat::TextFile c = plat::OpenRead(dir.File("a.txt"));
    ASSERT_TRUE(c.Valid());
    EXPECT_EQ(plat::ReadLine(c), "for a");
    plat::Close(c);
}

TEST(CoreFilesWriting, CloseReportsAFailedFlush) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no full device";
    plat::TextFile file = plat::OpenCreate("/dev/full");
    ASSERT_TRUE(file.Valid());
    plat::WriteLine(file, "buffered, then lost");
    EXPECT_FALSE(plat::Close(file));
    EXPECT_FALSE(file.Valid());
}

TEST(CoreFilesWholeRead, SameLinesAsTheReadLineLoop) {
    TempDir dir;
    const std::string path = dir.File("table.txt");
    const std::string nul(1, '\0');
    const std::vector<std::string> inputs = {
        "", "a", "a\r", "a\n", "a\r\n", "\r\n\r\n", "\r\r\n\n", "\n\r", "a" + nul + nul + "b",
        nul, "x\r\ny\rz\n" + nul + "w", "\n\n\n", "trailing cr\r", "a\r\n\r\n",
    };
    for (const std::string& input : inputs) {
        WriteBytes(path, input);
        Lines lines = {"stale"};
        ASSERT_TRUE(plat::ReadAllLines(path, lines));
        EXPECT_EQ(lines, ReadByLoop(path)) << "input of " << input.size() << " bytes";
    }

    // Random mixtures of text bytes and line endings.
    std::mt19937 generator(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\0', ' '};
    for (int round = 0; round < 40; ++round) {
        std::string input;
        int length = static_cast<int>(generator() % 300);
        for (int i = 0; i < length; ++i) input += alphabet[generator() % sizeof alphabet];
        WriteBytes(path, input);
        Lines lines;
        ASSERT_TRUE(plat::ReadAllLines(path, lines));
        EXPECT_EQ(lines, ReadByLoop(path)) << "round " << round;
    }
}

TEST(CoreFilesWholeRead, LargeFileAndMissingFile) {
    TempDir dir;
    const std::string path = dir.File("big.txt");
    std::string data;
    for (int i = 0; i < 80000; ++i) data += "line " + std::to_string(i) + "\r\n";
    WriteBytes(path, data);
    Lines lines;
    ASSERT_TRUE(plat::ReadAllLines(path, lines));
    ASSERT_EQ(lines.size(), 80000u);
    EXPECT_EQ(lines.front(), "line 0");
    EXPECT_EQ(lines[41234], "line 41234");
    EXPECT_EQ(lines.back(), "line 79999");

    EXPECT_FALSE(plat::ReadAllLines(dir.File("missing.txt"), lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(plat::ReadAllLines(dir.Prefix(), lines));
}

TEST(CoreFilesAtomicWrite, ReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("map.dll");
    WriteBytes(path, "old\r\n");
    ASSERT_TRUE(plat::WriteLinesAtomically(path, {"1", "", "TILE"}));
    EXPECT_EQ(ReadBytes(path), "1\r\n\r\nTILE\r\n");
    ASSERT_TRUE(plat::WriteLinesAtomically(path, {}));
    EXPECT_EQ(ReadBytes(path), "");
    ASSERT_TRUE(plat::WriteLinesAtomically(dir.File("fresh.txt"), {"x"}));
    EXPECT_EQ(plat::ListDirectory(dir.Prefix(), "*"), (Lines{"fresh.txt", "map.dll"}));
}

TEST(CoreFilesAtomicWrite, FailureLeavesTheOldStateUntouched) {
    TempDir dir;
    // The target is a directory: the rename fails and the temporary file is removed.
    const std::string target = dir.File("target_dir");
    std::filesystem::create_directory(target);
    EXPECT_FALSE(plat::WriteLinesAtomically(target, {"a"}));
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_TRUE(plat::ListDirectory(dir.Prefix(), "*").empty());

    // The temporary file cannot be created (its name is taken by a directory).
    const std::string path = dir.File("keep.txt");
    WriteBytes(path, "keep me\r\n");
    const std::string blocker = path + ".tmp" + std::to_string(getpid());
    std::filesystem::create_directory(blocker);
    EXPECT_FALSE(plat::WriteLinesAtomically(path, {"new"}));
    EXPECT_EQ(ReadBytes(path), "keep me\r\n");
    std::filesystem::remove(blocker);

    // A directory that does not exist.
    EXPECT_FALSE(plat::WriteLinesAtomically(dir.File("missing/file.txt"), {"a"}));
    EXPECT_FALSE(plat::WriteLinesAtomically("", {"a"}));
}

TEST(CoreFilesAtomicWrite, UnwritableDirectoryKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
#if defined(_WIN32)
    GTEST_SKIP() << "a directory's read-only attribute does not stop writes into it on Windows";
#endif
    TempDir dir;
    const std::string sub = dir.File("locked");
    std::filesystem::create_directory(sub);
    const std::string path = sub + "/map.dll";
    WriteBytes(path, "old\r\n");
    chmod(sub.c_str(), 0555);  // NOLINT: POSIX permissions
    EXPECT_FALSE(plat::WriteLinesAtomically(path, {"new"}));
    chmod(sub.c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(plat::ListDirectory(sub + "/", "*"), (Lines{"map.dll"}));
}

class CoreFilesListing : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b.png", "a.png", "c.png.bak", "C.png", "x.PNG", "ab.png", ".hidden.png"})
            WriteBytes(dir.File(name), "data");
        std::filesystem::create_directory(dir.File("sub.png"));
#if defined(_WIN32)
        WriteBytes(dir.File("link.png"), "data");  // Wine makes no symbolic links
#else
        std::filesystem::create_symlink(dir.File("a.png"), dir.File("link.png"));
        std::filesystem::create_symlink(dir.File("gone.png"), dir.File("dangling.png"));
#endif
    }
    TempDir dir;
};

TEST_F(CoreFilesListing, PlainFilesMatchingThePatternSortedByteWise) {
    EXPECT_EQ(plat::ListDirectory(dir.Prefix(), "*.png"),
              (Lines{".hidden.png", "C.png", "a.png", "ab.png", "b.png", "link.png"}));
    EXPECT_EQ(plat::ListDirectory(dir.Prefix(), "*.png*"),
              (Lines{".hidden.png", "C.png", "a.png", "ab.png", "b.png", "c.png.bak", "link.png"}));
    EXPECT_EQ(plat::ListDirectory(dir.Prefix(), "?.png"), (Lines{"C.png", "a.png", "b.png"}));
    EXPECT_EQ(plat::ListDirectory(dir.Prefix(), "*.PNG"), (Lines{"x.PNG"}));
    EXPECT_TRUE(plat::ListDirectory(dir.Prefix(), "*.jpg").empty());
}

TEST_F(CoreFilesListing, DirectoryPrefixForms) {
    Lines withSlash = plat::ListDirectory(dir.Prefix(), "?.png");
    std::string withoutSlash = dir.Prefix();
    withoutSlash.pop_back();
    EXPECT_EQ(plat::ListDirectory(withoutSlash, "?.png"), withSlash);
    EXPECT_TRUE(plat::ListDirectory(dir.File("missing") + "/", "*").empty());

    // An empty directory prefix lists the working directory.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Prefix());
    Lines here = plat::ListDirectory("", "?.png");
    std::string current = plat::CurrentDirectory();
    std::filesystem::current_path(previous);
    EXPECT_EQ(here, withSlash);
    EXPECT_EQ(current, std::filesystem::canonical(dir.Prefix()).generic_string() + "/");
}

TEST(CoreFilesWildcard, Patterns) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"", "", true},           {"", "a", false},          {"*", "", true},
        {"*", "anything", true},  {"**", "x", true},         {"?", "", false},
        {"?", "a", true},         {"a?c", "abc", true},      {"a?c", "ac", false},
        {"*.png", "x.png", true}, {"*.png", "x.png.bak", false}, {"*.png*", "x.png.bak", true},
        {"*a", "ba", true},       {"*a", "ab", false},       {"a*b*c", "abbbc", true},
        {"*x*y", "axbxcy", true}, {"*x*y", "axbxc", false},  {"A*", "abc", false},
        {"abc", "abc", true},     {"abc", "abcd", false},    {"*?", "", false},
        {"TILE*?", "TILE1", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::WildcardMatch(c.pattern, c.name), c.matches)
            << "pattern '" << c.pattern << "' name '" << c.name << "'";
}

TEST(CoreFilesPaths, SeparatorsAndExistence) {
    EXPECT_EQ(plat::PathSeparator(), '/');
    EXPECT_EQ(plat::NativePath("GFX\\TILES\\grass.png"), "GFX/TILES/grass.png");
    EXPECT_EQ(plat::NativePath("plain/path"), "plain/path");
    const std::string cwd = plat::CurrentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(cwd.back(), '/');

    TempDir dir;
    WriteBytes(dir.File("here.txt"), "");
    EXPECT_TRUE(plat::FileExists(dir.File("here.txt")));
    EXPECT_FALSE(plat::FileExists(dir.File("not_here.txt")));
    EXPECT_FALSE(plat::FileExists(dir.Prefix()));
    EXPECT_FALSE(plat::FileExists(""));
}

TEST(CoreFilesPaths, DirectoriesAndAbsolutePaths) {
    TempDir dir;
    // Parents are made as needed; doubled and trailing separators change nothing.
    for (const std::string nested : {"a/b/c", "d//e/", "f"}) {
        EXPECT_TRUE(plat::MakeDirectories(dir.File(nested))) << nested;
        EXPECT_TRUE(plat::DirectoryExists(dir.File(nested))) << nested;
        EXPECT_TRUE(plat::DirectoryIsEmpty(dir.File(nested))) << nested;
    }
    EXPECT_TRUE(plat::MakeDirectories(dir.File("a/b")));  // existing already
    EXPECT_FALSE(plat::DirectoryIsEmpty(dir.File("a")));
    WriteBytes(dir.File("f/.hidden"), "");
    EXPECT_FALSE(plat::DirectoryIsEmpty(dir.File("f")));
    WriteBytes(dir.File("plain"), "");
    EXPECT_FALSE(plat::MakeDirectories(dir.File("plain/below")));
    EXPECT_FALSE(plat::DirectoryIsEmpty(dir.File("plain")));
    EXPECT_FALSE(plat::DirectoryIsEmpty(dir.File("missing")));
    EXPECT_FALSE(plat::MakeDirectories(""));

    const std::string cwd = plat::CurrentDirectory();
    EXPECT_EQ(plat::AbsolutePath("/srv/world"), "/srv/world");
    EXPECT_EQ(plat::AbsolutePath("world/MAPS"), cwd + "world/MAPS");
#if defined(_WIN32)
    EXPECT_EQ(plat::AbsolutePath("C:\\world"), "C:\\world");
    EXPECT_EQ(plat::AbsolutePath("\\\\server\\share\\world"), "\\\\server\\share\\world");
#else
    // A drive letter means nothing here: such a name is relative like any other.
    EXPECT_EQ(plat::AbsolutePath("C:\\world"), cwd + "C:\\world");
#endif
}

}  // namespace
