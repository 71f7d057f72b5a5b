// "Import Tileset...": a sprite sheet through its layout window into tile types <sheet>_<id>, with
// the pixels of its cells, the map and undo history kept; bad input refused with nothing written.
#include <gmock/gmock.h>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERSHEET.h"
#include "builder/BUILDERio.h"
#include "builder_fixture.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "tests/support/sheet_picture.h"
#include "worldfiles/mapfile.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kImportTilesetItem = 119;
const plat::Colour kGrid{255, 0, 255};

class BuilderSheetImport : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        wf::WriteMapFile("1", {{"rock", 0, 10, 20, 32, 16, 1}, {"wall", 2, 50, 60, 64, 64, 2}});
        ASSERT_TRUE(StartBuilder());
    }
    // The sheet written as a PNG below the working directory; its path.
    std::string WriteSheet(const std::string& path, const TestSheet& sheet) {
        const std::filesystem::path p(path);
        std::filesystem::create_directories(p.parent_path());
        EXPECT_TRUE(plat::WritePngFile(path, MakeSheetPicture(sheet)));
        return (dir_ / path).string();
    }
    // "Import Tileset..." with the picture chosen in the requester.
    static void OpenThroughMenu(const std::string& picture) {
        plat::headless::PushRequesterAnswer(picture);
        MenuAction(kImportTilesetItem);
    }
    static void TypeLayout(const wf::SheetLayout& l) {
        plat::SetControlText(kSheetWindow, kSheetWidthField, std::to_string(l.tileWidth));
        plat::SetControlText(kSheetWindow, kSheetHeightField, std::to_string(l.tileHeight));
        plat::SetControlText(kSheetWindow, kSheetMarginField, std::to_string(l.margin));
        plat::SetControlText(kSheetWindow, kSheetSpacingField, std::to_string(l.spacing));
    }
    static void Press(int button) { HandleEvent({plat::kEventControl, kSheetWindow, button}); }
    static std::vector<std::string> FieldTexts() {
        std::vector<std::string> texts;
        for (int f : {kSheetWidthField, kSheetHeightField, kSheetMarginField, kSheetSpacingField}) {
            texts.push_back(plat::ControlText(kSheetWindow, f));
        }
        return texts;
    }
    // Fills of the grid colour drawn into the layout window since the last ClearDraws.
    static int GridLines() {
        int lines = 0;
        for (const auto& d : plat::headless::Draws()) {
            lines += d.kind == plat::headless::DrawRecord::kWindowFill && d.window == kSheetWindow &&
                     d.colour.r == kGrid.r && d.colour.g == kGrid.g && d.colour.b == kGrid.b;
        }
        return lines;
    }
};

TEST_F(BuilderSheetImport, ASheetWithMarginAndSpacingBecomesOneTypePerVisibleCellWithItsPixels) {
    TakeUndoSnapshot();
    const int undoCounter = gBuilder.undoCounter;
    const TestSheet sheet{4, 3, {16, 12, 2, 3}, {1, 6}, 5, 0};
    const std::string picture = WriteSheet("art/forest.png", sheet);
    OpenThroughMenu(picture);
    EXPECT_EQ(plat::headless::Requesters().back().title, "MAP-BUILDER: Import Tileset:");
    ASSERT_TRUE(plat::WindowExists(kSheetWindow));
    EXPECT_EQ(plat::WindowTitle(kSheetWindow), "Tileset layout: forest");
    EXPECT_THAT(FieldTexts(), ElementsAre("32", "32", "0", "0"));  // no tileset beside it

    // The grid of the typed layout is drawn over the picture before anything is written.
    TypeLayout(sheet.layout);
    plat::headless::ClearDraws();
    Press(kSheetGridButton);
    EXPECT_EQ(GridLines(), 2 * (4 + 3));
    EXPECT_EQ(gBuilder.sheetNote, "4 x 3 cells, 10 not transparent: 10 tile types.");
    EXPECT_THAT(plat::ListDirectory("GFX/", "forest*"), ElementsAre());

    Press(kSheetImportButton);
    EXPECT_FALSE(plat::WindowExists(kSheetWindow));
    EXPECT_TRUE(plat::headless::MessageBoxes().empty());
    std::vector<std::string> graphics = plat::ListDirectory("GFX/", "forest_*.png");
    EXPECT_THAT(graphics, ElementsAre("forest_0.png", "forest_10.png", "forest_11.png", "forest_2.png", "forest_3.png",
                                      "forest_4.png", "forest_5.png", "forest_7.png", "forest_8.png", "forest_9.png"));
    for (const std::string& file : graphics) {
        const int id = std::stoi(file.substr(7));
        plat::Pixels written;
        ASSERT_TRUE(plat::DecodeImageFile("GFX/" + file, written)) << file;
        std::string why;
        EXPECT_TRUE(IsSheetCell(written, id, 16, 12, why)) << file << ": " << why;
        EXPECT_EQ(ReadLines("GFX/forest_" + std::to_string(id) + ".dll"), wf::DescriptorFileLines(TemplateRows()));
        EXPECT_GE(TileTypeIndex("forest_" + std::to_string(id)), 0) << file;
    }
    // The first new type is selected; the map and the undo history are kept.
    EXPECT_EQ(gBuilder.actualTile, TileTypeIndex("forest_0"));
    EXPECT_EQ(gBuilder.descriptorTileName, "forest_0");
    EXPECT_EQ(gBuilder.lastTileIndex, 1);
    EXPECT_EQ(gBuilder.mapTiles[1].name, "wall");
    EXPECT_EQ(gBuilder.undoCounter, undoCounter);
    EXPECT_EQ(gBuilder.tileLibrary[TileTypeIndex("forest_11")].width, 16);
}

TEST_F(BuilderSheetImport, ATiledTilesetBesideTheSheetFillsTheLayout) {
    const TestSheet sheet{3, 2, {8, 8, 1, 2}, {}, 0, 0};
    const std::string picture = WriteSheet("art/dungeon.png", sheet);
    WriteSheet("art/other.png", sheet);
    // Tilesets are tried in name order: the first names another picture, the second is no tileset.
    WriteRaw("art/a.tsx", R"(<?xml version="1.0"?><tileset name="o" tilewidth="4" tileheight="4"><image source="other.png"/></tileset>)");
    WriteRaw("art/b.tsx", "<map/>");
    WriteRaw("art/c.tsx", R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="Dungeon" tilewidth="8" tileheight="8" spacing="2" margin="1" tilecount="6" columns="3">
 <image source="dungeon.png" trans="010000" width="30" height="20"/>
</tileset>)");
    OpenThroughMenu(picture);
    ASSERT_TRUE(plat::WindowExists(kSheetWindow));
    EXPECT_THAT(FieldTexts(), ElementsAre("8", "8", "1", "2"));
    EXPECT_EQ(gBuilder.sheetNote, "From the Tiled tileset beside it, colour #010000 transparent: 3 x 2 cells, "
                                  "6 not transparent: 6 tile types.");
    EXPECT_EQ(GridLines(), 2 * (3 + 2));  // drawn at once with the tileset's layout
    Press(kSheetImportButton);
    EXPECT_EQ(plat::ListDirectory("GFX/", "dungeon_*.png").size(), 6u);
    // The tileset's transparent colour: cell 1's top-left pixel (1, 0, 0) is the only one of it.
    plat::Pixels cell;
    ASSERT_TRUE(plat::DecodeImageFile("GFX/dungeon_1.png", cell));
    EXPECT_EQ(cell.rgba[3], 0);
    EXPECT_EQ(cell.rgba[7], 255);
}

TEST_F(BuilderSheetImport, ExistingNamesAreAskedAboutOnceForTheWholeSheet) {
    const TestSheet sheet{3, 1, {4, 4, 0, 0}, {}, 0, 0};
    const std::string picture = WriteSheet("art/s.png", sheet);
    WritePng("GFX/s_0.png", 2, 2, 9, 9, 9);
    WriteDescriptor("GFX/s_0.dll", {{"hp", "77"}});
    WriteDescriptor("GFX/s_2.dll", {{"hp", "78"}});
    const std::string oldGraphic = ReadRaw("GFX/s_0.png");

    plat::headless::PushYesNoAnswer(false);
    EXPECT_FALSE(ImportSheet(picture, sheet.layout));
    ASSERT_EQ(plat::headless::MessageBoxes().size(), 1u);
    EXPECT_THAT(plat::headless::MessageBoxes()[0].text, HasSubstr("2 of the sheet's 3 tiles exist already (\"s_0\" and on)"));
    EXPECT_EQ(ReadRaw("GFX/s_0.png"), oldGraphic);
    EXPECT_FALSE(Exists("GFX/s_1.png"));

    plat::headless::PushYesNoAnswer(true);
    EXPECT_TRUE(ImportSheet(picture, sheet.layout));
    EXPECT_EQ(plat::headless::MessageBoxes().size(), 2u);  // one question for both names
    plat::Pixels replaced;
    ASSERT_TRUE(plat::DecodeImageFile("GFX/s_0.png", replaced));
    std::string why;
    EXPECT_TRUE(IsSheetCell(replaced, 0, 4, 4, why)) << why;
    EXPECT_EQ(ReadLines("GFX/s_0.dll"), wf::DescriptorFileLines({{"hp", "77"}}));  // descriptors are kept
    EXPECT_EQ(ReadLines("GFX/s_2.dll"), wf::DescriptorFileLines({{"hp", "78"}}));
    EXPECT_EQ(ReadLines("GFX/s_1.dll"), wf::DescriptorFileLines(TemplateRows()));
}

TEST_F(BuilderSheetImport, BadInputGetsItsBoxAndWritesNothing) {
    const TestSheet sheet{2, 2, {8, 8, 0, 0}, {}, 0, 0};
    const std::string picture = WriteSheet("art/bad.png", sheet);
    const std::string clear = WriteSheet("art/clear.png", TestSheet{2, 1, {8, 8, 0, 0}, {0, 1}, 0, 0});
    WriteRaw("art/broken.png", ReadRaw(picture).substr(0, 40));
    WriteRaw("art/x.png.png", ReadRaw(picture));
    const std::vector<std::string> before = plat::ListDirectory("GFX/", "*");
    const size_t types = gBuilder.tileLibrary.size();
    const struct {
        std::string picture;
        wf::SheetLayout layout;
        const char* message;
    } cases[] = {
        {picture, {0, 8, 0, 0}, "1 pixel or more"},
        {picture, {8, 0, 0, 0}, "1 pixel or more"},
        {picture, {17, 8, 0, 0}, "does not fit the sheet"},
        {picture, {8, 8, 9, 0}, "not one whole 8 x 8 cell"},
        {dir_.string() + "/art/broken.png", {8, 8, 0, 0}, "as a picture"},
        {dir_.string() + "/art/missing.png", {8, 8, 0, 0}, "as a picture"},
        {clear, {8, 8, 0, 0}, "wholly transparent"},
        {dir_.string() + "/art/x.png.png", {8, 8, 0, 0}, "holds the graphics extension .png"},
    };
    for (const auto& c : cases) {
        const size_t boxes = plat::headless::MessageBoxes().size();
        EXPECT_FALSE(ImportSheet(c.picture, c.layout)) << c.message;
        ASSERT_EQ(plat::headless::MessageBoxes().size(), boxes + 1) << c.message;
        EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr(c.message));
        EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr("import"));
        EXPECT_EQ(plat::ListDirectory("GFX/", "*"), before) << c.message;
        EXPECT_EQ(gBuilder.tileLibrary.size(), types);
    }
    // More cells than one sheet may have: a 1 x 1 layout on a picture of 136 x 136 pixels.
    plat::Pixels big;
    big.width = big.height = 136;
    big.rgba.assign(136 * 136 * 4, 255);
    ASSERT_TRUE(plat::WritePngFile("art/big.png", big));
    EXPECT_FALSE(ImportSheet("art/big.png", {1, 1, 0, 0}));
    EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr("18496 cells (136 x 136), more than the 16384"));
    EXPECT_EQ(plat::ListDirectory("GFX/", "*"), before);

    // Through the window: a field that is no number, and a picture that does not decode.
    OpenThroughMenu(picture);
    plat::SetControlText(kSheetWindow, kSheetSpacingField, "2px");
    Press(kSheetImportButton);
    EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr("the spacing \"2px\" is not a whole number"));
    EXPECT_TRUE(plat::WindowExists(kSheetWindow));  // kept open to be mended
    plat::headless::ClearDraws();
    Press(kSheetGridButton);
    EXPECT_EQ(GridLines(), 0);
    EXPECT_THAT(gBuilder.sheetNote, HasSubstr("Cannot cut: the spacing"));
    HandleEvent({plat::kEventCloseRequest, kSheetWindow, 0});
    EXPECT_FALSE(plat::WindowExists(kSheetWindow));
    OpenThroughMenu(dir_.string() + "/art/broken.png");
    EXPECT_FALSE(plat::WindowExists(kSheetWindow));
    EXPECT_THAT(plat::headless::MessageBoxes().back().text, HasSubstr("as a picture"));
    // Cancel closes the window without writing.
    OpenThroughMenu(picture);
    TypeLayout(sheet.layout);
    Press(kSheetCancelButton);
    EXPECT_FALSE(plat::WindowExists(kSheetWindow));
    EXPECT_EQ(plat::ListDirectory("GFX/", "*"), before);
    EXPECT_EQ(plat::headless::LiveImages(), static_cast<int>(2 * gBuilder.tileLibrary.size()));
}

}  // namespace
