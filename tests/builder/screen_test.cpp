// What the builder shows and how its windows answer: the recorded redraw (layer order, blending
// overrides, pattern tiles, preview, grid dots, the grid-mode gap), the screen log and quick
// help, choosing a tile in the tile window, the menu actions, and bad input along the way.
#include <gmock/gmock.h>

#include <filesystem>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERKEYBOARD.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "builder_fixture.h"
#include "platform/clock.h"
#include "platform/input.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using plat::headless::DrawRecord;

class BuilderScreen : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        ASSERT_TRUE(StartBuilder());
        plat::headless::AdvanceClock(1000);
    }
    static std::vector<DrawRecord> DrawsOf(DrawRecord::Kind kind) {
        std::vector<DrawRecord> out;
        for (const DrawRecord& d : plat::headless::Draws()) {
            if (d.kind == kind) out.push_back(d);
        }
        return out;
    }
    static std::vector<std::pair<int, std::string>> LogLines() {
        std::vector<std::pair<int, std::string>> lines;
        for (const DrawRecord& d : DrawsOf(DrawRecord::kText)) {
            if (d.x == 0 && d.filled && d.colour.r == 0) lines.emplace_back(d.y, d.text);
        }
        return lines;
    }
    static void Redraw() {
        plat::headless::ClearDraws();
        plat::headless::AdvanceClock(100);
        RedrawMainWindow();
    }
};

TEST_F(BuilderScreen, RedrawDrawsLayersInOrderWithBlendingPatternsPreviewAndGridDots) {
    WriteDescriptor("GFX/rock.dll", {{"postEFFECT", "5x0"}, {"worldFTileTransparency", "128"}});
    WriteDescriptor("GFX/wall.dll", {{"postEFFECT", "2x2"}, {"worldFTileTransparency", "255"}});
    WriteDescriptor("GFX/ghost.dll", {{"worldFTilePattern", "1"}, {"worldFTileTransparency", "255"}});
    WritePng("GFX/ghost.png", 4, 4, 1, 1, 1);
    WriteLines("layers.map", {"0", "0",
                              "TILE", "rock", "0", "10", "20", "32", "16", "1",    // slot 0
                              "TILE", "wall", "0", "30", "40", "64", "64", "0",    // slot 1
                              "TILE", "ghost", "0", "50", "60", "4", "4", "0",     // slot 2: pattern
                              "TILE", "rock", "0", "70", "80", "32", "16", "0",    // slot 3
                              "ENGINETILEINFOEND"});
    ReadMapFile("layers.map");
    gBuilder.maxUsedLayer = 1;
    Place("wall", 90, 90, 2);  // above maxUsedLayer: not drawn
    gBuilder.actualTile = TypeIndex("wall");
    gBuilder.rasterMode = 0;
    gBuilder.mouseX = 300;
    gBuilder.mouseY = 310;
    Redraw();

    // The order of the steps (blend changes left out, runs of one kind taken once).
    std::vector<DrawRecord::Kind> steps;
    for (const DrawRecord& d : plat::headless::Draws()) {
        if (d.kind != DrawRecord::kBlend && (steps.empty() || steps.back() != d.kind)) steps.push_back(d.kind);
    }
    EXPECT_THAT(steps, ElementsAre(DrawRecord::kBegin3D, DrawRecord::kClear, DrawRecord::kSprite, DrawRecord::kEnd3D,
                                   DrawRecord::kText, DrawRecord::kPixel, DrawRecord::kFlip));
    // Layer 0 in slot order (wall, rock; the pattern tile is not drawn), then layer 1, then the
    // preview of the selected wall at the build cursor.
    std::vector<std::tuple<int, int, int, int>> sprites;  // x, y, width, opacity
    for (const DrawRecord& d : DrawsOf(DrawRecord::kSprite)) sprites.emplace_back(d.x, d.y, d.width, d.opacity);
    EXPECT_THAT(sprites, ElementsAre(std::tuple{30, 40, 64, 255}, std::tuple{70, 80, 32, 128},
                                     std::tuple{10, 20, 32, 128}, std::tuple{300, 310, 64, 255}));
    // The pass begins with 5/6 and so does each tile (the pattern tile too); "2x2" overrides
    // it, "5x0" does not; the preview takes the wall's own "2x2" once more.
    std::vector<std::pair<int, int>> blends;
    for (const DrawRecord& d : DrawsOf(DrawRecord::kBlend)) blends.emplace_back(d.source, d.destination);
    EXPECT_THAT(blends, ElementsAre(std::pair{5, 6}, std::pair{5, 6}, std::pair{2, 2}, std::pair{5, 6},
                                    std::pair{5, 6}, std::pair{5, 6}, std::pair{2, 2}));
    // One green dot per grid crossing: (1280 / 32 + 1) x (1024 / 32 + 1).
    const auto dots = DrawsOf(DrawRecord::kPixel);
    ASSERT_EQ(dots.size(), 41u * 33u);
    EXPECT_EQ(dots.back().x, 1280);
    EXPECT_EQ(dots.back().y, 1024);
    EXPECT_EQ(dots.front().colour.g, 255);

    // Minimap: positions and sizes scaled, the preview not; no preview while the right button is held.
    SetMapZoom(0.1f);
    plat::headless::SetMouse(300, 310, false, true, 0);
    plat::PollMouse();
    Redraw();
    sprites.clear();
    for (const DrawRecord& d : DrawsOf(DrawRecord::kSprite)) sprites.emplace_back(d.x, d.y, d.width, d.opacity);
    EXPECT_THAT(sprites, ElementsAre(std::tuple{3, 4, 6, 255}, std::tuple{7, 8, 3, 128}, std::tuple{1, 2, 3, 128}));
}

TEST_F(BuilderScreen, AHugeLayerNumberIsDrawnLastWithoutWalkingTheLayersBelowIt) {
    WriteLines("far.map", {"0", "0",
                           "TILE", "rock", "0", "1", "1", "32", "16", "2000000000",  // slot 0
                           "TILE", "wall", "0", "2", "2", "64", "64", "-3",          // slot 1: never drawn
                           "TILE", "rock", "0", "3", "3", "32", "16", "7",           // slot 2
                           "TILE", "wall", "0", "4", "4", "64", "64", "0",           // slot 3
                           "TILE", "rock", "0", "5", "5", "32", "16", "7",           // slot 4
                           "ENGINETILEINFOEND"});
    plat::headless::ClearDraws();
    ReadMapFile("far.map");  // redraws; walking two billion layers would never return
    EXPECT_EQ(gBuilder.maxUsedLayer, 2000000000);
    std::vector<int> xs;
    for (const DrawRecord& d : DrawsOf(DrawRecord::kSprite)) xs.push_back(d.x);
    EXPECT_THAT(xs, ElementsAre(4, 3, 5, 1, gBuilder.mouseX));  // the last one is the preview
}

TEST_F(BuilderScreen, StretchedTilesCoverTheScreenAndGridModeRedrawsComeFiftyMillisecondsApart) {
    WriteDescriptor("GFX/wall.dll", {{"worldFStretch", "1"}, {"worldFTileTransparency", "255"}});
    ReadMapFile("1");
    Place("wall", 40, 50, 0);
    gBuilder.actualTile = TypeIndex("rock");
    gBuilder.rasterMode = 2;
    Redraw();
    const auto sprites = DrawsOf(DrawRecord::kSprite);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(sprites[0].x, 0);
    EXPECT_EQ(sprites[0].width, 1280);
    EXPECT_EQ(sprites[0].height, 1024);

    // A second grid-mode redraw 20 ms later is postponed to a timer event of the main window,
    // due when 50 ms have passed; the events before it are handled meanwhile.
    plat::headless::ClearDraws();
    plat::headless::AdvanceClock(20);
    RedrawMainWindow();
    EXPECT_TRUE(plat::headless::Draws().empty());
    plat::headless::PushEvent({plat::kEventRepaint, kTileWindow, 0});
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventRepaint);
    const plat::WindowEvent timer = plat::WaitEvent();
    EXPECT_EQ(timer.kind, plat::kEventTimer);
    EXPECT_EQ(timer.window, kMainWindow);
    EXPECT_EQ(plat::Milliseconds() - gBuilder.lastRedrawMs, 50);
    HandleEvent(timer);
    EXPECT_EQ(DrawsOf(DrawRecord::kFlip).size(), 1u);
    EXPECT_EQ(gBuilder.lastRedrawMs, plat::Milliseconds());
    // Outside grid mode nothing waits.
    gBuilder.rasterMode = 1;
    plat::headless::ClearDraws();
    RedrawMainWindow();
    EXPECT_EQ(DrawsOf(DrawRecord::kFlip).size(), 1u);
}

TEST_F(BuilderScreen, ScreenLogLinesForAnEmptyMapAndForThreeTiles) {
    gBuilder.rasterMode = 1;
    gBuilder.actualTile = 1;
    gBuilder.mouseX = 500;
    gBuilder.mouseY = 400;
    Redraw();
    EXPECT_THAT(LogLines(), ElementsAre(std::pair{8, "MapBuilder ScreenLog: Press [H] for QuickHelp"},
                                        std::pair{28, "Tiles used in Map:-1 of 100"}, std::pair{48, "MaxUndo0"},
                                        std::pair{68, "Actual Tile:1"}, std::pair{128, "Actual Map Layer 1"},
                                        std::pair{148, "Global TileID:"}, std::pair{168, "Max Used Layer: 0"},
                                        std::pair{188, "RasterMODE:OBJECT_SIZE"}));
    const auto texts = DrawsOf(DrawRecord::kText);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const DrawRecord& d) { return d.x == 500 && d.y == 400 && d.text == "1"; }));

    WriteDescriptor("GFX/wall.dll", {{"worldFTileID", "W-7"}, {"worldFTileTransparency", "255"}});
    ReadMapFile("1");
    Place("rock", 0, 0, 1);
    Place("rock", 40, 0, 1);
    Place("wall", 80, 0, 1);
    TakeUndoSnapshot();
    gBuilder.tileWindowHidden = 1;
    gBuilder.rasterMode = 2;
    Redraw();
    const std::string wall = std::to_string(TypeIndex("wall"));
    EXPECT_THAT(LogLines(), ElementsAre(std::pair{8, "MapBuilder ScreenLog: Press [H] for QuickHelp"},
                                        std::pair{28, "Tiles used in Map:2 of 100"}, std::pair{48, "MaxUndo1"},
                                        std::pair{68, "Actual Tile:" + wall},
                                        std::pair{88, "Internal Static TileID:" + wall},
                                        std::pair{108, "GFXFileName:wall"}, std::pair{128, "Actual Map Layer 1"},
                                        std::pair{148, "Global TileID:W-7"}, std::pair{168, "Max Used Layer: 0"},
                                        std::pair{188, "RasterMODE:MATRIX_SIZE"},
                                        std::pair{208, "For TileWindow press [TAB]"}));

    // Quick help: a dark box over the lower left quarter, lines 16 apart (14 before the last pair).
    gBuilder.quickHelp = 1;
    Redraw();
    const auto boxes = DrawsOf(DrawRecord::kBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(std::tuple(boxes[0].x, boxes[0].y, boxes[0].width, boxes[0].height), std::tuple(0, 496, 640, 512));
    std::vector<int> helpY;
    for (const DrawRecord& d : DrawsOf(DrawRecord::kText)) {
        if (d.x == 32 && !d.filled && d.colour.r == 200) helpY.push_back(d.y - 512);
    }
    EXPECT_THAT(helpY, ElementsAre(0, 16, 32, 48, 64, 80, 96, 112, 128, 142, 158, 174));
    EXPECT_EQ(plat::headless::Draws().back().kind, DrawRecord::kFlip);
}

TEST_F(BuilderScreen, AThumbnailIsChosenInsideItsEdgesAndLoadsItsDescriptorByPosition) {
    // rock's descriptor lists its keys in another order than the template.
    WriteDescriptor("GFX/rock.dll", {{"hp", "3"}, {"worldFTileTransparency", "200"}});
    DrawThumbnails();
    const int rock = TypeIndex("rock");
    const TileType& type = gBuilder.tileLibrary[rock];
    struct Case {
        int dx, dy;  // pointer relative to the thumbnail's corner
        bool chosen;
    };
    const Case cases[] = {{0, 10, false}, {10, 0, false}, {48, 10, false}, {10, 48, false},
                          {1, 1, true},   {47, 47, true}};
    for (const Case& c : cases) {
        gBuilder.actualTile = -1;
        plat::headless::SetWindowMouse(kTileWindow, type.thumbX + c.dx, type.thumbY + c.dy);
        HandleEvent({plat::kEventLeftButton, kTileWindow, 0});
        EXPECT_EQ(gBuilder.actualTile, c.chosen ? rock : -1) << c.dx << "," << c.dy;
    }
    EXPECT_EQ(plat::WindowTitle(kTileWindow), "Tile:" + std::to_string(rock) + "MAP: 1");
    using plat::headless::FindControl;
    EXPECT_EQ(FindControl(kDescriptorWindow, 500)->text, "hp");
    EXPECT_EQ(FindControl(kDescriptorWindow, 1000)->text, "3");
    EXPECT_EQ(FindControl(kDescriptorWindow, 501)->text, "worldFTileTransparency");
    EXPECT_EQ(FindControl(kDescriptorWindow, 501)->background.g, 255);
    EXPECT_EQ(FindControl(kDescriptorWindow, 502)->text, "hp");  // the template's third row stays
    EXPECT_EQ(FindControl(kDescriptorWindow, 502)->background.r, 250);
    // SET_DNA saves the rows for the chosen tile even after a map read selected the last type.
    ReadMapFile("1");
    ASSERT_EQ(gBuilder.actualTile, TypeIndex("wall"));
    const auto wallBefore = ReadLines("GFX/wall.dll");
    plat::SetControlText(kDescriptorWindow, 1000, "9");
    HandleEvent({plat::kEventControl, kDescriptorWindow, 100});
    EXPECT_THAT(ReadLines("GFX/rock.dll"), ::testing::ElementsAreArray(
                                               wf::DescriptorFileLines({{"hp", "9"},
                                                                        {"worldFTileTransparency", "200"},
                                                                        {"hp", "10"},
                                                                        {"postEFFECT", ""}})));
    EXPECT_EQ(ReadLines("GFX/wall.dll"), wallBefore);
    // The next event of the tile window titles it with the map file again; it never redraws the map.
    plat::headless::ClearDraws();
    HandleEvent({plat::kEventResized, kTileWindow, 0});
    EXPECT_EQ(plat::WindowTitle(kTileWindow), "1");
    EXPECT_TRUE(DrawsOf(DrawRecord::kFlip).empty());
}

TEST_F(BuilderScreen, MenuItemsZoomAboutScreenshotAndHide) {
    using plat::kEventMenu;
    plat::headless::ClearDraws();
    HandleEvent({kEventMenu, kTileWindow, 125});
    EXPECT_EQ(gBuilder.zoomX, 0.1f);
    EXPECT_TRUE(DrawsOf(DrawRecord::kFlip).empty());  // drawn at the next main-window event
    HandleEvent({kEventMenu, kTileWindow, 127});
    EXPECT_EQ(gBuilder.zoomY, 1.0f);

    HandleEvent({kEventMenu, kTileWindow, 107});
    ASSERT_FALSE(plat::headless::MessageBoxes().empty());
    EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER MESSAGE:\n");
    EXPECT_THAT(plat::headless::MessageBoxes().back().text,
                ::testing::EndsWith("\nQUENT BUILDER\n* KORVANE *\nDEVELOPER VERSION"));

    // The screenshot is named by the millisecond count.
    plat::headless::SetClock(123456);
    HandleEvent({kEventMenu, kTileWindow, 126});
    ASSERT_TRUE(Exists("123456"));
    plat::Pixels shot;
    ASSERT_TRUE(plat::DecodeImageFile("123456", shot));
    EXPECT_EQ(shot.width, 1279);
    EXPECT_EQ(shot.height, 1023);

    HandleEvent({kEventMenu, kTileWindow, 122});  // "Hide Window"
    EXPECT_EQ(gBuilder.tileWindowHidden, 1);
}

TEST_F(BuilderScreen, BadFilesLeaveTheBuilderRunning) {
    // A corrupt graphic: its type has no sprite; choosing it and clicking places nothing but
    // still writes a snapshot.
    WriteRaw("GFX/broken.png", "\x89PNG\r\n\x1a\n truncated");
    WriteDescriptor("GFX/broken.dll", {{"hp", "1"}});
    // A descriptor with an odd number of lines: the last key has an empty value.
    WriteLines("GFX/rock.dll", {"hp", "4", "worldFTileTransparency"});
    // A map cut off in the middle of a record.
    WriteLines("cut.map", {"0", "0", "TILE", "rock", "0", "10", "20", "32", "16", "1", "TILE", "wall", "0", "5"});
    ReadMapFile("cut.map");
    EXPECT_GE(gBuilder.lastTileIndex, 0);
    EXPECT_EQ(gBuilder.mapTiles[0].name, "rock");
    EXPECT_EQ(gBuilder.tileLibrary[TypeIndex("rock")].descriptor.hp, 4);

    gBuilder.actualTile = TypeIndex("broken");
    gBuilder.rasterMode = 0;
    const int tiles = gBuilder.lastTileIndex;
    using plat::headless::PushEvent;
    plat::headless::SetWindowMouse(kMainWindow, 100, 100);
    plat::headless::SetMouse(100, 100, true, false, 1);
    PushEvent({plat::kEventLeftButton, kMainWindow, 0});
    RunBuilderLoopTurn();
    EXPECT_EQ(gBuilder.lastTileIndex, tiles);
    EXPECT_EQ(gBuilder.undoCounter, 1);
    // "Redraw MAP" writes the map and reads it back: the cut-off record is gone for good.
    PushEvent({plat::kEventMenu, kTileWindow, 115});
    RunBuilderLoopTurn();
    EXPECT_THAT(ReadLines("1"), ::testing::Contains("ENGINETILEINFOEND"));
    EXPECT_TRUE(plat::WindowExists(kMainWindow));
    EXPECT_EQ(gBuilder.quitFlag, 0);
}
