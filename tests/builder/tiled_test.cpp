// Tiled maps in the builder: "Export Tiled Map..." writes the edited map (unsaved tiles too),
// plom --export-tiled exports a map file without a window, and "Import Tiled Map..." brings a
// TMX map in as the edited map with the library rebuilt, asking once before replacing types.
#include <gmock/gmock.h>

#include <pugixml.hpp>
#include <sstream>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERTILED.h"
#include "builder/BUILDERio.h"
#include "builder_fixture.h"
#include "platform/files.h"
#include "worldfiles/mapfile.h"

using ::testing::HasSubstr;

namespace {

constexpr int kExportItem = 140;
constexpr int kImportItem = 141;

class BuilderTiled : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        wf::WriteMapFile("1", {{"rock", 0, 10, 20, 32, 16, 1}, {"wall", 2, 50, 60, 64, 64, 2}});
    }
    std::string Path(const std::string& name) const { return dir_.string() + "/" + name; }
    static std::string LastBox() {
        return plat::headless::MessageBoxes().empty() ? "" : plat::headless::MessageBoxes().back().text;
    }
    // "name x y w h layer" of each record of the edited map.
    static std::vector<std::string> EditedRecords() {
        std::vector<std::string> records;
        for (const wf::BuilderMapRecord& r : wf::ParseBuilderMap(EditedMapLines()).records) {
            std::ostringstream text;
            text << r.tileName << " " << r.x << " " << r.y << " " << r.width << " " << r.height << " " << r.layer;
            records.push_back(text.str());
        }
        return records;
    }
};

TEST_F(BuilderTiled, ExportWritesTheEditedMapWithItsUnsavedTiles) {
    ASSERT_TRUE(StartBuilder());
    Place("wall", 100, 40, 3);
    plat::headless::PushRequesterAnswer(Path("out.tmx"));
    MenuAction(kExportItem);
    EXPECT_EQ(plat::headless::Requesters().back().title, "MAP-BUILDER: Export Tiled Map:");
    EXPECT_THAT(LastBox(), HasSubstr("3 tile(s) on 3 layer(s), 2 tile type(s)"));

    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(Path("out.tmx").c_str()));
    const pugi::xml_node map = xml.child("map");
    std::vector<std::string> sources;
    for (pugi::xml_node tile : map.child("tileset").children("tile")) sources.push_back(tile.child("image").attribute("source").value());
    EXPECT_EQ(sources, (std::vector<std::string>{"GFX/rock.png", "GFX/wall.png"}));  // tree has no descriptor
    EXPECT_EQ(map.attribute("tilewidth").as_int(), 32);  // the grid step
    int objects = 0;
    for (pugi::xml_node group : map.children("objectgroup")) {
        for (pugi::xml_node object : group.children("object")) {
            ++objects;
            if (object.attribute("id").as_int() == 3) {
                EXPECT_EQ(object.attribute("x").as_int(), 100);
                EXPECT_EQ(object.attribute("y").as_int(), 104);  // bottom edge
            }
        }
    }
    EXPECT_EQ(objects, 3);

    // A place that cannot be written: a box, no file.
    plat::headless::PushRequesterAnswer(Path("none/out.tmx"));
    MenuAction(kExportItem);
    EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER ERROR:");
    EXPECT_FALSE(Exists(Path("none")));
}

TEST_F(BuilderTiled, CommandLineExportReadsTheChainAndNamesWhatIsMissing) {
    std::ostringstream out, err;
    EXPECT_EQ(ExportTiledMapFile(Path("a.tmx"), "", out, err), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("2 tile(s) on 2 layer(s), 2 tile type(s) written to " + Path("a.tmx")));
    EXPECT_TRUE(Exists(Path("a.tmx")));

    // Another map file, with a type the tile directory lacks.
    wf::WriteMapFile("other", {{"ghost", 4, 0, 0, 8, 8, 0}});
    std::ostringstream out2, err2;
    EXPECT_EQ(ExportTiledMapFile(Path("b.tmx"), "other", out2, err2), 0);
    EXPECT_THAT(err2.str(), HasSubstr("\"ghost\" has no graphic"));

    const struct {
        const char* remove;
        const char* map;
        const char* message;
    } failures[] = {
        {nullptr, "nothing-here", "the map file nothing-here cannot be read"},
        {"_DATA/app.txt", "", "_DATA/app.txt is missing"},
        {"_DATA/ini.txt", "", "_DATA/ini.txt is missing"},
    };
    for (const auto& f : failures) {
        if (f.remove != nullptr) std::filesystem::remove(f.remove);
        std::ostringstream o, e;
        EXPECT_EQ(ExportTiledMapFile(Path("c.tmx"), f.map, o, e), 1) << f.message;
        EXPECT_THAT(e.str(), HasSubstr(f.message));
        EXPECT_FALSE(Exists(Path("c.tmx")));
    }
}

TEST_F(BuilderTiled, ImportBringsTheMapInAsTheEditedMapAndKeepsTheHistory) {
    ASSERT_TRUE(StartBuilder());
    plat::headless::PushRequesterAnswer(Path("round.tmx"));
    MenuAction(kExportItem);
    ASSERT_TRUE(Exists(Path("round.tmx")));
    // Edit on: a new map with one tile, one snapshot.
    gBuilder.lastTileIndex = -1;
    Place("wall", 300, 300, 5);
    TakeUndoSnapshot();
    const int undoCounter = gBuilder.undoCounter;

    // rock and wall exist: asked once, and No changes nothing.
    plat::headless::PushYesNoAnswer(false);
    plat::headless::PushRequesterAnswer(Path("round.tmx"));
    MenuAction(kImportItem);
    EXPECT_EQ(plat::headless::Requesters().back().title, "MAP-BUILDER: Import Tiled Map:");
    EXPECT_EQ(EditedRecords(), (std::vector<std::string>{"wall 300 300 64 64 5"}));
    EXPECT_EQ(gBuilder.undoCounter, undoCounter);
    EXPECT_FALSE(Exists(TiledImportMapPath()));

    plat::headless::PushYesNoAnswer(true);
    plat::headless::PushRequesterAnswer(Path("round.tmx"));
    MenuAction(kImportItem);
    EXPECT_THAT(LastBox(), HasSubstr("imported from " + Path("round.tmx")));
    const std::vector<std::string> records = EditedRecords();
    EXPECT_THAT(records, ::testing::IsSupersetOf({"rock 10 20 32 16 1", "wall 50 60 64 64 2"}));
    EXPECT_EQ(gBuilder.currentMapFile, TiledImportMapPath());
    EXPECT_EQ(gBuilder.undoCounter, undoCounter + 1);  // the import is one more step back from
    EXPECT_GE(TileTypeIndex("rock"), 0);
    EXPECT_GT(gBuilder.mapTiles[0].sprite.id, 0);  // bound to the rebuilt library
    StepUndo();
    EXPECT_EQ(EditedRecords(), (std::vector<std::string>{"wall 300 300 64 64 5"}));
}

TEST_F(BuilderTiled, ImportRefusesWhatItCannotReadAndLeavesTheMap) {
    ASSERT_TRUE(StartBuilder());
    WriteRaw("broken.tmx", "<map orientation=");
    WriteRaw("iso.tmx", "<?xml version=\"1.0\"?><map orientation=\"isometric\" width=\"1\" height=\"1\" "
                        "tilewidth=\"32\" tileheight=\"16\"></map>");
    for (const char* file : {"broken.tmx", "iso.tmx", "absent.tmx"}) {
        SCOPED_TRACE(file);
        const size_t boxes = plat::headless::MessageBoxes().size();
        plat::headless::PushRequesterAnswer(Path(file));
        MenuAction(kImportItem);
        ASSERT_EQ(plat::headless::MessageBoxes().size(), boxes + 1);
        EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER ERROR:");
        EXPECT_THAT(LastBox(), HasSubstr(file));
        EXPECT_EQ(EditedRecords(), (std::vector<std::string>{"rock 10 20 32 16 1", "wall 50 60 64 64 2"}));
        EXPECT_EQ(gBuilder.currentMapFile, "1");
    }
    EXPECT_FALSE(Exists(TiledImportMapPath()));
}

}  // namespace
