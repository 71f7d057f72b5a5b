// Export and import are inverses: a map written as a Tiled map and imported into a new world
// comes back as the same map file, byte for byte, for the demo map and for maps that stress the
// layer order, geneseID records, odd sizes, stale library indices and types without a graphic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "temp_dir.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"
#include "worldfiles/mapfile.h"
#include "worldfiles/tiled_read.h"
#include "worldfiles/tiled_write.h"

namespace {

std::string CrLfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

class TiledRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Valid());
        // The demo's tile directory, with one type more whose descriptor names a geneseID.
        gfx = dir.File("world/GFX/");
        ASSERT_TRUE(plat::MakeDirectories(dir.File("world")));
        ASSERT_TRUE(plat::CopyDirectoryTree(std::string(TEST_SOURCE_DIR) + "/demo/GFX", dir.File("world/GFX")));
        std::vector<wf::DescriptorRow> rows;
        wf::ReadLinePairs(gfx + "crate.dll", [&rows](const std::string& key, const std::string& value) {
            if (key.find(';') == std::string::npos) rows.emplace_back(key, key == "geneseID" ? "crate" : value);
        });
        ASSERT_TRUE(wf::WriteDescriptorFile(gfx + "spawner.dll", rows));
        wftest::WriteBytes(gfx + "spawner.png", wftest::ReadBytes(gfx + "crate.png"));
        ASSERT_TRUE(plat::FileExists(gfx + "spawner.png"));
        world.tileDirectory = gfx;
        world.graphicsExtension = ".png";
        world.gridSize = 32;
    }

    // Exports `lines`, imports the result into a new world and gives back its area 0 map file.
    std::string RoundTrip(const std::vector<std::string>& lines, const std::string& name) {
        const std::string tmx = dir.File(name + ".tmx");
        const wf::TiledExportResult exported = wf::ExportTiledMap(world, lines, tmx);
        EXPECT_TRUE(exported.written) << exported.problem;
        std::vector<std::string> notes;
        std::string problem;
        const std::string imported = dir.File(name + "-world");
        EXPECT_TRUE(wf::ImportTiledWorld(tmx, imported, notes, problem)) << problem;
        return wftest::ReadBytes(imported + "/MAPS/LVL0.dll");
    }

    // The library index the builder gives `name` in this tile directory.
    int IndexOf(const std::string& name) {
        const std::vector<std::string> names = wf::TileDirectoryNames(gfx, ".png");
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) return static_cast<int>(i);
        }
        return -1;
    }

    wf::MapFileTile Tile(const std::string& name, float x, float y, float w, float h, int layer, int index = -2) {
        return {name, index == -2 ? IndexOf(name) : index, x, y, w, h, layer, true, name == "spawner"};
    }

    wftest::TempDir dir;
    std::string gfx;
    wf::TiledExportWorld world;
};

TEST_F(TiledRoundTrip, TheDemoMapComesBackByteForByte) {
    std::vector<std::string> lines;
    ASSERT_TRUE(plat::ReadAllLines(std::string(TEST_SOURCE_DIR) + "/demo/1", lines));
    // The demo's map was written by the builder: reading and writing it changes nothing.
    const std::string original = wftest::ReadBytes(std::string(TEST_SOURCE_DIR) + "/demo/1");
    ASSERT_EQ(CrLfText(lines), original);
    EXPECT_EQ(RoundTrip(lines, "demo"), original);
}

TEST_F(TiledRoundTrip, EdgeMapsComeBackByteForByte) {
    struct Case {
        const char* name;
        std::vector<wf::MapFileTile> tiles;
    };
    const Case cases[] = {
        {"layers-out-of-order",
         {Tile("wall", 0, 0, 64, 64, 3), Tile("floor", 64, 0, 128, 128, 0), Tile("crate", 10, 10, 64, 64, 1),
          Tile("wall", 5, 5, 64, 64, 0), Tile("lamp", 7, 7, 32, 32, 2), Tile("crate", 20, 20, 64, 64, 3)}},
        {"genese-last",
         {Tile("crate", 0, 0, 64, 64, 1), Tile("spawner", 64, 0, 64, 64, 1), Tile("wall", 0, 64, 64, 64, 2)}},
        {"odd-sizes",
         {Tile("wall", 0, 0, 1, 333, 1), Tile("floor", -40, -7, 129, 3, 0), Tile("crate", 1001, 17, 0, 0, 2),
          Tile("lamp", 3, 5, 7, 11, 8)}},
        {"high-layers", {Tile("wall", 0, 0, 64, 64, 9), Tile("crate", 0, 0, 64, 64, 12), Tile("lamp", 1, 1, 32, 32, 0)}},
        {"stale-library-indices", {Tile("wall", 0, 0, 64, 64, 1, 3), Tile("crate", 64, 0, 64, 64, 1, 0)}},
        {"missing-type", {Tile("wall", 0, 0, 64, 64, 1), Tile("vanished", 64, 0, 48, 48, 1, 7), Tile("vanished", 9, 9, 8, 8, 2, 7)}},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> lines = wf::MapFileLines(c.tiles);
        EXPECT_EQ(RoundTrip(lines, c.name), CrLfText(lines));
    }
}

}  // namespace
