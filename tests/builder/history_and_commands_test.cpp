// Edge cases of the map commands, the undo history and the drawing of one tile: the snapshot an
// open writes right after start-up, the slots after a new map, a quit answered No, two
// screenshots in one millisecond, and postEFFECT texts that are no blending.
#include <gmock/gmock.h>

#include <filesystem>
#include <set>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "builder_fixture.h"
#include "platform/display.h"
#include "platform/images.h"

using ::testing::ElementsAre;
using plat::headless::DrawRecord;

class BuilderHistory : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        ASSERT_TRUE(StartBuilder());
        gBuilder.actualTile = TypeIndex("rock");
        gBuilder.rasterMode = 0;
    }
    // A left click on the map at (x, y): the placement and its snapshot, as the mouse step makes them.
    static void ClickAt(int x, int y) {
        for (bool down : {true, false}) {
            plat::headless::SetWindowMouse(kMainWindow, x, y);
            plat::headless::SetMouse(x, y, down, false, 0);
            HandleEvent({plat::kEventMouseMove, kMainWindow, 0});
        }
    }
};

TEST_F(BuilderHistory, AnOpenRightAfterStartUpWritesUndoZeroAndTheFirstPlacementOverwritesIt) {
    WriteLines("other.map", {"0", "0", "TILE", "wall", "5", "10", "20", "64", "64", "3", "ENGINETILEINFOEND"});
    plat::headless::PushRequesterAnswer("other.map");
    OpenMapCommand();
    EXPECT_THAT(ReadLines("USER/UNDO_0"),
                ElementsAre("0", "0", "TILE", "wall", "1", "10", "20", "64", "64", "3", "ENGINETILEINFOEND"));
    EXPECT_EQ(gBuilder.undoCounter, 0);
    gBuilder.actualTile = TypeIndex("rock");  // the read selected the last type again
    ClickAt(200, 300);
    ASSERT_EQ(gBuilder.lastTileIndex, 1);
    // The placement's snapshot is UNDO_0 again: the opened map plus the new rock.
    const std::vector<std::string> undo0 = ReadLines("USER/UNDO_0");
    ASSERT_EQ(undo0.size(), 2u + 2 * 8 + 1);
    EXPECT_EQ(undo0[2 + 8 + 1], "rock");
    EXPECT_EQ(gBuilder.undoCounter, 1);
    EXPECT_FALSE(Exists("USER/UNDO_1"));
}

TEST_F(BuilderHistory, NewMapReusesTheSlotsAndAQuitAnsweredNoLeavesTheMap) {
    for (int i = 0; i < 3; ++i) ClickAt(100 + 50 * i, 100);
    const size_t slots = gBuilder.mapTiles.size();

    // Quit, answered No: nothing of the map changes, nothing is written.
    const std::vector<std::string> undo2 = ReadLines("USER/UNDO_2");
    plat::headless::PushYesNoAnswer(false);
    AskQuitBuilder();
    EXPECT_EQ(gBuilder.quitFlag, 0);
    EXPECT_EQ(gBuilder.lastTileIndex, 2);
    EXPECT_EQ(gBuilder.mapTiles[2].x, 200);
    EXPECT_EQ(gBuilder.undoCounter, 3);
    EXPECT_EQ(ReadLines("USER/UNDO_2"), undo2);

    plat::headless::PushYesNoAnswer(true);
    NewMapCommand();
    ASSERT_EQ(gBuilder.lastTileIndex, -1);
    gBuilder.actualTile = TypeIndex("wall");
    ClickAt(400, 500);
    ClickAt(450, 500);
    EXPECT_EQ(gBuilder.lastTileIndex, 1);
    EXPECT_EQ(gBuilder.mapTiles.size(), slots);  // the same table, from slot 0 again
    EXPECT_EQ(gBuilder.mapTiles[0].name, "wall");
    EXPECT_EQ(gBuilder.mapTiles[0].x, 400);
    EXPECT_EQ(gBuilder.mapTiles[1].x, 450);
    EXPECT_EQ(gBuilder.mapTiles[2].name, "rock");  // the old third tile stays beyond the end, unused
    ASSERT_TRUE(WriteMapFile("after.map"));
    EXPECT_EQ(ReadLines("after.map").size(), 2u + 2 * 8 + 1);
}

TEST_F(BuilderHistory, TwoScreenshotsInOneMillisecondLeaveTheSecond) {
    plat::headless::SetClock(424242);
    const plat::Colour colours[] = {{10, 20, 30}, {200, 100, 50}};
    for (const plat::Colour& colour : colours) {
        plat::ClearScreen(colour);
        HandleEvent({plat::kEventMenu, kTileWindow, 126});
    }
    plat::Pixels shot;
    ASSERT_TRUE(plat::DecodeImageFile("424242", shot));
    ASSERT_GE(shot.rgba.size(), 4u);
    EXPECT_EQ(shot.rgba[0], 200);
    EXPECT_EQ(shot.rgba[1], 100);
    EXPECT_EQ(shot.rgba[2], 50);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        files += entry.path().filename().string().rfind("424242", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(BuilderHistory, APostEffectThatIsNoFactorPairLeavesNormalBlending) {
    // Split at the first "x"; both parts must give non-zero numbers, and the platform takes
    // only factors 1..13.
    const struct {
        const char* text;
        std::pair<int, int> blend;  // {5, 6}: the normal blending stays
    } cases[] = {{"56", {5, 6}},  {"x2", {5, 6}}, {"3x", {5, 6}},   {"", {5, 6}},
                 {"0x2", {5, 6}}, {"2x2", {2, 2}}, {"9x4x1", {9, 4}}, {"20x2", {5, 6}}};
    ClickAt(100, 100);
    gBuilder.maxUsedLayer = gBuilder.actualLayer;  // its layer is drawn
    gBuilder.actualTile = -1;                      // no preview: only the tile is drawn
    for (const auto& c : cases) {
        gBuilder.mapTiles[0].descriptor.postEFFECT = c.text;
        plat::headless::ClearDraws();
        plat::headless::AdvanceClock(100);
        RedrawMainWindow();
        std::vector<std::pair<int, int>> blends;
        int sprites = 0;
        for (const DrawRecord& d : plat::headless::Draws()) {
            if (d.kind == DrawRecord::kBlend) blends.emplace_back(d.source, d.destination);
            sprites += d.kind == DrawRecord::kSprite ? 1 : 0;
        }
        EXPECT_EQ(sprites, 1) << c.text;
        // Every blending of the redraw is the normal one, but for the tile's override.
        std::set<std::pair<int, int>> distinct(blends.begin(), blends.end());
        distinct.erase({5, 6});
        const std::set<std::pair<int, int>> expected =
            c.blend == std::pair{5, 6} ? std::set<std::pair<int, int>>{} : std::set<std::pair<int, int>>{c.blend};
        EXPECT_EQ(distinct, expected) << c.text;
    }
}
