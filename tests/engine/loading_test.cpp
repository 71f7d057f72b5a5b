// Tile library and area loading on the headless backend with real files.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine_fixture.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "worldfiles/mapfile.h"

namespace {

struct Placed {
    std::string name;
    float x, y, width, height;
    int layer;
};

class LoadingTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gSettings.GFX = "GFX/";
        gSettings.GFXCODEC = ".png";
        gSettings.SIMCORE = "MAPS/";
        gSettings.SOUNDPATH = "SND/";
        gSettings.SOUNDCODEC = ".wav";
        gSettings.WARNINGS = "warn.log";
        gSettings.ANIMSYSTEM = "ANIM/";
        gSettings.MAXOBJECTS = 100;
        gSettings.SOURCEWIDTH = 1280;
        gSettings.SOURCEHEIGHT = 1024;
        OpenScreen(1280, 1024);
    }
    void OpenScreen(int width, int height) {
        plat::headless::SetDesktop(width, height, 32);
        ASSERT_TRUE(plat::OpenScreen(width, height, 32, "KORVANE"));
        gState.SCRW = static_cast<float>(width);
        gState.SCRH = static_cast<float>(height);
        gState.screenOpen = 1;
    }
    void AddTile(const std::string& name, std::vector<std::string> descriptor = {"worldFTileTransparency", "255"}) {
        WritePng("GFX/" + name + ".png", 16, 8, 50, 60, 70);
        WriteLines("GFX/" + name + ".dll", descriptor);
    }
    void WriteMap(const std::vector<Placed>& tiles, int area = 0) {
        std::vector<std::string> lines = {"0", "0"};
        for (const Placed& t : tiles) {
            for (const std::string& l :
                 {std::string("TILE"), t.name, std::string("0"), Num(t.x), Num(t.y), Num(t.width), Num(t.height),
                  std::to_string(t.layer)}) {
                lines.push_back(l);
            }
        }
        lines.push_back("ENGINETILEINFOEND");
        WriteLines("MAPS/LVL" + std::to_string(area) + ".dll", lines);
    }
    static std::string Num(float v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (!s.empty() && s.back() == '.') s.pop_back();
        return s;
    }
    void Start() {
        LoadTileLibrary();
        SetUpWorldTables();
    }
    const WorldObject& Object(int i) { return gWorld.objects.at(i); }
    static size_t Count(const std::string& text, const std::string& part) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
        return count;
    }
};

TEST_F(LoadingTest, TileLibraryNamesAreCutBeforeTheExtension) {
    WritePng("GFX/b.png", 4, 4, 1, 2, 3);
    WritePng("GFX/a.png", 4, 6, 1, 2, 3);
    WritePng("GFX/c.png.bak", 4, 4, 1, 2, 3);  // named "c", loads c.png, which is missing
    WriteRaw("GFX/readme.txt", "not a tile");
    LoadTileLibrary();
    ASSERT_EQ(gWorld.tiles.size(), 3u);
    EXPECT_EQ(gWorld.tiles[0].name, "a");
    EXPECT_EQ(gWorld.tiles[1].name, "b");
    EXPECT_EQ(gWorld.tiles[2].name, "c");
    EXPECT_TRUE(gWorld.tiles[0].sprite.Valid());
    EXPECT_FLOAT_EQ(gWorld.tiles[0].height, 6.0f);
    EXPECT_FALSE(gWorld.tiles[2].sprite.Valid());
    EXPECT_EQ(gState.lastTileIndex, 1);  // the highest index whose graphic loaded
}

TEST_F(LoadingTest, TileGraphicsGetWhiteTransparentAndTheirDescriptor) {
    WritePng("GFX/w.png", 2, 2, 255, 255, 255);
    WriteLines("GFX/w.dll", {"worldFTileTransparency", "128", "worldFTileIDString", "WALL"});
    LoadTileLibrary();
    ASSERT_EQ(gWorld.tiles.size(), 1u);
    EXPECT_EQ(gWorld.tiles[0].descriptor.worldFTileIDString, "WALL");
    EXPECT_FLOAT_EQ(gWorld.tiles[0].descriptor.worldFTileTransparency, 128.0f);
    EXPECT_EQ(gWorld.tiles[0].descriptor.tileName, "w");
    EXPECT_EQ(gWorld.tiles[0].descriptor.descriptorPath, "GFX/w.dll");
    const plat::Image grabbedBack = gWorld.tiles[0].sprite;
    EXPECT_EQ(plat::headless::ImagePath(grabbedBack), "GFX/w.png");
}

TEST_F(LoadingTest, ObjectsAreCreatedLayerByLayerInFileOrder) {
    AddTile("a");
    AddTile("b");
    Start();
    WriteMap({{"a", 0, 0, 16, 8, 3}, {"b", 10, 0, 16, 8, 0}, {"a", 20, 0, 16, 8, 12}, {"b", 30, 0, 16, 8, 3},
              {"a", 40, 0, 16, 8, 0}, {"b", 50, 0, 16, 8, -1}});
    LoadMap(MapFileName(0));
    ASSERT_EQ(gState.lastObjectIndex, 3);
    const float expectedX[] = {10, 40, 0, 30};
    const int expectedLayer[] = {0, 0, 3, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(Object(i).x + gSettings.MATRIX_OFFSET_X, expectedX[i]) << i;
        EXPECT_EQ(Object(i).layer, expectedLayer[i]) << i;
        EXPECT_EQ(Object(i).state, 1);
    }
    EXPECT_EQ(gState.highestLayer, 3);
    EXPECT_EQ(Object(4).state, 0);  // nothing beyond the last index
}

TEST_F(LoadingTest, ObjectCountersForNoneOneAndMany) {
    AddTile("a");
    Start();
    WriteMap({});
    LoadMap(MapFileName(0));
    EXPECT_EQ(gState.lastObjectIndex, 0);
    EXPECT_EQ(Object(0).state, 0);  // slot 0 holds no created object

    WriteMap({{"a", 0, 0, 16, 8, 0}});
    LoadMap(MapFileName(0));
    EXPECT_EQ(gState.lastObjectIndex, 0);
    EXPECT_EQ(Object(0).state, 1);

    std::vector<Placed> many;
    for (int i = 0; i < 25; ++i) many.push_back({"a", float(i), 0, 16, 8, i % 9});
    WriteMap(many);
    LoadMap(MapFileName(0));
    EXPECT_EQ(gState.lastObjectIndex, 24);
}

TEST_F(LoadingTest, ReloadingLeavesNoStaleObjectsOrDrawables) {
    AddTile("a");
    Start();
    std::vector<Placed> many(5, Placed{"a", 1, 2, 16, 8, 0});
    WriteMap(many);
    LoadMap(MapFileName(0));
    const int drawablesAfterFirst = plat::headless::LiveDrawables();
    EXPECT_EQ(drawablesAfterFirst, 5);
    WriteMap({});
    LoadMap(MapFileName(0));
    EXPECT_EQ(plat::headless::LiveDrawables(), 0);
    EXPECT_EQ(Object(0).state, 0);
    EXPECT_EQ(Object(4).state, 0);
}

TEST_F(LoadingTest, UnknownNamesTakeTheLastLoadedTile) {
    AddTile("a");
    AddTile("b");
    Start();
    WriteMap({{"zzz", 0, 0, 16, 8, 0}, {"a", 0, 0, 16, 8, 0}, {"A", 0, 0, 16, 8, 0}});
    LoadMap(MapFileName(0));
    EXPECT_EQ(Object(0).tileName, "b");
    EXPECT_EQ(Object(1).tileName, "a");
    EXPECT_EQ(Object(2).tileName, "b");  // names are case-sensitive
}

TEST_F(LoadingTest, NoLoadedTileMeansNoObjects) {
    WriteRaw("GFX/broken.png", "not an image at all");
    Start();
    WriteMap({{"broken", 0, 0, 16, 8, 0}, {"x", 0, 0, 16, 8, 0}});
    LoadMap(MapFileName(0));
    EXPECT_EQ(gState.lastObjectIndex, 0);
    EXPECT_EQ(Object(0).state, 0);
}

TEST_F(LoadingTest, EqualAspectRatiosScaleBothAxesPlainly) {
    AddTile("a", {"worldFTileTransparency", "255", "worldFTileVELO", "2"});
    gSettings.SOURCEWIDTH = 640;
    gSettings.SOURCEHEIGHT = 512;
    Start();
    WriteMap({{"a", 10.2f, 20, 16.5f, 8, 0}});
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gState.scaleX, 2.0f);
    EXPECT_FLOAT_EQ(gState.scaleY, 2.0f);
    EXPECT_FLOAT_EQ(gState.bottomBarHeight, 1.0f);
    // The only object is the view origin: its scaled position moved into the world offset.
    const WorldObject& o = Object(0);
    EXPECT_FLOAT_EQ(o.x, 0.0f);
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_X, 21.0f);  // ceiling(20.4)
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_Y, 40.0f);
    EXPECT_FLOAT_EQ(o.width, 33.0f);
    EXPECT_FLOAT_EQ(o.height, 16.0f);
    EXPECT_FLOAT_EQ(o.startX, 21.0f);
    EXPECT_FLOAT_EQ(o.sourceX, 10.2f);
    EXPECT_FLOAT_EQ(o.speedH, 4.0f);
    EXPECT_FLOAT_EQ(o.speedV, 4.0f);
    EXPECT_FLOAT_EQ(o.velo, 2.0f);
}

TEST_F(LoadingTest, FourByThreeSourceOnAFiveByFourScreenGetsTheBand) {
    AddTile("a", {"worldFTileTransparency", "255", "worldFTileVELO", "3"});
    gSettings.SOURCEWIDTH = 800;
    gSettings.SOURCEHEIGHT = 600;
    Start();
    WriteMap({{"a", 100, 300, 50, 60, 0}});
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gState.scaleX, 1.6f);
    EXPECT_FLOAT_EQ(gState.scaleY, 800.0f / 600.0f);
    EXPECT_FLOAT_EQ(gState.bottomBarHeight, 224.0f);
    const WorldObject& o = Object(0);
    EXPECT_FLOAT_EQ(o.startX, 160.0f);
    EXPECT_FLOAT_EQ(o.startY, 400.0f);
    EXPECT_FLOAT_EQ(o.width, 80.0f);
    EXPECT_FLOAT_EQ(o.height, 80.0f);
    EXPECT_FLOAT_EQ(o.speedH, 3 * 1.6f);
    EXPECT_FLOAT_EQ(o.velo, 3 * (1.6f / (800.0f / 600.0f)));
}

TEST_F(LoadingTest, UnlistedRatioAlsoCorrectsByTheRatioDifference) {
    AddTile("a");
    gSettings.SOURCEWIDTH = 1000;
    gSettings.SOURCEHEIGHT = 500;  // ratio 2.00
    Start();
    WriteMap({{"a", 0, 0, 10, 10, 0}});
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gState.scaleY, 800.0f / 500.0f - (1.25f - 2.0f));
    EXPECT_FLOAT_EQ(gState.bottomBarHeight, 500.0f - 1024.0f);
}

TEST_F(LoadingTest, MapStartBecomesTheViewOrigin) {
    AddTile("a");
    AddTile("start", {"worldFTileIDString", "MAPSTART"});
    Start();
    WriteMap({{"a", 10, 10, 16, 8, 0}, {"start", 300, 200, 16, 8, 1}, {"start", 5, 5, 16, 8, 2}});
    WriteLines("MAPS/LVL0.dll", [] {
        std::vector<std::string> l = {"77", "88"};
        for (auto& r : std::vector<std::vector<std::string>>{{"TILE", "a", "0", "10", "10", "16", "8", "0"},
                                                             {"TILE", "start", "0", "300", "200", "16", "8", "1"},
                                                             {"TILE", "start", "0", "5", "5", "16", "8", "2"}})
            l.insert(l.end(), r.begin(), r.end());
        l.push_back("ENGINETILEINFOEND");
        return l;
    }());
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_X, 300.0f);  // the first MAPSTART, not the map's 77
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_Y, 200.0f);
    EXPECT_FLOAT_EQ(Object(1).x, 0.0f);
    EXPECT_FLOAT_EQ(Object(1).y, 0.0f);
    EXPECT_FLOAT_EQ(Object(0).x, -290.0f);
    EXPECT_FLOAT_EQ(Object(2).y, -195.0f);
}

TEST_F(LoadingTest, WithoutMapStartObjectZeroIsTheOrigin) {
    AddTile("a");
    Start();
    WriteMap({{"a", 40, 30, 16, 8, 0}, {"a", 50, 30, 16, 8, 0}});
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_X, 40.0f);
    EXPECT_FLOAT_EQ(Object(1).x, 10.0f);
}

TEST_F(LoadingTest, AnimationFramesCountToTheHighestLoadedFrame) {
    AddTile("hero", {"worldFTileTransparency", "255", "animContainer", "hero"});
    AddTile("still", {"worldFTileTransparency", "255", "animContainer", "NOPE"});
    for (int k : {1, 2, 4}) WritePng("ANIM/hero/LEFT/" + std::to_string(k) + ".png", 8, 4, 9, 9, 9);
    WritePng("ANIM/hero/DOWN/1.png", 8, 4, 9, 9, 9);
    gSettings.MAXANIMFRAMES = 40;  // more than a folder holds: frames 1..31 are tried
    WritePng("ANIM/hero/UP/31.png", 8, 4, 9, 9, 9);
    WritePng("ANIM/hero/UP/32.png", 8, 4, 9, 9, 9);
    gSettings.SOURCEWIDTH = 640;
    gSettings.SOURCEHEIGHT = 512;
    Start();
    WriteMap({{"hero", 0, 0, 8, 4, 0}, {"hero", 0, 0, 8, 4, 0}, {"still", 0, 0, 8, 4, 0}});
    const int loadsBefore = plat::headless::ImageLoads();
    LoadMap(MapFileName(0));
    const WorldObject& hero = Object(0);
    EXPECT_EQ(hero.animFrame, 1);
    EXPECT_EQ(hero.animCount[0], 4);  // LEFT: 1, 2 and 4 present
    EXPECT_FALSE(AnimationSlot(hero, 0, 3).drawable.Valid());
    EXPECT_TRUE(AnimationSlot(hero, 0, 4).drawable.Valid());
    EXPECT_EQ(hero.animCount[1], 0);  // RIGHT: none
    EXPECT_EQ(hero.animCount[2], 31); // UP: 31 is the last slot tried
    EXPECT_EQ(hero.animCount[3], 1);
    EXPECT_FALSE(AnimationSlot(hero, 0, 0).drawable.Valid());
    EXPECT_EQ(Object(2).animCount[0], 0);
    EXPECT_EQ(Object(2).animFrame, 0);
    // Only the slots up to each folder's last frame are kept: 4 + 31 + 1 per hero.
    EXPECT_EQ(gWorld.animationFrames.size(), 2u * (4 + 31 + 1));
    EXPECT_TRUE(AnimationSlot(hero, 2, 31).drawable.Valid());
    EXPECT_FALSE(AnimationSlot(hero, 0, 5).image.Valid());
    // Both heroes share each decoded frame image but own their drawables.
    EXPECT_EQ(AnimationSlot(Object(1), 0, 1).image.id, AnimationSlot(hero, 0, 1).image.id);
    EXPECT_NE(AnimationSlot(Object(1), 0, 1).drawable.id, AnimationSlot(hero, 0, 1).drawable.id);
    EXPECT_EQ(plat::headless::ImageLoads() - loadsBefore, 4 * 31);  // every path tried once per load
    // Frames are zoomed by the screen scale (2x here).
    plat::headless::ClearDraws();
    plat::DrawDrawable(AnimationSlot(hero, 0, 2).drawable, 0, 0, 255);
    ASSERT_FALSE(plat::headless::Draws().empty());
    EXPECT_EQ(plat::headless::Draws().back().width, 16);
    EXPECT_EQ(plat::headless::Draws().back().height, 8);
}

TEST_F(LoadingTest, AreaGridRectanglesAndOccupancy) {
    AddTile("block", {"worldFTileTransparency", "255", "worldFTileCollision", "12"});
    AddTile("soft", {"worldFTileTransparency", "255", "worldFTileCollision", "9"});
    gSettings.GRIDSIZE = 10;
    gSettings.MATRIXSIZE = 4;
    gSettings.SOURCEWIDTH = 640;
    gSettings.SOURCEHEIGHT = 512;
    Start();
    WriteMap({{"block", 0, 0, 10, 10, 0}, {"soft", 40, 40, 10, 10, 0}});
    LoadMap(MapFileName(0));
    EXPECT_FLOAT_EQ(gState.cellWidth, 20.0f);
    EXPECT_FLOAT_EQ(gState.cellHeight, 20.0f);
    EXPECT_FLOAT_EQ(Cell(3, 2).x, 60.0f);
    EXPECT_FLOAT_EQ(Cell(3, 2).y, 40.0f);
    EXPECT_FLOAT_EQ(Cell(3, 2).width, 20.0f);
    EXPECT_FLOAT_EQ(Cell(5, 5).width, 0.0f);  // beyond MATRIXSIZE: no rectangle
    // The block covers (0,0)-(20,20): corners (0,0), (20,0), (0,20) mark cells (0,0), (1,0), (0,1).
    EXPECT_EQ(Cell(0, 0).occupancy, 12);
    EXPECT_EQ(Cell(1, 0).occupancy, 12);
    EXPECT_EQ(Cell(0, 1).occupancy, 12);
    EXPECT_EQ(Cell(1, 1).occupancy, 0);
    EXPECT_EQ(Cell(4, 4).occupancy, 0);  // collision 9 marks nothing
}

TEST_F(LoadingTest, MissingMapRaisesTheNoValidDataFlag) {
    AddTile("a");
    Start();
    LoadMap(MapFileName(5));
    EXPECT_EQ(gState.noValidData, 1);
    EXPECT_EQ(gState.lastObjectIndex, 0);
}

TEST_F(LoadingTest, AChangedMapFileIsLoadedAnewAndOneThatDoesNotLoadLeavesTheWorld) {
    AddTile("a");
    AddTile("b");
    Start();
    WriteMap({{"a", 0, 0, 16, 8, 0}});
    const std::string path = MapFileName(0);
    LoadArea();
    ASSERT_EQ(gState.lastObjectIndex, 0);
    ASSERT_EQ(Object(0).tileName, "a");
    // Every change gets a later modification time, however fast the test writes.
    auto touched = std::filesystem::last_write_time(path);
    const auto changeTime = [&] {
        touched += std::chrono::seconds(1);
        std::filesystem::last_write_time(path, touched);
    };
    const auto names = [] {
        std::vector<std::string> out;
        for (int i = 0; i <= gState.lastObjectIndex; ++i) out.push_back(gWorld.objects[i].tileName);
        return out;
    };

    ReloadChangedMap();  // looked at now; unchanged
    WriteMap({{"b", 0, 0, 16, 8, 0}, {"a", 32, 0, 16, 8, 1}});
    changeTime();
    ReloadChangedMap();  // within 250 ms of the last look: not looked at
    EXPECT_EQ(names(), std::vector<std::string>{"a"});
    plat::headless::AdvanceClock(250);
    ReloadChangedMap();
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "a"}));
    EXPECT_FLOAT_EQ(Object(1).x, 32.0f);
    EXPECT_EQ(gState.loadedArea, 0);
    const std::string secondLog = ReadRaw("warn.log");
    EXPECT_EQ(Count(secondLog, "COULD NOT FIND SOUND:"), 2u);  // the same steps as entering the area
    EXPECT_EQ(Count(secondLog, "MAP FILE CHANGED"), 0u);

    // A cut-off map, then no map at all: the world stays, one warning per change.
    const std::string warning = "\r\nMAP FILE CHANGED BUT DOES NOT LOAD, THE AREA RUNS ON UNCHANGED:" + path + "\r\n";
    WriteLines(path, {"0", "0", "TILE", "b", "0", "0", "0"});
    changeTime();
    plat::headless::AdvanceClock(250);
    ReloadChangedMap();
    plat::headless::AdvanceClock(250);
    ReloadChangedMap();
    std::filesystem::remove(path);
    plat::headless::AdvanceClock(250);
    ReloadChangedMap();
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(gState.noValidData, 0);
    const std::string log = ReadRaw("warn.log");
    ASSERT_EQ(log.substr(0, secondLog.size()), secondLog);
    EXPECT_EQ(Count(log.substr(secondLog.size()), warning), 2u) << log;

    // The map back in one piece: loaded again.
    WriteMap({{"a", 0, 0, 16, 8, 0}});
    plat::headless::AdvanceClock(250);
    ReloadChangedMap();
    EXPECT_EQ(names(), std::vector<std::string>{"a"});
}

TEST_F(LoadingTest, AreaSoundLoopsOrIsReportedMissing) {
    AddTile("a");
    Start();
    WriteMap({{"a", 0, 0, 16, 8, 0}}, 3);
    gState.requestedArea = 3;
    LoadArea();
    EXPECT_EQ(gState.loadedArea, 3);
    EXPECT_FALSE(gState.currentSound.Valid());
    const std::string log = ReadRaw("warn.log");
    EXPECT_NE(log.find("\r\nCOULD NOT FIND SOUND:SND/#L3.wav\r\n"), std::string::npos) << log;

    WriteRaw("SND/#L3.wav", "RIFF");
    LoadArea();
    ASSERT_TRUE(gState.currentSound.Valid());
    const auto& sounds = plat::headless::Sounds();
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(sounds.back().path, "SND/#L3.wav");
    EXPECT_TRUE(sounds.back().playing);
    EXPECT_EQ(ReadRaw("warn.log"), log);  // no second warning

    // Loading again replaces the sound: the old one is stopped and freed.
    LoadArea();
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_TRUE(sounds[sounds.size() - 2].freed);
    EXPECT_TRUE(sounds.back().playing);
}

TEST_F(LoadingTest, ObjectLimitStopsCreationWithOneWarning) {
    AddTile("a");
    gSettings.MAXOBJECTS = 2;  // three entries
    Start();
    WriteMap(std::vector<Placed>(5, Placed{"a", 0, 0, 16, 8, 0}));
    LoadMap(MapFileName(0));
    EXPECT_EQ(gState.lastObjectIndex, 2);
    const std::string log = ReadRaw("warn.log");
    EXPECT_NE(log.find("MAPS/LVL0.dll"), std::string::npos);
    EXPECT_NE(log.find("MAXOBJECTS:2"), std::string::npos);
    EXPECT_EQ(log.find("KORVANE WARNING:DATE:"), log.rfind("KORVANE WARNING:DATE:"));  // one entry
}

TEST_F(LoadingTest, DescriptorValuesReachTheObjectAndItsTemplate) {
    AddTile("bullet", {"worldFTileTransparency", "127.6", "worldFTileCollision", "1", "worldFTileIDString", "DEMOBULLET",
                       "worldFTileHideOnStart", "1", "worldFTileFlire", "3", "worldFTileUseJoyStick", "257",
                       "worldFTileMoveH", "-1", "postEFFECT", "5x2", "worldFTileLifeTime", "4"});
    AddTile("ghost", {"worldFTileTransparency", "200", "worldFTileHideOnStart", "2", "worldFTileCollision", "2"});
    // Another kind of the same name: the first object of a name keeps the template.
    AddTile("rocket", {"worldFTileTransparency", "90", "worldFTileIDString", "DEMOBULLET", "worldFTileCollision", "2"});
    Start();
    WriteMap({{"bullet", 0, 0, 16, 8, 0}, {"ghost", 0, 0, 16, 8, 0}, {"bullet", 0, 0, 16, 8, 1}, {"rocket", 0, 0, 16, 8, 1}});
    LoadMap(MapFileName(0));
    const WorldObject& b = Object(0);
    EXPECT_EQ(b.state, 0);  // hidden on start
    EXPECT_FLOAT_EQ(b.alpha, 127.6f);
    EXPECT_EQ(b.baseAlpha, 128);
    EXPECT_FLOAT_EQ(b.flicker, 3.0f);
    EXPECT_EQ(b.useJoyStick, 1);
    EXPECT_FLOAT_EQ(b.moveH, -1.0f);
    EXPECT_EQ(b.postEffect, "5x2");
    EXPECT_EQ(b.stepH, 1);
    ASSERT_EQ(gWorld.templates.count("DEMOBULLET"), 1u);
    const ObjectTemplate& bulletTemplate = gWorld.templates.at("DEMOBULLET");
    EXPECT_EQ(bulletTemplate.state, 1);  // taken before hiding
    EXPECT_EQ(bulletTemplate.opacity, 128);
    EXPECT_EQ(bulletTemplate.idString, "DEMOBULLET");
    EXPECT_EQ(bulletTemplate.lifeTime, 4);
    const WorldObject& g = Object(1);
    EXPECT_EQ(g.state, 1);
    EXPECT_FLOAT_EQ(g.alpha, 0.0f);
    ASSERT_EQ(gWorld.templates.count(g.idString), 1u);
    EXPECT_EQ(gWorld.templates.at(g.idString).opacity, 200);
    // Only collision 1 enters the collision list.
    EXPECT_EQ(gWorld.collisionList.count, 2);
    EXPECT_EQ(gWorld.collisionList.entries[0], 0);
    EXPECT_EQ(gWorld.collisionList.entries[1], 2);
}

}  // namespace

namespace {

// Each record's tile name resolves as the library lookup says, however often a name repeats:
// a known name to its kind, an unknown one to the last loaded kind; a later load sees the
// library as it is then.
TEST_F(LoadingTest, RepeatedAndUnknownTileNamesResolveLikeTheLibraryLookup) {
    AddTile("a");
    AddTile("b");
    AddTile("c");
    Start();
    const char* names[] = {"b", "zz", "a", "b", "zz", "c", "a", "b"};
    std::vector<Placed> tiles;
    for (int i = 0; i < 8; ++i) tiles.push_back({names[i], static_cast<float>(i * 20), 0, 16, 8, 0});
    WriteMap(tiles);
    LoadMap(MapFileName(0));
    ASSERT_EQ(gState.lastObjectIndex, 7);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Object(i).tileName, gWorld.tiles[FindTile(names[i])].name) << i;
    }
    EXPECT_EQ(Object(1).tileName, "c");

    gWorld.tiles[0].name = "q";  // the library changes between loads: "a" is unknown now
    LoadMap(MapFileName(0));
    EXPECT_EQ(Object(0).tileName, "b");
    EXPECT_EQ(Object(2).tileName, "c");
    EXPECT_EQ(Object(6).tileName, "c");
}

}  // namespace

// --map: the start area plays the given file; other areas and the area sound keep their names.
TEST_F(LoadingTest, AMapFromTheCommandLineReplacesOnlyTheStartAreasMap) {
    AddTile("a");
    Start();
    WriteMap({{"a", 0, 0, 16, 8, 0}}, 2);
    WriteMap({{"a", 0, 0, 16, 8, 0}, {"a", 40, 0, 16, 8, 0}, {"a", 80, 0, 16, 8, 0}}, 7);
    std::filesystem::rename("MAPS/LVL7.dll", "try.dll");
    gSettings.APPENTRY = 2;
    gState.startMapFile = "try.dll";
    EXPECT_EQ(MapFileName(2), "try.dll");
    EXPECT_EQ(MapFileName(3), "MAPS/LVL3.dll");
    EXPECT_EQ(AreaSoundName(2), "SND/#L2.wav");
    gState.requestedArea = 2;
    LoadArea();
    EXPECT_EQ(gState.lastObjectIndex, 2);
    EXPECT_EQ(Object(2).x, 80);

    gState.startMapFile = "";
    LoadArea();
    EXPECT_EQ(gState.lastObjectIndex, 0);
}
