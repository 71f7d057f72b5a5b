// The editing world through the builder's event and keyboard steps: placing up to the table's
// end, deleting, resizing, scrolling in each raster mode, layers, the button latch, the grid
// cursor and the toggles (Tab, H, G).
#include <gmock/gmock.h>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERKEYBOARD.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "builder_fixture.h"
#include "platform/input.h"
#include "worldfiles/convert.h"

using ::testing::ElementsAre;

class BuilderEditing : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        ASSERT_TRUE(StartBuilder());
        gBuilder.actualTile = TypeIndex("rock");  // 32 x 16
    }
    // One main-window event with the pointer at (x, y) and the buttons as given, then the
    // keyboard step, as a turn of the main loop does.
    static void MainEvent(int x, int y, bool left, bool right, int wheel = 0) {
        plat::headless::SetWindowMouse(kMainWindow, x, y);
        plat::headless::SetMouse(x, y, left, right, wheel);
        HandleEvent({plat::kEventMouseMove, kMainWindow, 0});
        KeyboardStep();
    }
    static void Click(int x, int y, bool right = false) {
        MainEvent(x, y, !right, right);
        MainEvent(x, y, false, false);
    }
    // Presses and lets go of a key over two keyboard steps.
    static void Tap(int code) {
        plat::headless::SetKey(code, true);
        KeyboardStep();
        plat::headless::SetKey(code, false);
        KeyboardStep();
    }
    static std::vector<int> ActiveSlots() {
        std::vector<int> slots;
        for (int i = 0; i <= gBuilder.lastTileIndex; ++i) {
            if (gBuilder.mapTiles[i].active != 0) slots.push_back(i);
        }
        return slots;
    }
};

TEST_F(BuilderEditing, PlacingFillsSlotsUpToMaxTilesAndARefusalStillTakesASnapshot) {
    gBuilder.rasterMode = 0;
    gBuilder.maxTiles = 3;
    gBuilder.actualLayer = 4;
    for (int i = 0; i < 5; ++i) Click(10 * i, 20);
    EXPECT_EQ(gBuilder.lastTileIndex, 3);
    EXPECT_EQ(gBuilder.undoCounter, 5);
    EXPECT_EQ(ReadLines("USER/UNDO_4"), ReadLines("USER/UNDO_3"));  // the refused fifth click
    EXPECT_EQ(ReadLines("USER/UNDO_0").size(), 2u + 8 + 1);         // one more TILE record each
    EXPECT_EQ(ReadLines("USER/UNDO_2").size(), 2u + 3 * 8 + 1);
    const MapTile& tile = gBuilder.mapTiles[3];
    EXPECT_EQ(tile.name, "rock");
    EXPECT_EQ(tile.x, 30);
    EXPECT_EQ(tile.startX, 30);
    EXPECT_EQ(tile.y, 20);
    EXPECT_EQ(tile.width, 32);
    EXPECT_EQ(tile.height, 16);
    EXPECT_EQ(tile.layer, 4);
    EXPECT_EQ(tile.libraryIndex, TypeIndex("rock"));
    EXPECT_EQ(tile.descriptor.hp, 3);
    EXPECT_EQ(tile.active, 1);
}

TEST_F(BuilderEditing, PlacedTilesTakeFewerValuesThanReadOnesAndAKnownKeysOnlyTypeIsInactive) {
    WriteDescriptor("GFX/rock.dll", {{"worldFTilePattern", "1"}, {"geneseID", "7"}});
    WriteLines("GFX/plain.dll", {"hp", "1"});  // only known keys, no trailer: usable flag 0
    WritePng("GFX/plain.png", 8, 8, 9, 9, 9);
    ReadMapFile("1");
    gBuilder.rasterMode = 0;
    gBuilder.actualTile = TypeIndex("rock");
    Click(5, 5);
    EXPECT_EQ(gBuilder.mapTiles[0].descriptor.worldFTilePattern, 0);
    EXPECT_EQ(gBuilder.mapTiles[0].descriptor.geneseID, "");
    gBuilder.actualTile = TypeIndex("plain");
    Click(50, 5);
    EXPECT_EQ(gBuilder.lastTileIndex, 1);
    EXPECT_EQ(gBuilder.mapTiles[1].active, 0);  // takes a slot, is not saved, cannot be deleted
    EXPECT_EQ(gBuilder.undoCounter, 2);
    Click(52, 7, true);
    EXPECT_EQ(gBuilder.undoCounter, 2);
    // Reading the map back copies the pattern flag: the rock is no longer drawn.
    RedrawMapCommand();
    EXPECT_EQ(gBuilder.lastTileIndex, 0);
    EXPECT_EQ(gBuilder.mapTiles[0].descriptor.worldFTilePattern, 1);
}

TEST_F(BuilderEditing, DeleteHitsTheLowestActiveSlotOfTheActualLayerInWorkMapCoordinates) {
    struct Case {
        const char* label;
        int x, y;     // build cursor
        float zoom;
        int layer;    // actual layer
        int deleted;  // slot, -1 for none
    };
    // rock 32 x 16: slot 0 at (0, 0) layer 1, slot 1 at (10, 4) layer 1, slot 2 at (500, 500)
    // layer 1, slot 3 at (0, 0) layer 2.
    const Case cases[] = {
        {"overlap: the lower slot", 12, 6, 1.0f, 1, 0},
        {"only the layer's tiles", 12, 6, 1.0f, 2, 3},
        {"exact right and bottom edge", 42, 20, 1.0f, 1, 1},
        {"one past the edge", 43, 20, 1.0f, 1, -1},
        {"minimap: not where it is drawn", 51, 51, 0.1f, 1, -1},
        {"minimap: the work-map rectangle", 505, 505, 0.1f, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        gBuilder.lastTileIndex = -1;
        Place("rock", 0, 0, 1);
        Place("rock", 10, 4, 1);
        Place("rock", 500, 500, 1);
        Place("rock", 0, 0, 2);
        SetMapZoom(c.zoom);
        gBuilder.actualLayer = c.layer;
        gBuilder.mouseX = c.x;
        gBuilder.mouseY = c.y;
        const int snapshots = gBuilder.undoCounter;
        EXPECT_EQ(DeleteTileAtCursor(), c.deleted >= 0);
        std::vector<int> expected = {0, 1, 2, 3};
        if (c.deleted >= 0) expected.erase(expected.begin() + c.deleted);
        EXPECT_EQ(ActiveSlots(), expected);
        EXPECT_EQ(gBuilder.undoCounter, snapshots);  // the snapshot is the caller's step
    }
}

TEST_F(BuilderEditing, WheelResizesTheSelectedTypeKeepingItsRatioAboveOnePixel) {
    struct Case {
        float width, height;
        int notches;
        float newWidth, newHeight;
    };
    const Case cases[] = {{64, 32, 1, 66, 32.5f}, {2, 2, -1, 2, 2}, {64, 32, -2, 60, 31}};
    gBuilder.rasterMode = 0;
    for (const Case& c : cases) {
        TileType& rock = gBuilder.tileLibrary[TypeIndex("rock")];
        rock.width = c.width;
        rock.height = c.height;
        MainEvent(100, 100, false, false, c.notches);
        EXPECT_FLOAT_EQ(rock.width, c.newWidth) << c.width << " by " << c.notches;
        EXPECT_FLOAT_EQ(rock.height, c.newHeight) << c.width << " by " << c.notches;
    }
    // Placed tiles keep their size; new ones take the type's.
    Click(0, 0);
    EXPECT_FLOAT_EQ(gBuilder.mapTiles[0].width, 60);
}

TEST_F(BuilderEditing, CursorKeysScrollEveryTileButStretchedOnesByTheModesStep) {
    struct Case {
        int mode;
        int key;
        int dx, dy;  // scroll after one press and release
    };
    using namespace plat;
    const Case cases[] = {
        {1, kKeyLeft, -48, 0}, {1, kKeyRight, 47, 0}, {1, kKeyUp, 0, -20}, {1, kKeyDown, 0, 19},
        {2, kKeyLeft, -32, 0}, {2, kKeyRight, 32, 0}, {2, kKeyUp, 0, -32}, {2, kKeyDown, 0, 32},
        {0, kKeyLeft, -1, 0},  {0, kKeyDown, 0, 1},   // held for one step
    };
    WriteDescriptor("GFX/wall.dll", {{"worldFStretch", "1"}, {"postEFFECT", "2x2"}});
    ReadMapFile("1");
    TileType& rock = gBuilder.tileLibrary[TypeIndex("rock")];
    rock.width = 48;
    rock.height = 20;
    gBuilder.actualTile = TypeIndex("rock");
    Place("rock", 100, 200, 1);
    Place("wall", 7, 9, 0);
    gBuilder.mapTiles[0].active = 0;  // inactive tiles move too
    for (const Case& c : cases) {
        gBuilder.rasterMode = c.mode;
        const int x = wf::RoundToInt(gBuilder.mapTiles[0].x), y = wf::RoundToInt(gBuilder.mapTiles[0].y);
        const int sx = gBuilder.scrollX, sy = gBuilder.scrollY;
        Tap(c.key);
        EXPECT_EQ(gBuilder.mapTiles[0].x - x, c.dx) << c.mode << "/" << c.key;
        EXPECT_EQ(gBuilder.mapTiles[0].y - y, c.dy) << c.mode << "/" << c.key;
        EXPECT_EQ(gBuilder.mapTiles[0].startX, gBuilder.mapTiles[0].x);
        EXPECT_EQ(gBuilder.scrollX - sx, c.dx);
        EXPECT_EQ(gBuilder.scrollY - sy, c.dy);
        EXPECT_EQ(gBuilder.mapTiles[1].x, 7);  // stretched: stays
        EXPECT_EQ(gBuilder.mapTiles[1].y, 9);
    }
    // A 32 x 32 type in mode 1: -32 up, +31 down.
    rock.width = rock.height = 32;
    gBuilder.rasterMode = 1;
    const int sy = gBuilder.scrollY;
    Tap(kKeyUp);
    EXPECT_EQ(gBuilder.scrollY - sy, -32);
    Tap(kKeyDown);
    EXPECT_EQ(gBuilder.scrollY - sy, -1);
}

TEST_F(BuilderEditing, RasterModeKeysAndAModeKeyLetGoInTheSameStepActsAtOnce) {
    using namespace plat;
    gBuilder.rasterMode = 2;
    gBuilder.mouseX = gBuilder.mouseY = 96;
    Tap(kKeyG);  // G in mode 2 puts the cursor back at (0, 0)
    EXPECT_EQ(gBuilder.mouseX, 0);
    EXPECT_EQ(gBuilder.mouseY, 0);
    // C and cursor-left let go together: mode 0 already applies, and a released key does not
    // scroll in mode 0 (only held ones do).
    plat::headless::SetKey(kKeyC, true);
    plat::headless::SetKey(kKeyLeft, true);
    KeyboardStep();
    plat::headless::SetKey(kKeyC, false);
    plat::headless::SetKey(kKeyLeft, false);
    const int sx = gBuilder.scrollX;
    KeyboardStep();
    EXPECT_EQ(gBuilder.rasterMode, 0);
    EXPECT_EQ(gBuilder.scrollX, sx);
}

TEST_F(BuilderEditing, PageKeysRunLayersZeroToSixtyFourAndOnlyRaiseMaxUsedLayer) {
    using namespace plat;
    struct Case {
        int from, maxBefore, key, to, maxAfter;
    };
    const Case cases[] = {
        {0, 0, kKeyPageDown, 0, 0}, {64, 64, kKeyPageUp, 64, 64},
        {3, 3, kKeyPageUp, 4, 4},   {4, 4, kKeyPageDown, 3, 4},
    };
    for (const Case& c : cases) {
        gBuilder.actualLayer = c.from;
        gBuilder.maxUsedLayer = c.maxBefore;
        Tap(c.key);
        EXPECT_EQ(gBuilder.actualLayer, c.to) << c.from;
        EXPECT_EQ(gBuilder.maxUsedLayer, c.maxAfter) << c.from;
    }
}

TEST_F(BuilderEditing, OnePressBuildsOrDeletesOnceAndLeftWinsOverRight) {
    gBuilder.rasterMode = 0;
    gBuilder.actualLayer = 1;
    MainEvent(0, 0, true, false);
    MainEvent(40, 0, true, false);  // held while moving: still one tile
    MainEvent(80, 0, true, true);   // right added while left is held: nothing
    EXPECT_EQ(gBuilder.lastTileIndex, 0);
    EXPECT_EQ(gBuilder.buttonLatch, 1);
    MainEvent(80, 0, false, true);  // left let go, right still down: latch stays
    EXPECT_THAT(ActiveSlots(), ElementsAre(0));
    MainEvent(80, 0, false, false);
    EXPECT_EQ(gBuilder.buttonLatch, 0);
    MainEvent(5, 5, true, true);    // both together: only the left one acts
    EXPECT_EQ(gBuilder.lastTileIndex, 1);
    EXPECT_THAT(ActiveSlots(), ElementsAre(0, 1));
    MainEvent(5, 5, false, false);
    MainEvent(5, 5, false, true);   // right alone deletes the lowest slot under the cursor
    EXPECT_THAT(ActiveSlots(), ElementsAre(1));
    EXPECT_EQ(gBuilder.undoCounter, 3);
}

TEST_F(BuilderEditing, GridCursorStepsBySignOfMotionWithinTheScreen) {
    plat::headless::SetDesktop(1024, 768, 32);
    gBuilder.screenWidth = 1024;
    gBuilder.screenHeight = 768;
    gBuilder.rasterMode = 2;
    gBuilder.mouseX = gBuilder.mouseY = 0;
    MainEvent(500, 500, false, false);  // the first position: no motion yet
    int x = 500, y = 500;
    for (int i = 0; i < 40; ++i) MainEvent(x += 1, y, false, false);
    EXPECT_EQ(gBuilder.mouseX, 992);  // never reaches 1024
    EXPECT_EQ(gBuilder.mouseY, 0);
    for (int i = 0; i < 5; ++i) MainEvent(x, y += 1 + 100 * i, false, false);  // speed does not matter
    EXPECT_EQ(gBuilder.mouseY, 160);
    MainEvent(x -= 400, y -= 1, false, false);  // both axes at once, one step each
    EXPECT_EQ(gBuilder.mouseX, 960);
    EXPECT_EQ(gBuilder.mouseY, 128);
    for (int i = 0; i < 40; ++i) MainEvent(x -= 1, y, false, false);
    EXPECT_EQ(gBuilder.mouseX, 0);

    // Without a positive grid size the cursor stays and no dots are drawn.
    gBuilder.gridSize = 0;
    plat::headless::AdvanceClock(100);
    plat::headless::ClearDraws();
    MainEvent(x + 5, 505, false, false);
    EXPECT_EQ(gBuilder.mouseX, 0);
    for (const auto& d : plat::headless::Draws()) EXPECT_NE(d.kind, plat::headless::DrawRecord::kPixel);

    // In modes 0 and 1 the cursor is the pointer in the client area, -1 outside.
    gBuilder.rasterMode = 1;
    MainEvent(-1, -1, false, false);
    EXPECT_EQ(gBuilder.mouseX, -1);
    EXPECT_EQ(gBuilder.mouseY, -1);
}

TEST_F(BuilderEditing, TabHidesBothToolWindowsAtTheNextEventAndHTogglesQuickHelp) {
    using plat::headless::FindWindow;
    plat::headless::ClearDraws();
    Tap(plat::kKeyTab);
    EXPECT_TRUE(FindWindow(kTileWindow)->shown);  // applied at the next event
    MainEvent(0, 0, false, false);
    EXPECT_FALSE(FindWindow(kTileWindow)->shown);
    EXPECT_FALSE(FindWindow(kDescriptorWindow)->shown);
    Tap(plat::kKeyTab);
    HandleEvent({plat::kEventRepaint, kTileWindow, 0});
    EXPECT_TRUE(FindWindow(kTileWindow)->shown);
    EXPECT_TRUE(FindWindow(kDescriptorWindow)->shown);
    int thumbnailFills = 0;
    for (const auto& d : plat::headless::Draws()) {
        thumbnailFills += d.kind == plat::headless::DrawRecord::kWindowFill ? 1 : 0;
    }
    EXPECT_EQ(thumbnailFills, 3);  // each Tab and the repaint request

    // Closing the tile window only sets the flag.
    HandleEvent({plat::kEventCloseRequest, kTileWindow, 0});
    EXPECT_EQ(gBuilder.tileWindowHidden, 1);
    EXPECT_TRUE(plat::WindowExists(kTileWindow));

    Tap(plat::kKeyH);
    EXPECT_EQ(gBuilder.quickHelp, 1);
    Tap(plat::kKeyH);
    EXPECT_EQ(gBuilder.quickHelp, 0);
}
