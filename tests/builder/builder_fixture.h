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
#include "worldfiles/descriptor.h"

class BuilderTest : public ::testing::Test {
public:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("plom_builder_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "USER");
        std::filesystem::current_path(dir_);
        plat::headless::Reset();
        SetBuilderStartValues();
    }
    void TearDown() override {
        plat::RemoveFaultHandler();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    static void WriteRaw(const std::string& path, const std::string& bytes) {
        const std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    static void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        WriteRaw(path, bytes);
    }
    // Groups of four lines: key, comment, value, empty.
    static void WriteGroups(const std::string& path, const std::vector<std::pair<std::string, std::string>>& groups) {
        std::vector<std::string> lines;
        for (const auto& [key, value] : groups) {
            lines.insert(lines.end(), {key, "; comment", value, ""});
        }
        WriteLines(path, lines);
    }
    static std::vector<std::string> ReadLines(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    static void WritePng(const std::string& path, int width, int height, int r, int g, int b) {
        const std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        plat::Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        pixels.rgba.resize(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
            pixels.rgba[i] = static_cast<uint8_t>(r);
            pixels.rgba[i + 1] = static_cast<uint8_t>(g);
            pixels.rgba[i + 2] = static_cast<uint8_t>(b);
            pixels.rgba[i + 3] = 255;
        }
        ASSERT_TRUE(plat::WritePngFile(path, pixels)) << path;
    }
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

    std::filesystem::path dir_;

private:
    std::filesystem::path previous_;
    static inline int counter_ = 0;
};
