// Writing Tiled maps: the TMX document (read back with pugixml), relative image paths, and the
// export of a small world with keyed copies, missing types and descriptor properties.
#include "worldfiles/tiled_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <pugixml.hpp>

#include "platform/files.h"
#include "platform/images.h"
#include "temp_dir.h"
#include "worldfiles/descriptor.h"

namespace {

wf::BuilderMapRecord Record(const std::string& name, int index, float x, float y, float w, float h, int layer) {
    wf::BuilderMapRecord record;
    record.tileName = name;
    record.libraryIndex = index;
    record.x = x;
    record.y = y;
    record.width = w;
    record.height = h;
    record.layer = layer;
    return record;
}

std::string Property(pugi::xml_node node, const char* name) {
    return node.child("properties").find_child_by_attribute("property", "name", name).attribute("value").value();
}

TEST(TiledMapText, ObjectsStandOnTheirLayersInMapFileOrderWithBottomEdges) {
    wf::TiledMapDocument document;
    document.gridWidth = 16;
    document.gridHeight = 8;
    wf::TiledExportTile wall{"wall", "GFX/wall.png", 64, 32, {{"worldFTileCollision", "1"}}};
    wf::TiledExportTile gone{"gone", "", 0, 0, {}};
    document.types = {wall, gone};
    document.records = {Record("wall", 3, 10, 20, 64, 32, 2), Record("gone", 7, 0, 0, 5, 7, 0),
                        Record("wall", 3, 100, 40, 33, 17, 2), Record("wall", 3, -8, 50, 64, 32, 9)};
    const std::string text = wf::TiledMapText(document);
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(text.c_str())) << text;
    const pugi::xml_node map = xml.child("map");
    EXPECT_STREQ(map.attribute("orientation").value(), "orthogonal");
    EXPECT_EQ(Property(map, "taskoExport"), "true");
    EXPECT_EQ(map.attribute("tilewidth").as_int(), 16);
    EXPECT_EQ(map.attribute("width").as_int(), 9);   // the rightmost edge 133 in 16-pixel cells
    EXPECT_EQ(map.attribute("height").as_int(), 11);  // the lowest edge 82 in 8-pixel cells
    EXPECT_EQ(map.attribute("nextobjectid").as_int(), 5);

    const pugi::xml_node tileset = map.child("tileset");
    EXPECT_EQ(tileset.attribute("firstgid").as_int(), 1);
    EXPECT_EQ(tileset.attribute("columns").as_int(), 0);  // a collection of images
    const pugi::xml_node first = tileset.find_child_by_attribute("tile", "id", "0");
    EXPECT_STREQ(first.child("image").attribute("source").value(), "GFX/wall.png");
    EXPECT_EQ(first.child("image").attribute("width").as_int(), 64);
    EXPECT_EQ(Property(first, "worldFTileCollision"), "1");
    const pugi::xml_node second = tileset.find_child_by_attribute("tile", "id", "1");
    EXPECT_FALSE(second.child("image"));
    EXPECT_EQ(Property(second, "taskoName"), "gone");

    struct Expected {
        int layer;
        std::vector<std::vector<int>> objects;  // id, gid, x, y, width, height, library index
    };
    const Expected expected[] = {
        {0, {{2, 2, 0, 7, 5, 7, 7}}},
        {2, {{1, 1, 10, 52, 64, 32, 3}, {3, 1, 100, 57, 33, 17, 3}}},
        {9, {{4, 1, -8, 82, 64, 32, 3}}},
    };
    size_t l = 0;
    for (pugi::xml_node group : map.children("objectgroup")) {
        ASSERT_LT(l, std::size(expected));
        SCOPED_TRACE("layer " + std::to_string(expected[l].layer));
        EXPECT_STREQ(group.attribute("draworder").value(), "index");
        EXPECT_EQ(Property(group, "taskoLayer"), std::to_string(expected[l].layer));
        size_t o = 0;
        for (pugi::xml_node object : group.children("object")) {
            ASSERT_LT(o, expected[l].objects.size());
            const std::vector<int>& want = expected[l].objects[o];
            EXPECT_EQ(object.attribute("id").as_int(), want[0]);
            EXPECT_EQ(object.attribute("gid").as_int(), want[1]);
            EXPECT_EQ(object.attribute("x").as_int(), want[2]);
            EXPECT_EQ(object.attribute("y").as_int(), want[3]);
            EXPECT_EQ(object.attribute("width").as_int(), want[4]);
            EXPECT_EQ(object.attribute("height").as_int(), want[5]);
            EXPECT_EQ(Property(object, "taskoLibraryIndex"), std::to_string(want[6]));
            ++o;
        }
        EXPECT_EQ(o, expected[l].objects.size());
        ++l;
    }
    EXPECT_EQ(l, std::size(expected));
}

TEST(TiledMapText, TextIsEscapedAndARecordOfNoTypeIsRefused) {
    wf::TiledMapDocument document;
    document.types = {{"a<b", "GFX/a<b.png", 4, 4, {{"useWeapon", "x\"&y"}}}};
    document.records = {Record("a<b", 0, 0, 0, 4, 4, 1)};
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(wf::TiledMapText(document).c_str()));
    const pugi::xml_node tile = xml.child("map").child("tileset").child("tile");
    EXPECT_EQ(Property(tile, "useWeapon"), "x\"&y");
    EXPECT_STREQ(tile.child("image").attribute("source").value(), "GFX/a<b.png");

    document.records.push_back(Record("nobody", 0, 0, 0, 1, 1, 0));
    EXPECT_EQ(wf::TiledMapText(document), "");
}

TEST(TiledMapText, ExtremeNumbersOfAMapFileAreWrittenExactly) {
    wf::TiledMapDocument document;
    document.types = {{"w", "w.png", 1, 1, {}}};
    // The map file holds 32-bit integers: edges beyond them must not wrap.
    document.records = {Record("w", -1, 2147483000.0f, 2147483000.0f, 2147483000.0f, 1000.0f, 2000000000),
                        Record("w", 0, -2147483648.0f, 0, 0, 0, -5)};
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(wf::TiledMapText(document).c_str()));
    const pugi::xml_node map = xml.child("map");
    EXPECT_GT(map.attribute("width").as_int(), 1000000);
    std::vector<std::string> layers, ys;
    for (pugi::xml_node group : map.children("objectgroup")) {
        layers.push_back(Property(group, "taskoLayer"));
        ys.push_back(group.child("object").attribute("y").value());
    }
    EXPECT_EQ(layers, (std::vector<std::string>{"-5", "2000000000"}));
    EXPECT_EQ(ys[1], std::to_string(static_cast<long long>(2147483000.0f) + 1000));
    EXPECT_EQ(Property(map.child("objectgroup").child("object"), "taskoLibraryIndex"), "0");
}

TEST(RelativePath, LeadsFromTheMapsDirectoryToTheImage) {
    struct Case {
        std::string from, target, expected;
    };
    const Case cases[] = {
        {"/w/", "/w/GFX/a.png", "GFX/a.png"},
        {"/w", "/w/GFX/a.png", "GFX/a.png"},
        {"/out/maps/", "/w/GFX/a.png", "../../w/GFX/a.png"},
        {"/w/GFX/", "/w/GFX/a.png", "a.png"},
        {"/w/x/../", "/w/./GFX//a.png", "GFX/a.png"},
        {"/", "/a.png", "a.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from + " -> " + c.target);
        EXPECT_EQ(wf::RelativePath(c.from, c.target), c.expected);
    }
    // Relative paths are taken from the working directory.
    EXPECT_EQ(wf::RelativePath("", "GFX/a.png"), "GFX/a.png");
    EXPECT_EQ(wf::RelativePath("sub/", "GFX/a.png"), "../GFX/a.png");
}

TEST(TiledImageDirectory, IsNamedAfterTheMap) {
    EXPECT_EQ(wf::TiledImageDirectory("/o/demo.tmx"), "/o/demo-images/");
    EXPECT_EQ(wf::TiledImageDirectory("/o/demo"), "/o/demo-images/");
}

class ExportTiledMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.Valid());
        gfx = dir.File("GFX/");
        ASSERT_TRUE(plat::MakeDirectories(gfx));
        // "plain": no white pixel; "keyed": white at its first pixel; "broken": not a picture;
        // "nodna": a graphic without descriptor, so no tile type.
        ASSERT_TRUE(plat::WritePngFile(gfx + "plain.png", Solid(3, 2, 10, 20, 30)));
        plat::Pixels keyed = Solid(2, 2, 200, 0, 0);
        for (int i = 0; i < 3; ++i) keyed.rgba[i] = 255;
        ASSERT_TRUE(plat::WritePngFile(gfx + "keyed.png", keyed));
        wftest::WriteBytes(gfx + "broken.png", "not a png");
        ASSERT_TRUE(plat::WritePngFile(gfx + "nodna.png", Solid(1, 1, 0, 0, 0)));
        for (const char* name : {"plain", "keyed", "broken"}) {
            ASSERT_TRUE(wf::WriteDescriptorFile(gfx + name + ".dll", {{"worldFTileCollision", "0"}, {"hp", "3"}}));
        }
        // A repeated key keeps its first place and takes its last value.
        ASSERT_TRUE(wf::WriteDescriptorFile(gfx + "plain.dll",
                                            {{"hp", "1"}, {"worldFTileIDString", "P Q"}, {"hp", "2"}}));
        world.tileDirectory = gfx;
        world.graphicsExtension = ".png";
        world.gridSize = 0;
    }

    static plat::Pixels Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
        plat::Pixels pixels;
        pixels.width = w;
        pixels.height = h;
        for (int i = 0; i < w * h; ++i) pixels.rgba.insert(pixels.rgba.end(), {r, g, b, 255});
        return pixels;
    }

    pugi::xml_node TileNamed(pugi::xml_document& xml, const std::string& name) {
        for (pugi::xml_node tile : xml.child("map").child("tileset").children("tile")) {
            const std::string source = tile.child("image").attribute("source").value();
            if (Property(tile, "taskoName") == name || source.find("/" + name + ".png") != std::string::npos) return tile;
        }
        return {};
    }

    wftest::TempDir dir;
    std::string gfx;
    wf::TiledExportWorld world;
};

TEST_F(ExportTiledMapTest, WritesTheLibraryKeyedCopiesAndTheTypesItLacks) {
    const std::vector<std::string> map = wf::MapFileLines({
        {"plain", 2, 0, 0, 3, 2, 1, true, false},
        {"ghost", 5, 40, 8, 16, 16, 3, true, false},
        {"keyed", 1, 3, 0, 2, 2, 1, true, false},
    });
    const std::string out = dir.File("out/map.tmx");
    ASSERT_TRUE(plat::MakeDirectories(dir.File("out")));
    const wf::TiledExportResult result = wf::ExportTiledMap(world, map, out);
    ASSERT_TRUE(result.written) << result.problem;
    EXPECT_EQ(result.types, 4);  // broken, keyed, plain from the library; ghost from the map
    EXPECT_EQ(result.objects, 3);
    EXPECT_EQ(result.layers, 2);
    EXPECT_EQ(result.keyedCopies, 1);
    EXPECT_EQ(result.missingTypes, (std::vector<std::string>{"broken", "ghost"}));

    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(out.c_str()));
    const pugi::xml_node plain = TileNamed(xml, "plain");
    ASSERT_TRUE(plain);
    EXPECT_STREQ(plain.child("image").attribute("source").value(), "../GFX/plain.png");
    EXPECT_EQ(plain.child("image").attribute("width").as_int(), 3);
    std::vector<std::string> keys;
    for (pugi::xml_node p : plain.child("properties").children("property")) keys.push_back(p.attribute("name").value());
    EXPECT_EQ(keys, (std::vector<std::string>{"hp", "worldFTileIDString"}));
    EXPECT_EQ(Property(plain, "hp"), "2");
    EXPECT_EQ(Property(plain, "worldFTileIDString"), "P Q");

    const pugi::xml_node keyed = TileNamed(xml, "keyed");
    ASSERT_TRUE(keyed);
    EXPECT_STREQ(keyed.child("image").attribute("source").value(), "map-images/keyed.png");
    plat::Pixels copy;
    ASSERT_TRUE(plat::DecodeImageFile(dir.File("out/map-images/keyed.png"), copy));
    EXPECT_EQ(copy.rgba[3], 0);    // the white pixel
    EXPECT_EQ(copy.rgba[7], 255);  // a red one
    EXPECT_FALSE(plat::FileExists(dir.File("out/map-images/plain.png")));

    for (const char* name : {"broken", "ghost"}) {
        const pugi::xml_node tile = TileNamed(xml, name);
        ASSERT_TRUE(tile) << name;
        EXPECT_FALSE(tile.child("image")) << name;
    }
    EXPECT_EQ(Property(TileNamed(xml, "broken"), "hp"), "3");
    EXPECT_FALSE(TileNamed(xml, "nodna"));
}

TEST_F(ExportTiledMapTest, AnUnwritablePlaceLeavesNothing) {
    const std::vector<std::string> map = wf::MapFileLines({{"plain", 0, 0, 0, 3, 2, 1, true, false}});
    const wf::TiledExportResult result = wf::ExportTiledMap(world, map, dir.File("nowhere/map.tmx"));
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.problem.find("nowhere/map.tmx"), std::string::npos) << result.problem;
    EXPECT_FALSE(std::filesystem::exists(dir.File("nowhere")));
}

TEST_F(ExportTiledMapTest, AnEmptyMapIsAValidMapOfOneCell) {
    const std::string out = dir.File("empty.tmx");
    const wf::TiledExportResult result = wf::ExportTiledMap(world, wf::MapFileLines({}), out);
    ASSERT_TRUE(result.written) << result.problem;
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(out.c_str()));
    EXPECT_EQ(xml.child("map").attribute("width").as_int(), 1);
    EXPECT_FALSE(xml.child("map").child("objectgroup"));
    EXPECT_EQ(result.types, 3);
}

}  // namespace
