// The overlay of one frame on the headless backend: recorded texts, boxes and pixels.
#include <gtest/gtest.h>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/OUTPUT.h"
#include "engine_fixture.h"
#include "platform/headless.h"

namespace {

using Draw = plat::headless::DrawRecord;

class OverlayTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gSettings.MAXOBJECTS = 3;
        SetUpWorldTables();
        gState.desktopWidth = gState.SCRW = 1280;
        gState.desktopHeight = gState.SCRH = 1024;
        gState.anyTileLoaded = true;
        gState.lastTileIndex = 4;
        gState.frameCount = 40;
    }
    static std::vector<Draw> Drawn(Draw::Kind kind) {
        plat::headless::ClearDraws();
        DrawOverlay();
        std::vector<Draw> out;
        for (const Draw& d : plat::headless::Draws())
            if (d.kind == kind) out.push_back(d);
        return out;
    }
    static std::vector<std::tuple<int, int, std::string>> Texts() {
        std::vector<std::tuple<int, int, std::string>> out;
        for (const Draw& d : Drawn(Draw::kText)) out.emplace_back(d.x, d.y, d.text);
        return out;
    }
};

TEST_F(OverlayTest, StatisticsAndLabelsOfMovingObjectsInPlayOnlyWithTheOverlayOn) {
    gState.frameRateText = "57";
    gState.cellWidth = 32;
    gState.cellHeight = 24.5f;
    gSettings.MATRIXSIZE = -1;  // no grid in this test
    gState.mouseAreaX = 3;
    gState.mouseAreaY = -1;
    gState.scaleX = 1.6f;
    gState.scaleY = 800.0f / 600.0f;
    gSettings.SOURCEWIDTH = 800.5f;  // rounded half to even
    gSettings.SOURCEHEIGHT = 600;
    gState.lastObjectIndex = 2;
    gSettings.MULTITASK = 7;
    gSettings.ANIMSYSTEM = "ANIM/";
    gSettings.MAXANIMFRAMES = 8;
    gSettings.MATRIX_OFFSET_X = 10;
    gSettings.MATRIX_OFFSET_Y = -5;
    gState.mouseX = 20.5f;
    gState.mouseY = 7;
    WorldObject* o = gWorld.objects.data();
    o[0].velo = 0, o[0].state = 1;   // not moving
    o[1].velo = -1, o[1].state = 0;  // out of play
    o[2].velo = 2, o[2].state = -1;  // moving, hidden this frame but in play; the last object
    o[2].x = 100.5f, o[2].y = 40, o[2].tileName = "beetle", o[2].lifeTime = 5, o[2].idString = "BUG";
    o[2].animContainer = "bug", o[2].animCount = {3, 4, 0, 0};
    gWorld.collisionList.count = 0;

    gSettings.APPMODE = 0;
    const std::vector<std::tuple<int, int, std::string>> off = {{1152, 922, "FPS: 57"}};
    EXPECT_EQ(Texts(), off);

    gSettings.APPMODE = 1;
    const std::vector<std::tuple<int, int, std::string>> on = {
        {1152, 922, "FPS: 57"},
        {10, 10, "AREA-H: 24.500000 AREA-W :32.000000 AREAS: -1*-1 AREA X3:Y-1"},
        {10, 24, "AI-COLLSIONOBJECTS -1"},
        {10, 38, "AI-HIT:  + "},
        {10, 52, "SCALER X: 1.600000 SCALER Y: 1.333333"},
        {10, 66, "SRC_SCRW: 800  SRC_SCRH: 600 SCRW: 1280  SCRH: 1024"},
        {10, 80, "ACTUAL SCOPE AT: "},
        {10, 94, "TOTAL ZEFA - KORVANE OBJECTS: 2"},
        {10, 108, "MULTITASK ENGINE DELAY (ms):7"},
        {10, 122, "ANIM_PATH: ANIM/"},
        {10, 136, "MAXANIMFRAMES/OBJECT: 8"},
        {110, 35, "ObjectFile:beetle"},  // 110.5 rounds to even
        {110, 49, "LifeTime:5"},
        {110, 63, "InternalID2"},
        {110, 77, "InternalNameBUG"},
        {110, 91, "MapX:100  MapY:40"},
        {110, 105, "ANIM CONTAINER: bug"},
        {110, 119, "AnimFramesLeft:3"},
        {110, 133, "AnimFramesRight:4"},
    };
    EXPECT_EQ(Texts(), on);

    gWorld.collisionList.count = 5;
    EXPECT_EQ(std::get<2>(Texts()[2]), "AI-COLLSIONOBJECTS 4");
    for (const Draw& d : Drawn(Draw::kText)) EXPECT_EQ(d.colour.g, 200);

    const std::vector<Draw> pixels = Drawn(Draw::kPixel);
    ASSERT_EQ(pixels.size(), 1u);
    EXPECT_EQ(std::make_tuple(pixels[0].x, pixels[0].y, pixels[0].colour.r, pixels[0].colour.b),
              std::make_tuple(20, 7, 255, 255));
}

TEST_F(OverlayTest, GridCellsOnScreenFromTheMinusOneEdge) {
    gSettings.APPMODE = 1;
    gState.bottomBarHeight = 0;
    gState.cellWidth = gState.cellHeight = 20;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) Cell(i, j) = GridCell{20.0f * i, 20.0f * j, 20, 20, 0};
    Cell(1, 0).occupancy = 12;
    struct Case {
        int matrixSize;
        float offsetX, offsetY;
        std::vector<std::tuple<int, int, int>> boxes;  // x, y, red
    };
    const Case cases[] = {
        {1, -21, 0, {{-1, 0, 255}, {-1, 20, 100}}},
        {1, -21.5f, 0, {}},
        {1, 0, -21, {{0, -1, 100}, {20, -1, 100}}},
        {1, 1260, 0, {{1260, 0, 100}, {1260, 20, 100}}},  // the next column starts at the screen width
        {0, 0, 0, {{0, 0, 100}}},
        {-1, 0, 0, {}},
    };
    for (const Case& c : cases) {
        gSettings.MATRIXSIZE = c.matrixSize;
        gSettings.MATRIX_OFFSET_X = c.offsetX;
        gSettings.MATRIX_OFFSET_Y = c.offsetY;
        std::vector<std::tuple<int, int, int>> boxes;
        for (const Draw& d : Drawn(Draw::kBox)) {
            EXPECT_FALSE(d.filled);
            EXPECT_EQ(d.width, 20);
            boxes.emplace_back(d.x, d.y, d.colour.r);
        }
        EXPECT_EQ(boxes, c.boxes) << "MATRIXSIZE " << c.matrixSize << " offset " << c.offsetX << "," << c.offsetY;
    }
}

TEST_F(OverlayTest, NoValidDataScreen) {
    gState.SCRW = 1000;
    gState.SCRH = 700;
    gSettings.SIMCORE = "S/";
    gSettings.APPENTRY = 3;
    gSettings.VERSION = "V1.2";
    struct Case {
        bool anyTileLoaded;
        int8_t noValidData;
        bool shown;
    };
    for (const Case& c : {Case{false, 0, true}, Case{true, 1, true}, Case{true, 0, false}}) {
        gState.anyTileLoaded = c.anyTileLoaded;
        gState.lastTileIndex = 0;  // a single tile kind that loaded is valid data
        gState.noValidData = c.noValidData;
        EXPECT_EQ(Drawn(Draw::kText).size(), c.shown ? 504u : 1u);
    }
    gState.noValidData = 1;
    const std::vector<Draw> texts = Drawn(Draw::kText);
    ASSERT_EQ(texts.size(), 504u);
    for (size_t i = 1; i <= 501; ++i) {
        const Draw& d = texts[i];
        ASSERT_EQ(d.text.size(), 1u);
        EXPECT_LE(static_cast<unsigned char>(d.text[0]), 128);
        EXPECT_TRUE(d.x >= 0 && d.x <= 1000 && d.y >= 0 && d.y <= 700) << d.x << "," << d.y;
        EXPECT_EQ(d.colour.g, 150);
    }
    EXPECT_EQ(texts[502].text,
              "KORVANE_ENGINE  ### WORLD DATA COULD NOT BE LOADED ### ERROR: NO VALID DATA ###  ENGINE VERSION V1.2");
    EXPECT_EQ(std::make_tuple(texts[502].x, texts[502].y, texts[502].colour.g), std::make_tuple(250, 175, 255));
    EXPECT_EQ(texts[503].text, "MISSING CONNECTION TO S/LVL3.dll");
    EXPECT_EQ(std::make_tuple(texts[503].x, texts[503].y), std::make_tuple(250, 192));  // 192.5 to even
    // New noise every frame.
    const std::vector<Draw> next = Drawn(Draw::kText);
    std::vector<std::pair<int, int>> first, second;
    for (size_t i = 1; i <= 501; ++i) {
        first.emplace_back(texts[i].x, texts[i].y);
        second.emplace_back(next[i].x, next[i].y);
    }
    EXPECT_NE(first, second);
}

TEST_F(OverlayTest, BottomBarAndSmoothingSwitch) {
    struct Case {
        float barHeight;
        std::vector<std::tuple<int, int, int, int>> boxes;
    };
    const Case cases[] = {
        {1.0f, {{0, 1023, 1280, 1}}},  // the start value
        {224, {{0, 800, 1280, 224}}},  // letterboxed 4:3 source
        {0, {}},
        {-200, {}},
    };
    for (const Case& c : cases) {
        gState.bottomBarHeight = c.barHeight;
        std::vector<std::tuple<int, int, int, int>> boxes;
        for (const Draw& d : Drawn(Draw::kBox)) {
            EXPECT_TRUE(d.filled);
            EXPECT_EQ(d.colour.r + d.colour.g + d.colour.b, 3);
            boxes.emplace_back(d.x, d.y, d.width, d.height);
        }
        EXPECT_EQ(boxes, c.boxes) << c.barHeight;
    }
    // Smoothing stays on only while the running second has counted 30 frames or more, and is
    // never switched back on.
    gSettings.APPSMOOTH = 1;
    gState.frameCount = 30;
    DrawOverlay();
    EXPECT_EQ(gSettings.APPSMOOTH, 1);
    gState.frameCount = 29;
    DrawOverlay();
    EXPECT_EQ(gSettings.APPSMOOTH, 0);
    gState.frameCount = 60;
    DrawOverlay();
    EXPECT_EQ(gSettings.APPSMOOTH, 0);
}

}  // namespace
