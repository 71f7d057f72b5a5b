// "Refresh" and "Import Tile...": the tile library rebuilt from the tile directory with the map and
// the undo history kept, and a picture made a tile type of its own.
#include <gmock/gmock.h>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERio.h"
#include "builder_fixture.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "worldfiles/mapfile.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kRefreshItem = 116;
constexpr int kImportItem = 118;

class BuilderImportRefresh : public BuilderTest {
public:
    // The world with a start-up map of one rock and one wall tile, started.
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        wf::WriteMapFile("1", {{"rock", 0, 10, 20, 32, 16, 1}, {"wall", 2, 50, 60, 64, 64, 2}});
        ASSERT_TRUE(StartBuilder());
        ASSERT_EQ(gBuilder.lastTileIndex, 1);
    }
    static void Import(const std::string& picture) {
        plat::headless::PushRequesterAnswer(picture);
        MenuAction(kImportItem);
    }
    static std::vector<std::string> SavedNames() {
        EXPECT_TRUE(WriteMapFile("saved"));
        std::vector<std::string> names;
        for (const wf::BuilderMapRecord& r : wf::ParseBuilderMap(ReadLines("saved")).records) {
            names.push_back(r.tileName + "#" + std::to_string(r.libraryIndex));
        }
        return names;
    }
};

TEST_F(BuilderImportRefresh, RefreshShowsNewAndChangedGraphicsAndKeepsTheTilesOfARemovedType) {
    TakeUndoSnapshot();
    const int undoCounter = gBuilder.undoCounter;
    gBuilder.actualTile = TileTypeIndex("wall");
    WritePng("GFX/lava.png", 16, 16, 250, 80, 0);
    WriteDescriptor("GFX/lava.dll", TemplateRows());
    WritePng("GFX/wall.png", 8, 4, 0, 200, 0);
    std::filesystem::remove("GFX/rock.png");
    plat::headless::ClearDraws();

    MenuAction(kRefreshItem);
    EXPECT_EQ(TileTypeIndex("rock"), -1);
    const int lava = TileTypeIndex("lava"), wall = TileTypeIndex("wall");
    ASSERT_EQ(lava, 0);
    ASSERT_EQ(wall, 1);
    EXPECT_EQ(gBuilder.actualTile, wall);  // the selection follows its type
    EXPECT_EQ(gBuilder.tileLibrary[wall].width, 8);
    // The wall tile shows the new graphic at its own size; the rock tile keeps its name and index.
    const MapTile& rockTile = gBuilder.mapTiles[0];
    const MapTile& wallTile = gBuilder.mapTiles[1];
    EXPECT_EQ(wallTile.sprite.id, gBuilder.tileLibrary[wall].sprite.id);
    EXPECT_EQ(wallTile.width, 64);
    EXPECT_EQ(rockTile.name, "rock");
    EXPECT_EQ(rockTile.active, 1);
    EXPECT_THAT(SavedNames(), ElementsAre("rock#0", "wall#1"));
    EXPECT_EQ(gBuilder.undoCounter, undoCounter);
    EXPECT_TRUE(Exists(UndoSnapshotPath(undoCounter - 1)));
    // The thumbnails are drawn again, the new type's among them.
    int thumbnails = 0;
    for (const auto& d : plat::headless::Draws()) thumbnails += d.kind == plat::headless::DrawRecord::kWindowImage;
    EXPECT_EQ(thumbnails, 2);
}

TEST_F(BuilderImportRefresh, ImportWritesGraphicAndDescriptorFromTheTemplateAndSelectsTheNewType) {
    WritePng("pictures/lava.png", 16, 8, 250, 80, 0);
    Import(dir_.string() + "/pictures/lava.png");
    EXPECT_EQ(plat::headless::Requesters().back().title, "MAP-BUILDER: Import Tile:");
    EXPECT_EQ(ReadLines("GFX/lava.dll"), wf::DescriptorFileLines(TemplateRows()));
    const int lava = TileTypeIndex("lava");
    ASSERT_GE(lava, 0);
    EXPECT_EQ(gBuilder.tileLibrary[lava].width, 16);
    EXPECT_EQ(gBuilder.actualTile, lava);
    EXPECT_EQ(gBuilder.descriptorTileName, "lava");
    EXPECT_THAT(SavedNames(), ElementsAre("rock#1", "wall#2"));
    // Each key field's tooltip says what its key does.
    const auto* collisionKey = plat::headless::FindControl(kDescriptorWindow, gBuilder.descriptorRowBase + 1);
    ASSERT_NE(collisionKey, nullptr);
    EXPECT_EQ(collisionKey->tooltip, "Please enter value for worldFTileCollision below:\n" +
                                         wf::DescriptorKeyMeaning("worldFTileCollision"));
    EXPECT_TRUE(plat::headless::MessageBoxes().empty());
}

TEST_F(BuilderImportRefresh, ImportAsksBeforeReplacingAndRefusesWhatItCannotImport) {
    WritePng("in/wall.png", 4, 4, 1, 2, 3);
    WriteRaw("in/notes.txt", "not a picture");
    WritePng("in/x.png.png", 4, 4, 1, 2, 3);
    const std::string wallGraphic = ReadRaw("GFX/wall.png"), wallDescriptor = ReadRaw("GFX/wall.dll");
    plat::headless::PushYesNoAnswer(false);
    Import(dir_.string() + "/in/wall.png");
    EXPECT_EQ(ReadRaw("GFX/wall.png"), wallGraphic);
    const struct {
        const char* file;
        const char* message;
    } refused[] = {{"in/notes.txt", "as a picture"}, {"in/x.png.png", "holds the graphics extension .png"}};
    for (const auto& r : refused) {
        Import(dir_.string() + "/" + r.file);
        ASSERT_FALSE(plat::headless::MessageBoxes().empty()) << r.file;
        EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr(r.message));
    }
    EXPECT_THAT(plat::ListDirectory("GFX/", "*"), ElementsAre("rock.dll", "rock.png", "tree.png", "wall.dll", "wall.png"));

    plat::headless::PushYesNoAnswer(true);
    Import(dir_.string() + "/in/wall.png");
    EXPECT_NE(ReadRaw("GFX/wall.png"), wallGraphic);
    EXPECT_EQ(ReadRaw("GFX/wall.dll"), wallDescriptor);  // the tile's own descriptor is kept
    EXPECT_EQ(gBuilder.tileLibrary[TileTypeIndex("wall")].width, 4);
}

}  // namespace
