// The in-memory map loading gives the same world as reading the map file line by line once per
// layer pass, and decodes each tile and frame file once per area load.
#include <gtest/gtest.h>

#include <random>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine_fixture.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "worldfiles/convert.h"

namespace {

struct Expected {
    std::string tileName;
    float x, y, width, height;
    int layer;
};

// The plain reading: nine passes, each opening the file and reading it line by line.
std::vector<Expected> ReadPlainly(const std::string& path, const std::vector<std::string>& tileNames) {
    std::vector<Expected> out;
    for (int pass = 0; pass <= 8; ++pass) {
        plat::TextFile file = plat::OpenRead(path);
        plat::ReadLine(file);
        plat::ReadLine(file);
        while (!plat::AtEnd(file)) {
            if (plat::ReadLine(file) == "ENGINETILEINFOEND") break;
            std::string f[7];
            for (std::string& line : f) line = plat::ReadLine(file);
            if (wf::ParseInt(f[6]) != pass) continue;
            std::string name = tileNames.back();
            for (const std::string& known : tileNames) {
                if (known == f[0]) {
                    name = known;
                    break;
                }
            }
            out.push_back({name, wf::ParseFloat(f[2]), wf::ParseFloat(f[3]), wf::ParseFloat(f[4]),
                           wf::ParseFloat(f[5]), pass});
        }
        plat::Close(file);
    }
    return out;
}

using LoadEquivalenceTest = EngineTest;

TEST_F(LoadEquivalenceTest, SameObjectsAsThePlainNinePassReading) {
    const std::vector<std::string> names = {"grass", "rock", "tree", "water"};
    for (const std::string& name : names) {
        WritePng("GFX/" + name + ".png", 8, 8, 40, 80, 120);
        WriteLines("GFX/" + name + ".dll", {"worldFTileTransparency", "255"});
    }
    std::mt19937 random(7);
    std::vector<std::string> lines = {"12", "-4"};
    for (int i = 0; i < 600; ++i) {
        const int pick = static_cast<int>(random() % 6);
        const std::string name = pick < 4 ? names[pick] : (pick == 4 ? "unknown" : "Rock");
        const int layer = static_cast<int>(random() % 12) - 1;  // -1..10: some are never built
        lines.insert(lines.end(), {"TILE", name, std::to_string(pick), std::to_string(random() % 2000) + ".25",
                                   std::to_string(random() % 1500), std::to_string(1 + random() % 90) + ".5",
                                   std::to_string(1 + random() % 90), std::to_string(layer)});
    }
    lines.push_back("ENGINETILEINFOEND");
    lines.insert(lines.end(), {"TILE", "rock", "0", "1", "1", "1", "1", "0"});  // after the end marker
    WriteLines("MAPS/LVL0.dll", lines);

    gSettings.GFX = "GFX/";
    gSettings.GFXCODEC = ".png";
    gSettings.SIMCORE = "MAPS/";
    gSettings.MAXOBJECTS = 1000;
    gSettings.SOURCEWIDTH = 1280;
    gSettings.SOURCEHEIGHT = 1024;
    ASSERT_TRUE(plat::OpenScreen(1280, 1024, 32, "KORVANE"));
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    LoadTileLibrary();
    SetUpWorldTables();
    const int decodesBefore = plat::headless::ImageLoads();
    LoadMap("MAPS/LVL0.dll");
    EXPECT_EQ(plat::headless::ImageLoads(), decodesBefore);  // tile graphics are shared, not decoded again

    const std::vector<Expected> expected = ReadPlainly("MAPS/LVL0.dll", names);
    ASSERT_EQ(gState.lastObjectIndex + 1, static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const WorldObject& o = gWorld.objects[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(o.tileName, expected[i].tileName);
        EXPECT_FLOAT_EQ(o.x + gSettings.MATRIX_OFFSET_X, std::ceil(expected[i].x));
        EXPECT_FLOAT_EQ(o.y + gSettings.MATRIX_OFFSET_Y, std::ceil(expected[i].y));
        EXPECT_FLOAT_EQ(o.width, std::ceil(expected[i].width));
        EXPECT_FLOAT_EQ(o.height, std::ceil(expected[i].height));
        EXPECT_EQ(o.layer, expected[i].layer);
    }
}

}  // namespace
