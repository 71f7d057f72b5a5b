// Shared set-up of the map builder tests: a fresh temporary start directory holding a small
// world (configuration chain, default descriptor, tile graphics with descriptors), the headless
// backend reset and the builder's records at their start values.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/BUILDERENV.h"
#include "platform/fault.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "tests/support/temp_world_test.h"
#include "worldfiles/descriptor.h"

class BuilderTest : public TempWorldTest {
public:
    void SetUp() override {
        TempWorldTest::SetUp();
        std::filesystem::create_directories("USER");
        plat::headless::Reset();
        SetBuilderStartValues();
    }
    void TearDown() override {
        plat::RemoveFaultHandler();
        TempWorldTest::TearDown();
    }

    // Groups of four lines: key, comment, value, empty.
    static void WriteGroups(const std::string& path, const std::vector<std::pair<std::string, std::string>>& groups) {
        std::vector<std::string> lines;
        for (const auto& [key, value] : groups) {
            lines.insert(lines.end(), {key, "; comment", value, ""});
        }
        WriteLines(path, lines);
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    // A descriptor written as the builder writes it (pairs, then the trailer).
    static void WriteDescriptor(const std::string& path, const std::vector<wf::DescriptorRow>& rows) {
        WriteLines(path, wf::DescriptorFileLines(rows));
    }

    // The default descriptor of the test world: four pairs, the trailer (skipped as rows).
    static std::vector<wf::DescriptorRow> TemplateRows() {
        return {{"worldFTileTransparency", "255"}, {"worldFTileCollision", "0"}, {"hp", "10"}, {"postEFFECT", ""}};
    }

    // The whole chain with the given GFXPATH value; GFX/ holds rock (32x16) and wall (64x64)
    // with descriptors and tree (8x8) without one.
    void WriteWorld(const std::string& gfxPath = "GFX/") {
        WriteGroups("_DATA/ini.txt", {{"DEFAULTINISCRIPT", "_DATA/script.txt"}});
        WriteGroups("_DATA/script.txt", {{"WINDOWMODE", "0"},
                                         {"WIDTH", "800"},
                                         {"HEIGHT", "600"},
                                         {"APPINIFILE", "_DATA/app.txt"},
                                         {"MAXTILES", "100"},
                                         {"MATRIXRASTER", "32"}});
        WriteGroups("_DATA/app.txt", {{"GFXPATH", gfxPath},
                                      {"LOGFILE", "USER/"},
                                      {"GUIINI", "_DATA/gui.txt"},
                                      {"CODECS", "_DATA/codecs.txt"}});
        WriteGroups("_DATA/gui.txt", {{"GUIH", "48"}});
        WriteGroups("_DATA/codecs.txt", {{"GFXCODEC", ".png"}});
        WriteDescriptor("_DATA/DNA.dll", TemplateRows());
        WritePng("GFX/rock.png", 32, 16, 200, 0, 0);
        WriteDescriptor("GFX/rock.dll", {{"hp", "3"}, {"worldFTileTransparency", "200"}});
        WritePng("GFX/wall.png", 64, 64, 0, 0, 200);
        WriteDescriptor("GFX/wall.dll", {{"worldFTileTransparency", "255"}, {"postEFFECT", "2x2"}});
        WritePng("GFX/tree.png", 8, 8, 0, 200, 0);
    }

    // Index of the tile type named `name`, -1 when there is none.
    static int TypeIndex(const std::string& name) {
        for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
            if (gBuilder.tileLibrary[i].name == name) return static_cast<int>(i);
        }
        return -1;
    }
    // Places a tile of type `name` in the next slot, as a click does, and takes its snapshot.
    static void Place(const std::string& name, float x, float y, int layer) {
        const int type = TypeIndex(name);
        ASSERT_GE(type, 0) << name;
        const TileType& t = gBuilder.tileLibrary[type];
        gBuilder.lastTileIndex += 1;
        MapTile& tile = gBuilder.mapTiles.at(gBuilder.lastTileIndex);
        tile = MapTile{};
        tile.name = t.name;
        tile.sprite = t.sprite;
        tile.libraryIndex = type;
        tile.x = x;
        tile.y = y;
        tile.width = t.width;
        tile.height = t.height;
        tile.layer = layer;
        tile.active = t.usable;
        tile.descriptor = t.descriptor;
    }
};
