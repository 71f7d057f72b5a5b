// F5 in the builder, on a new world: the map goes to the world's scratch map (the map file and
// the undo history stay as they are), the engine is started there once at a time and brought to
// the front by F5 while it runs, and a missing or unstartable engine is reported in the
// builder's error box.
#include <gmock/gmock.h>
#include <stdlib.h>

#include "builder/BUILDERKEYBOARD.h"
#include "builder/BUILDERPLAY.h"
#include "builder_fixture.h"
#include "platform/input.h"
#include "worldfiles/mapfile.h"
#include "worldfiles/newworld.h"
#include "tests/support/posix_calls.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class BuilderPlayMap : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        std::string problem;
        ASSERT_TRUE(wf::WriteNewWorld("world", problem)) << problem;
        std::filesystem::current_path("world");
        SetBuilderStartValues();
        ASSERT_TRUE(StartBuilder());
        // The engine is found on PATH: a stand-in program in a directory of its own.
        oldPath_ = getenv("PATH") ? getenv("PATH") : "";
        binDirectory_ = std::filesystem::absolute("../bin").string();
        std::filesystem::create_directories(binDirectory_);
        WriteRaw(binDirectory_ + "/tasko", "#!/bin/sh\n");
        std::filesystem::permissions(binDirectory_ + "/tasko", std::filesystem::perms::owner_all);
        setenv("PATH", binDirectory_.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        BuilderTest::TearDown();
    }
    static void PressF5() {
        plat::headless::SetKey(plat::kKeyF5, true);
        KeyboardStep();
        plat::headless::SetKey(plat::kKeyF5, false);
        KeyboardStep();
    }

    std::string oldPath_, binDirectory_;
};

TEST_F(BuilderPlayMap, F5WritesTheScratchMapAndStartsTheEngineOnceThenBringsItForward) {
    const auto mapBefore = ReadLines("1");
    gBuilder.mapTiles[gBuilder.lastTileIndex].x += 64;  // the player moved in the editor
    PressF5();

    const std::string scratch = gBuilder.startDirectory + "USER/_PLAYMAP";
    EXPECT_EQ(PlayMapPath(), scratch);
    const wf::BuilderMap played = wf::ParseBuilderMap(ReadLines(scratch));
    ASSERT_EQ(static_cast<int>(played.records.size()), gBuilder.lastTileIndex + 1);
    EXPECT_EQ(played.records.back().tileName, "player");
    EXPECT_EQ(played.records.back().x, gBuilder.mapTiles[gBuilder.lastTileIndex].x);
    EXPECT_EQ(ReadLines("1"), mapBefore);  // the map file is untouched
    std::vector<std::string> user;
    for (const auto& entry : std::filesystem::directory_iterator("USER")) user.push_back(entry.path().filename().string());
    EXPECT_THAT(user, ElementsAre("_PLAYMAP"));  // no undo snapshot

    const auto& started = plat::headless::StartedPrograms();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].path, binDirectory_ + "/tasko");
    EXPECT_THAT(started[0].arguments, ElementsAre("--map", scratch));
    EXPECT_EQ(started[0].directory, gBuilder.startDirectory);

    EXPECT_TRUE(plat::headless::ProgramsBroughtToFront().empty());

    // The engine still runs: the edit goes to the scratch map again and that engine comes forward.
    gBuilder.mapTiles[gBuilder.lastTileIndex].x += 32;
    PressF5();
    EXPECT_EQ(started.size(), 1u);
    EXPECT_THAT(plat::headless::ProgramsBroughtToFront(), ElementsAre(gBuilder.engineRun.id));
    EXPECT_EQ(wf::ParseBuilderMap(ReadLines(scratch)).records.back().x, gBuilder.mapTiles[gBuilder.lastTileIndex].x);
    NoteEngineEnd();
    EXPECT_TRUE(gBuilder.engineRun.Valid());  // still running: kept
    plat::headless::EndStartedPrograms();
    NoteEngineEnd();
    EXPECT_FALSE(gBuilder.engineRun.Valid());  // ended: collected
    PressF5();
    EXPECT_EQ(started.size(), 2u);
    EXPECT_EQ(plat::headless::ProgramsBroughtToFront().size(), 1u);
    EXPECT_TRUE(plat::headless::MessageBoxes().empty());
}

TEST_F(BuilderPlayMap, AnEngineThatCannotBeFoundOrStartedIsReported) {
    std::filesystem::remove(binDirectory_ + "/tasko");
    PressF5();
    ASSERT_EQ(plat::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(plat::headless::MessageBoxes()[0].title, "MAP BUILDER ERROR:");
    EXPECT_THAT(plat::headless::MessageBoxes()[0].text, HasSubstr("Can Not Find tasko"));

    WriteRaw(binDirectory_ + "/tasko", "#!/bin/sh\n");
    std::filesystem::permissions(binDirectory_ + "/tasko", std::filesystem::perms::owner_all);
    plat::headless::SetStartFails(true);
    PressF5();
    ASSERT_EQ(plat::headless::MessageBoxes().size(), 2u);
    EXPECT_THAT(plat::headless::MessageBoxes()[1].text, HasSubstr("Can Not Start " + binDirectory_ + "/tasko"));
    EXPECT_TRUE(plat::headless::StartedPrograms().empty());
    EXPECT_EQ(gBuilder.quitFlag, 0);  // the builder goes on
}
