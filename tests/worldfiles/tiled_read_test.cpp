// The Tiled reader through its interface: layer encodings, tilesets, flips, infinite maps, layer
// spreading, objects, properties, the world it writes, and refusals that write nothing.
#include "worldfiles/tiled_read.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <set>

#ifdef TILED_WITH_ZSTD
#include <zstd.h>
#endif

#include "platform/files.h"
#include "temp_dir.h"
#include "worldfiles/commandline.h"
#include "worldfiles/tiled_decode.h"

namespace {

using wf::TiledMap;

// Sheet: 3 x 2 cells of 4 x 4 pixels, margin 1, spacing 1. Pixel (x, y) of cell id has the colour
// (40 id + 1, 60 x, 60 y); cell 5 is wholly transparent.
constexpr int kCell = 4;

plat::Pixels Sheet() {
    plat::Pixels sheet;
    sheet.width = 1 + 3 * (kCell + 1);
    sheet.height = 1 + 2 * (kCell + 1);
    sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, 0);
    for (int id = 0; id < 5; ++id) {
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                const int px = 1 + (id % 3) * (kCell + 1) + x, py = 1 + (id / 3) * (kCell + 1) + y;
                uint8_t* p = &sheet.rgba[(static_cast<size_t>(py) * sheet.width + px) * 4];
                p[0] = static_cast<uint8_t>(40 * id + 1);
                p[1] = static_cast<uint8_t>(60 * x);
                p[2] = static_cast<uint8_t>(60 * y);
                p[3] = 255;
            }
        }
    }
    return sheet;
}

std::array<int, 3> At(const plat::Pixels& p, int x, int y) {
    const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    return {q[0], q[1], q[2]};
}

std::string Base64(const std::string& bytes) {
    static const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {a[v >> 18], a[(v >> 12) & 63], a[(v >> 6) & 63], a[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += {a[v >> 18], a[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {a[v >> 18], a[(v >> 12) & 63], a[(v >> 6) & 63], '='};
    }
    return out;
}

std::string Raw(const std::vector<uint32_t>& gids) {
    std::string bytes;
    for (uint32_t g : gids) {
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((g >> (8 * k)) & 0xff));
    }
    return bytes;
}

std::string Deflate(const std::string& bytes, bool gzip) {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
    std::string out(compressBound(static_cast<uLong>(bytes.size())) + 64, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    s.avail_in = static_cast<uInt>(bytes.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// The <data> element of gids in one of Tiled's formats.
std::string Data(const std::string& format, const std::vector<uint32_t>& gids) {
    if (format == "xml") {
        std::string tiles;
        for (uint32_t g : gids) tiles += "<tile gid=\"" + std::to_string(g) + "\"/>";
        return "<data>" + tiles + "</data>";
    }
    if (format == "csv") {
        std::string text;
        for (size_t i = 0; i < gids.size(); ++i) text += (i ? "," : "") + std::to_string(gids[i]) + (i % 3 == 2 ? "\n" : "");
        return "<data encoding=\"csv\">\n" + text + "</data>";
    }
    std::string bytes = Raw(gids), compression;
    if (format == "zlib" || format == "gzip") {
        bytes = Deflate(bytes, format == "gzip");
        compression = format;
    }
#ifdef TILED_WITH_ZSTD
    if (format == "zstd") {
        std::string out(ZSTD_compressBound(bytes.size()), '\0');
        out.resize(ZSTD_compress(out.data(), out.size(), bytes.data(), bytes.size(), 3));
        bytes = out;
        compression = "zstd";
    }
#endif
    return "<data encoding=\"base64\"" + (compression.empty() ? "" : " compression=\"" + compression + "\"") + ">\n " +
           Base64(bytes) + "\n</data>";
}

std::string Layer(int w, int h, const std::string& data, const std::string& attributes = "") {
    return "<layer name=\"l\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" " + attributes +
           ">" + data + "</layer>";
}

class TiledReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Valid());
        ASSERT_TRUE(plat::WritePngFile(dir_.File("sheet.png"), Sheet()));
        wftest::WriteBytes(dir_.File("sheet.tsx"),
                           "<tileset name=\"S\" tilewidth=\"4\" tileheight=\"4\" margin=\"1\" spacing=\"1\">"
                           "<image source=\"sheet.png\"/>"
                           "<tile id=\"1\"><properties><property name=\"worldFTileCollision\" value=\"1\"/>"
                           "<property name=\"friction\" value=\"2\"/></properties></tile>"
                           "<tile id=\"2\"><animation><frame tileid=\"3\" duration=\"100\"/>"
                           "<frame tileid=\"2\" duration=\"50\"/></animation></tile></tileset>");
    }
    std::string Map(const std::string& body, const std::string& attributes = "width=\"3\" height=\"2\"",
                    const std::string& tileset = "<tileset firstgid=\"1\" source=\"sheet.tsx\"/>") {
        return "<?xml version=\"1.0\"?>\n<map version=\"1.8\" orientation=\"orthogonal\" " + attributes +
               " tilewidth=\"4\" tileheight=\"4\">\n" + tileset + "\n" + body + "\n</map>\n";
    }
    bool Read(const std::string& text, TiledMap& map, std::string& problem, const std::string& name = "m.tmx") {
        wftest::WriteBytes(dir_.File(name), text);
        return wf::ReadTiledMap(dir_.File(name), map, problem);
    }
    TiledMap MustRead(const std::string& text) {
        TiledMap map;
        std::string problem;
        EXPECT_TRUE(Read(text, map, problem)) << problem;
        return map;
    }
    static const wf::TiledTileType* Type(const TiledMap& map, const std::string& name) {
        for (const auto& type : map.types) {
            if (type.name == name) return &type;
        }
        return nullptr;
    }
    // "name x y w h layer" per placement, the start marker left out.
    static std::vector<std::string> Placed(const TiledMap& map) {
        std::vector<std::string> lines;
        for (const auto& p : map.placements) {
            if (p.typeName == "mapstart") continue;
            lines.push_back(p.typeName + " " + std::to_string(p.x) + " " + std::to_string(p.y) + " " +
                            std::to_string(p.width) + " " + std::to_string(p.height) + " " + std::to_string(p.layer));
        }
        return lines;
    }
    wftest::TempDir dir_;
};

TEST_F(TiledReadTest, EveryLayerFormatReadsTheSameCells) {
    const std::vector<uint32_t> gids = {1, 2, 0, 4, 5, 2};
    const std::vector<std::string> want = {"sheet_0 0 0 4 4 0", "sheet_1 4 0 4 4 0", "sheet_3 0 4 4 4 0",
                                           "sheet_4 4 4 4 4 0", "sheet_1 8 4 4 4 0"};
    std::vector<std::string> formats = {"xml", "csv", "base64", "zlib", "gzip"};
    if (wf::tiled::HaveZstd()) formats.push_back("zstd");
    for (const std::string& format : formats) {
        EXPECT_EQ(Placed(MustRead(Map(Layer(3, 2, Data(format, gids))))), want) << format;
    }
}

TEST_F(TiledReadTest, SheetCellsBecomeNamedTypesWithTheirPixelsAndProperties) {
    const TiledMap map = MustRead(Map(Layer(3, 2, Data("csv", {2, 0, 0, 0, 0, 0}))));
    for (int id : {0, 1, 2, 3, 4}) EXPECT_NE(Type(map, "sheet_" + std::to_string(id)), nullptr) << id;
    EXPECT_EQ(Type(map, "sheet_5"), nullptr) << "a wholly transparent cell is no type";
    const wf::TiledTileType* one = Type(map, "sheet_1");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->pixels.width, 4);
    EXPECT_EQ(At(one->pixels, 3, 2), (std::array<int, 3>{41, 180, 120}));
    EXPECT_EQ(one->descriptor, (std::vector<wf::DescriptorRow>{{"worldFTileCollision", "1"}}))
        << "only properties named as descriptor keys are kept";
    // An animated tile shows its first frame and keeps its frames.
    const wf::TiledTileType* two = Type(map, "sheet_2");
    ASSERT_NE(two, nullptr);
    ASSERT_EQ(two->animation.size(), 2u);
    EXPECT_EQ(two->animation[0].durationMs, 100);
    EXPECT_EQ(At(two->pixels, 0, 0)[0], 121) << "frame one is tile 3";
}

TEST(FlipTiledPixels, DiagonalSwapsAxesThenMirrors) {
    plat::Pixels in;
    in.width = 2;
    in.height = 3;
    for (int i = 0; i < 6; ++i) in.rgba.insert(in.rgba.end(), {static_cast<uint8_t>(i), 0, 0, 255});
    struct Case {
        bool h, v, d;
        int w, h2;
        std::vector<int> order;  // source index shown at each destination pixel, row by row
    };
    const Case cases[] = {
        {false, false, false, 2, 3, {0, 1, 2, 3, 4, 5}}, {true, false, false, 2, 3, {1, 0, 3, 2, 5, 4}},
        {false, true, false, 2, 3, {4, 5, 2, 3, 0, 1}},  {false, false, true, 3, 2, {0, 2, 4, 1, 3, 5}},
        {true, false, true, 3, 2, {4, 2, 0, 5, 3, 1}},   {true, true, true, 3, 2, {5, 3, 1, 4, 2, 0}},
    };
    for (const Case& c : cases) {
        const plat::Pixels out = wf::FlipTiledPixels(in, c.h, c.v, c.d);
        ASSERT_EQ(out.width, c.w);
        ASSERT_EQ(out.height, c.h2);
        std::vector<int> order;
        for (size_t i = 0; i < out.rgba.size(); i += 4) order.push_back(out.rgba[i]);
        EXPECT_EQ(order, c.order) << c.h << c.v << c.d;
    }
}

TEST_F(TiledReadTest, FlippedTilesAreTheirOwnTypesWithFlippedPixels) {
    const uint32_t h = 0x80000000u, v = 0x40000000u, d = 0x20000000u;
    const TiledMap map = MustRead(Map(Layer(3, 2, Data("base64", {1 | h, 1 | v, 1 | d, 1 | h | v | d, 1, 0}))));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet_0_fh 0 0 4 4 0", "sheet_0_fv 4 0 4 4 0",
                                                     "sheet_0_fd 8 0 4 4 0", "sheet_0_fhvd 0 4 4 4 0",
                                                     "sheet_0 4 4 4 4 0"}));
    EXPECT_EQ(At(Type(map, "sheet_0_fh")->pixels, 0, 0), (std::array<int, 3>{1, 180, 0}));
    EXPECT_EQ(At(Type(map, "sheet_0_fv")->pixels, 0, 0), (std::array<int, 3>{1, 0, 180}));
    EXPECT_EQ(At(Type(map, "sheet_0_fd")->pixels, 3, 1), (std::array<int, 3>{1, 60, 180}));
    EXPECT_EQ(At(Type(map, "sheet_0_fhvd")->pixels, 0, 0), (std::array<int, 3>{1, 180, 180}));
}

TEST_F(TiledReadTest, InfiniteMapsStartAtTheirTopLeftChunk) {
    const std::string chunks = "<data encoding=\"csv\"><chunk x=\"-2\" y=\"-1\" width=\"2\" height=\"1\">1,0</chunk>"
                               "<chunk x=\"1\" y=\"1\" width=\"1\" height=\"1\">3</chunk></data>";
    const TiledMap map = MustRead(Map("<layer name=\"l\" width=\"0\" height=\"0\">" + chunks + "</layer>",
                                      "width=\"0\" height=\"0\" infinite=\"1\""));
    EXPECT_EQ(map.originX, -8);
    EXPECT_EQ(map.originY, -4);
    EXPECT_EQ(map.pixelWidth, 16);
    EXPECT_EQ(map.pixelHeight, 12);
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet_0 0 0 4 4 0", "sheet_2 12 8 4 4 0"}));
}

TEST_F(TiledReadTest, OffsetsOpacityGroupsAndHiddenLayers) {
    const std::string body =
        "<group offsetx=\"10\" offsety=\"20\" opacity=\"0.5\">" + Layer(3, 2, Data("csv", {1, 0, 0, 0, 0, 0}), "offsetx=\"1\" opacity=\"0.5\"") +
        "</group>" + Layer(3, 2, Data("csv", {2, 0, 0, 0, 0, 0}), "visible=\"0\"") +
        Layer(3, 2, Data("csv", {0, 0, 0, 0, 0, 5}));
    const TiledMap map = MustRead(Map(body));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet_0_a64 11 20 4 4 0", "sheet_4 8 4 4 4 1"}))
        << "the hidden layer is left out and takes no engine layer";
    EXPECT_EQ(Type(map, "sheet_0_a64")->descriptor,
              (std::vector<wf::DescriptorRow>{{"worldFTileTransparency", "64"}}));
}

TEST_F(TiledReadTest, MoreThanNineLayersShareEngineLayersInOrder) {
    for (int count : {3, 9, 12, 20}) {
        std::string body;
        for (int i = 0; i < count; ++i) body += Layer(3, 2, Data("csv", {1, 0, 0, 0, 0, 0}));
        const TiledMap map = MustRead(Map(body));
        std::vector<int> layers;
        for (const auto& p : map.placements) {
            if (p.typeName != "mapstart") layers.push_back(p.layer);
        }
        ASSERT_EQ(layers.size(), static_cast<size_t>(count));
        EXPECT_EQ(layers.front(), 0);
        EXPECT_EQ(layers.back(), std::min(count, 9) - 1) << count;
        EXPECT_TRUE(std::is_sorted(layers.begin(), layers.end())) << count;
        EXPECT_EQ(std::set<int>(layers.begin(), layers.end()).size(), static_cast<size_t>(std::min(count, 9))) << count;
    }
}

TEST_F(TiledReadTest, LayerPropertiesMakeTheirOwnTypeOnlyWhenTheyChangeSomething) {
    const std::string props = "<properties><property name=\"worldFTileCollision\" value=\"1\"/></properties>";
    const std::string body = "<layer name=\"a\" width=\"3\" height=\"2\">" + props + Data("csv", {1, 2, 0, 0, 0, 0}) + "</layer>";
    const TiledMap map = MustRead(Map(body));
    const std::vector<std::string> placed = Placed(map);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[1], "sheet_1 4 0 4 4 0") << "tile 1 has the same value of its own";
    const std::string variant = placed[0].substr(0, placed[0].find(' '));
    ASSERT_NE(variant, "sheet_0");
    EXPECT_EQ(Type(map, variant)->descriptor, (std::vector<wf::DescriptorRow>{{"worldFTileCollision", "1"}}));
}

TEST_F(TiledReadTest, LargeTilesStandOnTheCellsBottomLeftWithTheTileOffset) {
    const std::string tileset =
        "<tileset firstgid=\"1\" name=\"big\" tilewidth=\"8\" tileheight=\"11\"><tileoffset x=\"1\" y=\"-2\"/>"
        "<image source=\"sheet.png\"/></tileset>";
    const TiledMap map = MustRead(Map(Layer(3, 2, Data("csv", {0, 0, 0, 0, 1, 0})), "width=\"3\" height=\"2\"", tileset));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet_0 5 -5 8 11 0"}));
}

TEST_F(TiledReadTest, TileObjectsStandOnTheirBottomEdgeInDrawOrder) {
    const std::string body =
        "<objectgroup name=\"o\" offsetx=\"2\">"
        "<object id=\"1\" gid=\"2\" x=\"10\" y=\"30\" width=\"8\" height=\"8\"/>"
        "<object id=\"2\" gid=\"1\" x=\"0.4\" y=\"12\"/>"
        "<object id=\"3\" name=\"MAPSTART\" x=\"6\" y=\"7\"/>"
        "<object id=\"4\" gid=\"1\" x=\"6.5\" y=\"40.5\"/><object id=\"5\" gid=\"1\" x=\"1\" y=\"50\" visible=\"0\"/>"
        "</objectgroup>";
    const TiledMap map = MustRead(Map(body));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet_0 2 8 4 4 0", "sheet_1 12 22 8 8 0", "sheet_0 9 37 4 4 0"}))
        << "top-down order sorts by y; halves round up as Tiled draws them; hidden objects are left out";
    EXPECT_EQ(map.viewX, 8);
    EXPECT_EQ(map.viewY, 7);
    ASSERT_EQ(map.placements.back().typeName, "mapstart");
    EXPECT_EQ(map.placements.back().x, 8);
    EXPECT_EQ(map.placements.back().layer, 8);
}

TEST_F(TiledReadTest, OurOwnExportKeepsItsLayersAndObjectOrder) {
    const std::string tileset =
        "<tileset firstgid=\"1\" name=\"world\" tilewidth=\"4\" tileheight=\"4\">"
        "<tile id=\"0\"><image source=\"sheet.png\"/><properties><property name=\"worldFTileIDString\" "
        "value=\"MAPSTART\"/></properties></tile><tile id=\"7\"><image source=\"b/sheet.png\"/></tile></tileset>";
    std::filesystem::create_directories(dir_.File("b"));
    ASSERT_TRUE(plat::WritePngFile(dir_.File("b/sheet.png"), Sheet()));
    const std::string body =
        "<properties><property name=\"taskoExport\" type=\"bool\" value=\"true\"/></properties>"
        "<objectgroup name=\"x\" draworder=\"index\"><properties><property name=\"taskoLayer\" type=\"int\" value=\"4\"/></properties>"
        "<object id=\"3\" gid=\"8\" x=\"0\" y=\"20\" width=\"16\" height=\"16\"/></objectgroup>"
        "<objectgroup name=\"y\" draworder=\"index\"><properties><property name=\"taskoLayer\" type=\"int\" value=\"1\"/></properties>"
        "<object id=\"1\" gid=\"1\" x=\"5\" y=\"50\" width=\"11\" height=\"13\"/>"
        "<object id=\"2\" gid=\"8\" x=\"7\" y=\"9\" width=\"11\" height=\"9\"/></objectgroup>";
    const TiledMap map = MustRead(Map(body, "width=\"3\" height=\"2\"", tileset));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"world_0 5 37 11 13 1", "world_7 7 0 11 9 1", "world_7 0 4 16 16 4"}))
        << "same image names give <tileset>_<id>; records in object-id order; no marker added";
    EXPECT_EQ(map.placements.size(), 3u);
}

struct BadInput {
    const char* label;
    std::string map;       // the map text; "" keeps the default map with `layer`
    std::string expected;  // a phrase of the message
    bool hasLine;
};

TEST_F(TiledReadTest, BadInputIsRefusedWithFileAndLineAndNothingIsWritten) {
    const std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE map [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>\n"
                             "<map orientation=\"orthogonal\" width=\"1\" height=\"1\" tilewidth=\"4\" tileheight=\"4\"><layer name=\"&b;\"/></map>";
    const BadInput cases[] = {
        {"not XML", "<map orientation=\"orthogonal\"><layer></map>", "not a Tiled file", true},
        {"not a map", "<?xml version=\"1.0\"?><tileset/>", "not a Tiled map", false},
        {"tile id beyond", Map(Layer(3, 2, Data("csv", {1, 2, 3, 4, 5, 99}))), "tile id 99 is beyond every tileset", true},
        {"missing tsx", Map("", "width=\"1\" height=\"1\"", "<tileset firstgid=\"1\" source=\"none.tsx\"/>"), "none.tsx' is missing", true},
        {"missing image", Map("", "width=\"1\" height=\"1\"", "<tileset firstgid=\"1\" name=\"t\" tilewidth=\"4\" tileheight=\"4\"><image source=\"no.png\"/></tileset>"),
         "no.png' is missing or does not decode", true},
        {"short data", Map(Layer(3, 2, Data("csv", {1, 2, 3}))), "shorter than the layer", true},
        {"long data", Map(Layer(3, 2, Data("base64", {1, 2, 3, 1, 2, 3, 1}))), "longer than the layer", true},
        {"long CSV", Map(Layer(3, 2, Data("csv", {1, 2, 3, 1, 2, 3, 1, 1}))), "longer than the layer", true},
        {"long XML", Map(Layer(3, 2, Data("xml", {1, 2, 3, 1, 2, 3, 1}))), "longer than the layer", true},
        {"bad base64", Map(Layer(3, 2, "<data encoding=\"base64\">AAA*</data>")), "base64 tile data does not decode", true},
        {"bad zlib", Map(Layer(3, 2, "<data encoding=\"base64\" compression=\"zlib\">AAAAAAAA</data>")), "does not decompress", true},
        {"bad csv", Map(Layer(3, 2, "<data encoding=\"csv\">1,2,x,4,5,6</data>")), "CSV tile data", true},
        {"far chunk", Map("<layer name=\"l\"><data encoding=\"csv\"><chunk x=\"-99999999\" y=\"0\" width=\"1\" height=\"1\">1</chunk></data></layer>",
                          "width=\"0\" height=\"0\" infinite=\"1\""), "a chunk outside reason", true},
        {"wide chunks", Map("<layer name=\"l\"><data encoding=\"csv\"><chunk x=\"-9000\" y=\"0\" width=\"1\" height=\"1\">1</chunk>"
                            "<chunk x=\"9000\" y=\"0\" width=\"1\" height=\"1\">1</chunk></data></layer>",
                            "width=\"0\" height=\"0\" infinite=\"1\""), "a chunk outside reason", true},
        {"beyond the tables", Map(Layer(20000, 2, Data("csv", {1})), "width=\"20000\" height=\"2\""), "is not a number from 0 to 16384", true},
        {"entity bomb", bomb, "entity declarations are not read", true},
        {"isometric", "<map orientation=\"isometric\" width=\"1\" height=\"1\" tilewidth=\"4\" tileheight=\"4\"/>", "the isometric orientation is not read", false},
        {"staggered", "<map orientation=\"staggered\"/>", "the staggered orientation", false},
        {"hexagonal", "<map orientation=\"hexagonal\"/>", "the hexagonal orientation", false},
    };
    for (const BadInput& c : cases) {
        const std::string path = dir_.File("bad.tmx");
        wftest::WriteBytes(path, c.map);
        TiledMap map;
        std::string problem;
        EXPECT_FALSE(wf::ReadTiledMap(path, map, problem)) << c.label;
        EXPECT_NE(problem.find(c.expected), std::string::npos) << c.label << ": " << problem;
        EXPECT_NE(problem.find(c.hasLine ? "bad.tmx:" : "bad.tmx"), std::string::npos) << c.label << ": " << problem;
        std::vector<std::string> notes;
        const std::string world = dir_.File("world");
        EXPECT_FALSE(wf::ImportTiledWorld(path, world, notes, problem)) << c.label;
        EXPECT_NE(problem.find("nothing was written"), std::string::npos) << c.label;
        EXPECT_FALSE(std::filesystem::exists(world)) << c.label;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
            EXPECT_EQ(entry.path().filename().string().find("world."), std::string::npos) << c.label << " left a staging directory";
        }
    }
}

TEST_F(TiledReadTest, ImportedWorldPlaysTheMapAndScrollsWithTheCursorKeys) {
    const std::string world = dir_.File("world");
    std::filesystem::create_directories(world);  // an empty directory is taken
    wftest::WriteBytes(dir_.File("m.tmx"), Map(Layer(3, 2, Data("zlib", {2, 1, 0, 0, 0, 0}))));
    std::vector<std::string> notes;
    std::string problem;
    ASSERT_TRUE(wf::ImportTiledWorld(dir_.File("m.tmx"), world, notes, problem)) << problem;
    std::vector<std::string> ini, map, start, dll;
    ASSERT_TRUE(plat::ReadAllLines(world + "/CORE/ini.crc", ini));
    std::map<std::string, std::string> config;
    for (size_t i = 0; i + 1 < ini.size(); i += 2) config[ini[i]] = ini[i + 1];
    EXPECT_EQ(config["USRSCROLL"], "1");
    EXPECT_EQ(config["DYNAMICSCROLL"], "0");
    EXPECT_EQ(config["SOURCEWIDTH"], "1280");
    ASSERT_TRUE(plat::ReadAllLines(world + "/MAPS/LVL0.dll", map));
    ASSERT_TRUE(plat::ReadAllLines(world + "/1", start));
    EXPECT_EQ(map, start);
    // Two records and the start marker: name, library index, x, y, w, h, layer.
    ASSERT_EQ(map.size(), 2u + 3 * 8 + 1);
    EXPECT_EQ(std::vector<std::string>(map.begin() + 3, map.begin() + 10),
              (std::vector<std::string>{"sheet_1", "2", "0", "0", "4", "4", "0"}));
    EXPECT_EQ(map[19], "mapstart");
    ASSERT_TRUE(plat::ReadAllLines(world + "/GFX/sheet_1.dll", dll));
    const auto collision = std::find(dll.begin(), dll.end(), "worldFTileCollision");
    ASSERT_NE(collision, dll.end());
    EXPECT_EQ(*(collision + 1), "1");
    plat::Pixels graphic;
    ASSERT_TRUE(plat::DecodeImageFile(world + "/GFX/sheet_4.png", graphic));
    EXPECT_EQ(At(graphic, 1, 1), (std::array<int, 3>{161, 60, 60}));
    EXPECT_FALSE(notes.empty()) << "the animation of tile 2 is named as left out";
    EXPECT_FALSE(wf::ImportTiledWorld(dir_.File("m.tmx"), world, notes, problem)) << "a world is never overwritten";
}

TEST_F(TiledReadTest, ImageCollectionsAndTilesetLayouts) {
    const std::string tileset = "<tileset firstgid=\"5\" name=\"c\" tilewidth=\"4\" tileheight=\"4\">"
                                "<tile id=\"3\"><image source=\"sheet.png\"/></tile></tileset>";
    const TiledMap map = MustRead(Map(Layer(3, 2, Data("csv", {8, 0, 0, 0, 0, 0})), "width=\"3\" height=\"2\"", tileset));
    EXPECT_EQ(Placed(map), (std::vector<std::string>{"sheet 0 -7 16 11 0"})) << "a collection tile keeps its image size";
    wf::TiledSheetLayout layout;
    std::string problem;
    ASSERT_TRUE(wf::ReadTiledTileset(dir_.File("sheet.tsx"), layout, problem)) << problem;
    EXPECT_EQ(layout.imagePath, dir_.File("sheet.png"));
    EXPECT_EQ(layout.name, "S");
    EXPECT_EQ(layout.tileWidth, 4);
    EXPECT_EQ(layout.margin, 1);
    EXPECT_EQ(layout.spacing, 1);
    wftest::WriteBytes(dir_.File("c.tsx"), tileset);
    EXPECT_FALSE(wf::ReadTiledTileset(dir_.File("c.tsx"), layout, problem));
    EXPECT_NE(problem.find("image-collection"), std::string::npos) << problem;
}

TEST(ImportTiledCommandLine, TakesAMapAndADirectory) {
    const wf::CommandLine line = wf::ParseCommandLine(wf::Program::kEngine, {"--import-tiled", "a.tmx", "w"});
    EXPECT_EQ(line.action, wf::CommandLine::kImportTiled);
    EXPECT_EQ(line.tiledMap, "a.tmx");
    EXPECT_EQ(line.worldDirectory, "w");
    EXPECT_EQ(wf::ParseCommandLine(wf::Program::kEngine, {"--import-tiled", "a.tmx"}).action, wf::CommandLine::kUsageError);
    EXPECT_EQ(wf::ParseCommandLine(wf::Program::kEngine, {"--import-tiled", "a.tmx", "w", "x"}).action,
              wf::CommandLine::kUsageError);
    EXPECT_EQ(wf::ParseCommandLine(wf::Program::kBuilder, {"--import-tiled", "a.tmx", "w"}).action,
              wf::CommandLine::kUsageError);
}

}  // namespace
