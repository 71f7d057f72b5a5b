// The command line of both programs: which action each line asks for (the outcomes of whole
// runs are the end-to-end table), the --map path, and the new world's writer.
#include "worldfiles/commandline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

#include "tests/worldfiles/temp_dir.h"
#include "worldfiles/democopy.h"
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
        {E, {"--demo", "--map", "m"}, CommandLine::kRun, "", "m", ""},
        {B, {"--demo"}, CommandLine::kRun, "", "", ""},
        {E, {"--demo", "w"}, CommandLine::kUsageError, "", "", "extra argument 'w'"},
        {B, {"w", "--demo"}, CommandLine::kUsageError, "", "", "extra argument '--demo'"},
        {E, {"--new-world", "n", "--demo"}, CommandLine::kUsageError, "", "", "extra argument '--demo'"},
        {E, {"--export-web", "out"}, CommandLine::kExportWeb, "", "", ""},
        {E, {"w", "--export-web", "out", "--map", "m"}, CommandLine::kExportWeb, "w", "m", ""},
        {E, {"--export-web", "out", "--demo"}, CommandLine::kExportWeb, "", "", ""},
        {B, {"--export-web", "out"}, CommandLine::kUsageError, "", "", "unknown option '--export-web'"},
        {E, {"--export-web"}, CommandLine::kUsageError, "", "", "--export-web needs a value"},
        {E, {"--export-web", "a", "--export-web", "b"}, CommandLine::kUsageError, "", "", "extra argument 'b'"},
        {E, {"--export-web", "a", "w", "v"}, CommandLine::kUsageError, "", "", "extra argument 'v'"},
        {E, {"--export-web", "a", "--new-world", "n"}, CommandLine::kUsageError, "", "", "cannot be combined"},
        {E, {"--new-world", "n", "--export-web", "a"}, CommandLine::kUsageError, "", "", "cannot be combined"},
        {B, {"--export-tiled", "o.tmx"}, CommandLine::kExportTiled, "", "", ""},
        {B, {"--export-tiled", "o.tmx", "--map", "m", "w"}, CommandLine::kExportTiled, "w", "m", ""},
        {B, {"--map", "m", "--export-tiled", "o.tmx", "--demo"}, CommandLine::kExportTiled, "", "m", ""},
        {B, {"--export-tiled"}, CommandLine::kUsageError, "", "", "--export-tiled needs a value"},
        {B, {"--export-tiled", "o", "a", "b"}, CommandLine::kUsageError, "", "", "extra argument 'b'"},
        {E, {"--export-tiled", "o"}, CommandLine::kUsageError, "", "", "unknown option '--export-tiled'"},
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
            EXPECT_EQ(line.demo, std::find(c.arguments.begin(), c.arguments.end(), "--demo") != c.arguments.end());
            EXPECT_EQ(line.exportDirectory, c.action == CommandLine::kExportWeb ? "out" : "");
        }
    }
}

TEST(CommandLineTest, ExportNamesItsFileAndGetsItFromTheStartDirectory) {
    CommandLine line = wf::ParseCommandLine(Program::kBuilder, {"--export-tiled", "out/a.tmx"});
    EXPECT_EQ(line.exportFile, "out/a.tmx");
    std::ostringstream out, err;
    EXPECT_EQ(wf::PrepareLaunch(Program::kBuilder, line, out, err), -1);  // the builder exports
    EXPECT_EQ(line.exportFile, plat::CurrentDirectory() + "out/a.tmx");
    EXPECT_NE(wf::HelpText(Program::kBuilder).find("--export-tiled OUT.tmx"), std::string::npos);
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

    wftest::TempDir dir_;
    std::filesystem::path previous_;
};

TEST_F(LaunchTest, WebExportOfAMissingWorldEndsWithTheUsage) {
    CommandLine line = wf::ParseCommandLine(Program::kEngine, {"--export-web", "out", "nowhere"});
    std::ostringstream out, err;
    EXPECT_EQ(wf::PrepareLaunch(Program::kEngine, line, out, err), 2);
    EXPECT_EQ(err.str().rfind("tasko: the world directory 'nowhere' does not exist\nusage: tasko", 0), 0u) << err.str();
    EXPECT_FALSE(std::filesystem::exists("out"));
    EXPECT_NE(wf::HelpText(Program::kEngine).find("--export-web DIR"), std::string::npos);
}

TEST_F(LaunchTest, MapFileIsNamedFromTheStartingDirectoryBeforeEnteringTheWorld) {
    CommandLine line = wf::ParseCommandLine(Program::kEngine, {"--map", "maps/try.dll", "world"});
    std::ostringstream out, err;
    const std::string start = std::filesystem::current_path().generic_string();
    ASSERT_EQ(wf::PrepareLaunch(Program::kEngine, line, out, err), -1);
    EXPECT_EQ(line.mapFile, start + "/maps/try.dll");
    EXPECT_EQ(std::filesystem::current_path().generic_string(), start + "/world");  // as if started there
    line = wf::ParseCommandLine(Program::kEngine, {"--map", "/abs/m.dll"});
    ASSERT_EQ(wf::PrepareLaunch(Program::kEngine, line, out, err), -1);
    EXPECT_EQ(line.mapFile, "/abs/m.dll");
}

// --demo: the user's copy is made from the template once (through a temporary name) and then
// reused as the world; without a world, each program names what is missing on its error output.
TEST_F(LaunchTest, DemoCopyIsMadeOnceAndAMissingWorldIsNamed) {
    std::filesystem::create_directories("template/CORE");
    wftest::WriteBytes("template/CORE/ini.crc", "config");
    const std::string copy = dir_.File("data/tasko/demo");
    std::string problem;
    ASSERT_TRUE(wf::EnsureDemoCopy(dir_.File("template"), copy, problem)) << problem;
    EXPECT_EQ(wftest::ReadBytes(copy + "/CORE/ini.crc"), "config");
    wftest::WriteBytes(copy + "/mine.txt", "kept");
    wftest::WriteBytes("template/CORE/ini.crc", "changed");
    ASSERT_TRUE(wf::EnsureDemoCopy(dir_.File("template"), copy, problem)) << problem;
    EXPECT_EQ(wftest::ReadBytes(copy + "/mine.txt"), "kept");  // reused, not made anew
    EXPECT_EQ(wftest::ReadBytes(copy + "/CORE/ini.crc"), "config");
    std::vector<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("data/tasko"))) {
        beside.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(beside, std::vector<std::string>{"demo"});  // no temporary left

    EXPECT_FALSE(wf::EnsureDemoCopy(dir_.File("nowhere"), dir_.File("other"), problem));
    EXPECT_NE(problem.find("nowhere"), std::string::npos) << problem;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("other")));

    // The launch takes the copy as the world, in the user's data directory.
    setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
    setenv("APPDATA", dir_.File("data").c_str(), 1);  // the user's data directory on Windows
    CommandLine line = wf::ParseCommandLine(Program::kBuilder, {"--demo"});
    std::ostringstream out, err;
    EXPECT_EQ(wf::PrepareLaunch(Program::kBuilder, line, out, err), -1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(std::filesystem::current_path().generic_string(), copy);
    EXPECT_EQ(err.str(), "");

    // In a directory without a world (the copy has no _DATA/ini.txt, nor world/CORE/ini.crc) each
    // program runs on, after one line naming the missing file and what to run instead.
    for (const Program program : {Program::kEngine, Program::kBuilder}) {
        std::filesystem::current_path(dir_.Path());
        std::ostringstream quiet, said;
        line = wf::ParseCommandLine(program, {});
        EXPECT_EQ(wf::PrepareLaunch(program, line, quiet, said), -1);
        const std::string text = said.str();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find(dir_.Path() + "/" + wf::WorldMarkerFile(program) + " is missing"), std::string::npos) << text;
        const std::string name = wf::ProgramName(program);
        for (const std::string& hint : {"'" + name + " DIR'", std::string("'tasko --new-world DIR'"), "'" + name + " --demo'"}) {
            EXPECT_NE(text.find(hint), std::string::npos) << text;
        }
    }
    std::filesystem::create_directories(dir_.File("w/_DATA"));
    wftest::WriteBytes(dir_.File("w/_DATA/ini.txt"), "x");
    std::filesystem::current_path(dir_.File("w"));
    std::ostringstream quiet, said;
    line = wf::ParseCommandLine(Program::kBuilder, {});
    EXPECT_EQ(wf::PrepareLaunch(Program::kBuilder, line, quiet, said), -1);
    EXPECT_EQ(said.str(), "");  // a world here: nothing said
}

// The new world's player is steered by the keyboard, its start map holds the view's marker and
// the player, and a directory that is not empty (or a file) is refused untouched.
TEST_F(LaunchTest, NewWorldHoldsAPlayerAndIsNeverWrittenOverAnother) {
    std::string problem;
    ASSERT_TRUE(wf::WriteNewWorld("made", problem)) << problem;
    wf::TileDescriptor player;
    ASSERT_TRUE(wf::ReadEngineDescriptor("made/GFX/player.dll", player));
    EXPECT_EQ(player.worldFTileUseKeyboard, 1);
    EXPECT_NE(player.worldFTilePlayerID, 0);
    std::vector<std::string> lines;
    ASSERT_TRUE(plat::ReadAllLines("made/MAPS/LVL0.dll", lines));
    std::vector<std::string> names;
    for (const wf::EngineMapRecord& record : wf::ParseEngineMap(lines).records) names.push_back(record.tileName);
    EXPECT_EQ(std::count(names.begin(), names.end(), "player"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "mapstart"), 1);
    EXPECT_EQ(wftest::ReadBytes("made/1"), wftest::ReadBytes("made/MAPS/LVL0.dll"));

    EXPECT_FALSE(wf::WriteNewWorld("made", problem));
    EXPECT_NE(problem.find("not empty"), std::string::npos);
    EXPECT_FALSE(wf::WriteNewWorld("full/keep.txt", problem));
    EXPECT_EQ(wftest::ReadBytes("full/keep.txt"), "mine");
}

}  // namespace
