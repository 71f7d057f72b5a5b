// The command line of both programs: which action each line asks for, and what launching it
// does (exit code, output, the working directory, files written), one table each.
#include "worldfiles/commandline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/worldfiles/temp_dir.h"
#include "worldfiles/descriptor.h"
#include "platform/files.h"
#include "worldfiles/mapfile.h"
#include "worldfiles/newworld.h"

namespace {

using wf::CommandLine;
using wf::Program;

struct ParseCase {
    Program program;
    std::vector<std::string> arguments;
    CommandLine::Action action;
    std::string directory;
    std::string map;
    std::string errorPart;  // kUsageError: a part of the one-line reason
};

TEST(CommandLineTest, ParsesEachLineIntoItsAction) {
    const Program E = Program::kEngine, B = Program::kBuilder;
    const ParseCase cases[] = {
        {E, {}, CommandLine::kRun, "", "", ""},
        {B, {"world"}, CommandLine::kRun, "world", "", ""},
        {E, {"--map", "m.dll", "w"}, CommandLine::kRun, "w", "m.dll", ""},
        {E, {"w", "--map", "m.dll"}, CommandLine::kRun, "w", "m.dll", ""},
        {E, {"--", "-odd"}, CommandLine::kRun, "-odd", "", ""},
        {E, {"--help"}, CommandLine::kHelp, "", "", ""},
        {B, {"-h", "--bogus"}, CommandLine::kHelp, "", "", ""},
        {E, {"x", "y", "--version"}, CommandLine::kVersion, "", "", ""},
        {E, {"--new-world", "n"}, CommandLine::kNewWorld, "n", "", ""},
        {E, {"--bogus"}, CommandLine::kUsageError, "", "", "unknown option '--bogus'"},
        {B, {"--map", "m"}, CommandLine::kUsageError, "", "", "unknown option '--map'"},
        {B, {"--new-world", "n"}, CommandLine::kUsageError, "", "", "unknown option '--new-world'"},
        {E, {"a", "b"}, CommandLine::kUsageError, "", "", "extra argument 'b'"},
        {E, {"--map"}, CommandLine::kUsageError, "", "", "--map needs a value"},
        {E, {"--new-world", "n", "w"}, CommandLine::kUsageError, "", "", "extra argument 'w'"},
        {E, {"--new-world", "n", "--map", "m"}, CommandLine::kUsageError, "", "", "cannot be combined"},
        {B, {"--", "--help"}, CommandLine::kRun, "--help", "", ""},  // after "--" no word is an option
    };
    for (const ParseCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments) shown += a + " ";
        SCOPED_TRACE(shown);
        const CommandLine line = wf::ParseCommandLine(c.program, c.arguments);
        EXPECT_EQ(line.action, c.action);
        if (c.action == CommandLine::kUsageError) {
            EXPECT_NE(line.error.find(c.errorPart), std::string::npos) << line.error;
            EXPECT_EQ(line.error.find('\n'), std::string::npos);
        } else {
            EXPECT_EQ(line.worldDirectory, c.directory);
            EXPECT_EQ(line.mapFile, c.map);
        }
    }
}

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Valid());
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
        std::filesystem::create_directory("world");
        std::filesystem::create_directory("full");
        wftest::WriteBytes("full/keep.txt", "mine");
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // Names of every entry below the scratch directory.
    std::vector<std::string> Tree() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path())) {
            names.push_back(std::filesystem::relative(entry.path(), dir_.Path()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    wftest::TempDir dir_;
    std::filesystem::path previous_;
};

struct LaunchCase {
    Program program;
    std::vector<std::string> arguments;
    int code;             // -1: the program is to run
    bool printsOut;       // something on standard output
    bool printsUsage;     // the usage on standard error
    std::string cwdTail;  // the working directory afterwards ends with this
    bool writes;          // files appear below the scratch directory
};

TEST_F(LaunchTest, EachLineEndsOrRunsWhereItShould) {
    const Program E = Program::kEngine, B = Program::kBuilder;
    const LaunchCase cases[] = {
        {E, {"--help"}, 0, true, false, "", false},
        {B, {"--version"}, 0, true, false, "", false},
        {E, {"--bogus"}, 2, false, true, "", false},
        {B, {"world", "more"}, 2, false, true, "", false},
        {E, {"missing"}, 2, false, true, "", false},
        {B, {"full/keep.txt"}, 2, false, true, "", false},  // a file is no world directory
        {E, {"--new-world", "full"}, 2, false, false, "", false},
        {E, {"--new-world", "new/deep"}, 0, true, false, "", true},
        {B, {"world"}, -1, false, false, "/world", false},
        {E, {}, -1, false, false, "", false},
    };
    for (const LaunchCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.arguments) shown += a + " ";
        SCOPED_TRACE(shown);
        std::filesystem::current_path(dir_.Path());
        const std::vector<std::string> before = Tree();
        CommandLine line = wf::ParseCommandLine(c.program, c.arguments);
        std::ostringstream out, err;
        EXPECT_EQ(wf::PrepareLaunch(c.program, line, out, err), c.code);
        EXPECT_EQ(!out.str().empty(), c.printsOut) << out.str();
        EXPECT_EQ(err.str().find("usage: ") != std::string::npos, c.printsUsage) << err.str();
        if (c.code == 2) {
            // One line saying what is wrong comes first.
            EXPECT_EQ(err.str().rfind(wf::ProgramName(c.program) + ": ", 0), 0u) << err.str();
        }
        const std::string cwd = std::filesystem::current_path().string();
        const std::string expectedCwd = std::filesystem::path(dir_.Path()).string() + c.cwdTail;
        EXPECT_EQ(cwd, std::filesystem::weakly_canonical(expectedCwd).string());
        std::filesystem::current_path(dir_.Path());
        EXPECT_EQ(Tree() != before, c.writes);
        EXPECT_EQ(wftest::ReadBytes("full/keep.txt"), "mine");
    }
}

TEST_F(LaunchTest, MapFileIsNamedFromTheStartingDirectoryBeforeEnteringTheWorld) {
    CommandLine line = wf::ParseCommandLine(Program::kEngine, {"--map", "maps/try.dll", "world"});
    std::ostringstream out, err;
    const std::string start = std::filesystem::current_path().string();
    ASSERT_EQ(wf::PrepareLaunch(Program::kEngine, line, out, err), -1);
    EXPECT_EQ(line.mapFile, start + "/maps/try.dll");
    line = wf::ParseCommandLine(Program::kEngine, {"--map", "/abs/m.dll"});
    ASSERT_EQ(wf::PrepareLaunch(Program::kEngine, line, out, err), -1);
    EXPECT_EQ(line.mapFile, "/abs/m.dll");
}

// The new world is one both programs can read: every configuration named, each tile kind with
// its graphic and descriptor, and a start map with the marker, the player and walls.
TEST_F(LaunchTest, NewWorldHoldsAPlayableStartMap) {
    std::string problem;
    ASSERT_TRUE(wf::WriteNewWorld("made", problem)) << problem;
    for (const char* file : {"CORE/ini.crc", "CORE/codecs.crc", "CORE/systemtext.txt", "_DATA/ini.txt",
                             "_DATA/script.txt", "_DATA/app.txt", "_DATA/gui.txt", "_DATA/codecs.txt",
                             "_DATA/DNA.dll", "1", "MAPS/LVL0.dll"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(std::string("made/") + file)) << file;
    }
    EXPECT_TRUE(std::filesystem::is_directory("made/USER"));

    wf::TileDescriptor player;
    ASSERT_TRUE(wf::ReadEngineDescriptor("made/GFX/player.dll", player));
    EXPECT_EQ(player.worldFTileUseKeyboard, 1);
    EXPECT_NE(player.worldFTilePlayerID, 0);
    EXPECT_EQ(player.worldFTileTransparency, 255);
    wf::TileDescriptor wall;
    ASSERT_TRUE(wf::ReadEngineDescriptor("made/GFX/wall.dll", wall));
    EXPECT_EQ(wall.worldFTileCollision, 1);
    wf::TileDescriptor marker;
    ASSERT_TRUE(wf::ReadEngineDescriptor("made/GFX/mapstart.dll", marker));
    EXPECT_EQ(marker.worldFTileIDString, "MAPSTART");

    std::vector<std::string> lines;
    ASSERT_TRUE(plat::ReadAllLines("made/MAPS/LVL0.dll", lines));
    const wf::EngineMap map = wf::ParseEngineMap(lines);
    int players = 0, walls = 0, floors = 0, markers = 0;
    for (const wf::EngineMapRecord& record : map.records) {
        players += record.tileName == "player";
        walls += record.tileName == "wall";
        floors += record.tileName == "floor";
        if (record.tileName == "mapstart") {
            ++markers;
            EXPECT_EQ(record.x, 0);
            EXPECT_EQ(record.y, 0);
        }
        EXPECT_TRUE(std::filesystem::is_regular_file("made/GFX/" + record.tileName + ".png")) << record.tileName;
    }
    EXPECT_EQ(players, 1);
    EXPECT_EQ(markers, 1);
    EXPECT_GT(walls, 3);
    EXPECT_EQ(floors, 80);  // 1280 x 1024 in 128-pixel slabs
    EXPECT_EQ(wftest::ReadBytes("made/1"), wftest::ReadBytes("made/MAPS/LVL0.dll"));

    // A world cannot be written over another, nor into a file's place.
    EXPECT_FALSE(wf::WriteNewWorld("made", problem));
    EXPECT_NE(problem.find("not empty"), std::string::npos);
    EXPECT_FALSE(wf::WriteNewWorld("full/keep.txt", problem));
}

}  // namespace
