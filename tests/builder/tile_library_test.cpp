// The tile library and descriptor saving: graphics without descriptors skipped, the usable
// flag, a corrupt graphic, rebuilds resetting the selection and sizes, and saving the rows.
#include <gmock/gmock.h>

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERINIODA.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERWINDOW.h"
#include "builder_fixture.h"
#include "platform/windows.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class BuilderTileLibrary : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        gBuilderSettings.GFXPATH = gBuilder.startDirectory + "GFX/";
        gBuilderSettings.GFXCODEC = ".png";
    }
};

TEST_F(BuilderTileLibrary, OnlyGraphicsWithDescriptorsAndTheUsableFlag) {
    // Hand-written descriptors: only known keys (not usable) and the same with the trailer.
    WritePng("GFX/plain.png", 4, 4, 9, 9, 9);
    WriteLines("GFX/plain.dll", {"hp", "5", "worldFTileCollision", "257"});
    WritePng("GFX/signed.png", 4, 4, 9, 9, 9);
    WriteDescriptor("GFX/signed.dll", {{"hp", "5"}});
    // A corrupt graphic with a descriptor is a tile type without a sprite; it is the last one.
    WriteRaw("GFX/zbroken.png", "\x89PNG\r\n\x1a\n not really a png");
    WriteDescriptor("GFX/zbroken.dll", {{"hp", "1"}});

    BuildTileLibrary();
    struct Expected {
        const char* name;
        bool sprite;
        int8_t usable;
        float width, height;
    };
    const Expected expected[] = {
        {"plain", true, 0, 4, 4}, {"rock", true, 1, 32, 16}, {"signed", true, 1, 4, 4},
        {"wall", true, 1, 64, 64}, {"zbroken", false, 0, 0, 0},
    };
    ASSERT_EQ(gBuilder.tileLibrary.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const TileType& t = gBuilder.tileLibrary[i];
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.name, expected[i].name);
        EXPECT_EQ(t.sprite.Valid(), expected[i].sprite);
        EXPECT_EQ(t.usable, expected[i].usable);
        EXPECT_EQ(t.width, expected[i].width);
        EXPECT_EQ(t.height, expected[i].height);
    }
    EXPECT_EQ(gBuilder.tileLibrary[0].descriptor.worldFTileCollision, 1);  // low byte of 257
    EXPECT_EQ(gBuilder.tileLibrary[1].descriptor.hp, 3);
    EXPECT_EQ(gBuilder.tileLibrary[4].descriptor.hp, 0);  // never read: its graphic failed
    EXPECT_EQ(gBuilder.lastLibraryIndex, 3);
    EXPECT_EQ(gBuilder.actualTile, 3);
}

TEST_F(BuilderTileLibrary, RebuildSelectsTheLastTypeAgainAndDropsResizesAndImages) {
    BuildTileLibrary();
    const int imagesAfterFirstBuild = plat::headless::LiveImages();
    gBuilder.actualTile = 0;
    gBuilder.tileLibrary[0].width = 99;
    gBuilder.tileLibrary[1].height = 7;
    BuildTileLibrary();
    EXPECT_EQ(gBuilder.actualTile, 1);
    EXPECT_EQ(gBuilder.tileLibrary[0].width, 32);
    EXPECT_EQ(gBuilder.tileLibrary[1].height, 64);
    EXPECT_EQ(plat::headless::LiveImages(), imagesAfterFirstBuild);  // sprites and thumbnails freed
    EXPECT_EQ(imagesAfterFirstBuild, 4);
}

class BuilderDescriptorSaving : public BuilderTileLibrary {
public:
    void SetUp() override {
        BuilderTileLibrary::SetUp();
        OpenBuilderWindows();
        BuildTileLibrary();
        gBuilder.actualTile = TypeIndex("rock");
    }
    static std::vector<std::string> Rows(const std::vector<wf::DescriptorRow>& rows) {
        return wf::DescriptorFileLines(rows);
    }
};

TEST_F(BuilderDescriptorSaving, RowsFromTemplateAndTileAreSavedWithTheTrailerAndReRead) {
    const std::string base = gBuilderSettings.GFXPATH + "rock";
    struct Case {
        const char* label;
        bool withTemplate;
        bool reset;
        std::vector<wf::DescriptorRow> expected;
        int hpAfterReRead;  // the last "hp" pair of the saved file
    };
    const Case cases[] = {
        // rock.dll has two pairs: they fill rows 0 and 1, the template's rows 2 and 3 follow.
        {"fewer pairs than the template", true, false,
         {{"hp", "3"}, {"worldFTileTransparency", "200"}, {"hp", "10"}, {"postEFFECT", ""}}, 10},
        // Without a template the rows are placeholders; only those the tile's file filled are saved.
        {"placeholder rows", false, false, {{"hp", "3"}, {"worldFTileTransparency", "200"}}, 3},
        // After a reset the file holds exactly the template's pairs.
        {"reset then save", true, true, TemplateRows(), 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteDescriptor("GFX/rock.dll", {{"hp", "3"}, {"worldFTileTransparency", "200"}});
        if (!c.withTemplate) std::filesystem::remove("_DATA/DNA.dll");
        const size_t boxesBefore = plat::headless::MessageBoxes().size();
        LoadDescriptorIntoWindow(base);
        if (c.reset) ResetTileDna();
        SetTileDna();
        EXPECT_EQ(ReadLines("GFX/rock.dll"), Rows(c.expected));
        EXPECT_EQ(gBuilder.tileLibrary[gBuilder.actualTile].descriptor.hp, c.hpAfterReRead);
        if (!c.withTemplate) {
            EXPECT_EQ(gBuilder.descriptorRowCount, 97);
            ASSERT_GT(plat::headless::MessageBoxes().size(), boxesBefore);
            EXPECT_EQ(plat::headless::MessageBoxes().back().text,
                      "MAP Builder did not find default DNA\nMAP Builder will use Tile.dll as DNA base");
        }
        WriteDescriptor("_DATA/DNA.dll", TemplateRows());
    }
}

TEST_F(BuilderDescriptorSaving, RowLayoutControlsAndColours) {
    std::vector<wf::DescriptorRow> twenty;
    for (int i = 0; i < 20; ++i) twenty.emplace_back("key" + std::to_string(i), std::to_string(i));
    twenty.emplace_back("skipped", "value; with a semicolon");
    WriteDescriptor("_DATA/DNA.dll", twenty);
    BuildDescriptorRows();
    EXPECT_EQ(gBuilder.descriptorRowCount, 20);
    using plat::headless::FindControl;
    const auto* row15 = FindControl(kDescriptorWindow, 515);
    const auto* row16 = FindControl(kDescriptorWindow, 1016);
    ASSERT_TRUE(row15 && row16);
    EXPECT_EQ(row15->y, 600);
    EXPECT_TRUE(row15->centred);
    EXPECT_EQ(row15->tooltip, "Please enter value for key15 below:");
    EXPECT_EQ(row16->x, 164);
    EXPECT_EQ(row16->y, 20);
    EXPECT_EQ(row16->text, "16");
    const auto* set = FindControl(kDescriptorWindow, 100);
    const auto* kill = FindControl(kDescriptorWindow, 101);
    ASSERT_TRUE(set && kill);
    EXPECT_EQ(set->x, 164);
    EXPECT_EQ(set->y, 160);
    EXPECT_EQ(kill->y, 210);
    EXPECT_TRUE(set->isDefault && kill->isDefault);
    EXPECT_EQ(set->tooltip, "Save The Tile-*DNA* ");

    // A tile's file fills rows by position and turns their key fields green.
    LoadDescriptorIntoWindow(gBuilderSettings.GFXPATH + "rock");
    EXPECT_EQ(FindControl(kDescriptorWindow, 500)->text, "hp");
    EXPECT_EQ(FindControl(kDescriptorWindow, 500)->background.g, 255);
    EXPECT_EQ(FindControl(kDescriptorWindow, 500)->background.r, 0);
    EXPECT_EQ(FindControl(kDescriptorWindow, 502)->text, "key2");
    EXPECT_EQ(plat::WindowTitle(kDescriptorWindow),
              "DNA for Tile: " + gBuilderSettings.GFXPATH + "rock File:rock");
}

TEST_F(BuilderDescriptorSaving, AFileThatCannotBeCreatedKeepsEverything) {
    LoadDescriptorIntoWindow(gBuilderSettings.GFXPATH + "rock");
    plat::SetControlText(kDescriptorWindow, 1000, "77");
    SaveTileDescriptor("no/such/directory/rock.dll");
    ASSERT_FALSE(plat::headless::MessageBoxes().empty());
    EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER ERROR:");
    EXPECT_EQ(plat::headless::MessageBoxes().back().text, "Sorry! Could not save DNA?!?");
    EXPECT_EQ(gBuilder.tileLibrary[gBuilder.actualTile].descriptor.hp, 3);
    EXPECT_EQ(ReadLines("GFX/rock.dll"), Rows({{"hp", "3"}, {"worldFTileTransparency", "200"}}));
}

TEST_F(BuilderTileLibrary, ThumbnailsFillRowsOfTheTileWindow) {
    plat::headless::SetDesktop(1200, 1024, 32);  // a tile window 300 pixels wide
    for (const char* name : {"a1", "a2", "a3", "a4"}) {
        WritePng(std::string("GFX/") + name + ".png", 4, 4, 1, 2, 3);
        WriteDescriptor(std::string("GFX/") + name + ".dll", {{"hp", "1"}});
    }
    WriteRaw("GFX/a5.png", "broken");  // no thumbnail: keeps the position, takes no cell
    WriteDescriptor("GFX/a5.dll", {{"hp", "1"}});
    OpenBuilderWindows();
    BuildTileLibrary();
    plat::headless::ClearDraws();
    DrawThumbnails();
    std::vector<std::pair<int, int>> cells;
    for (const auto& d : plat::headless::Draws()) {
        if (d.kind == plat::headless::DrawRecord::kWindowImage && d.window == kTileWindow) {
            cells.emplace_back(d.x, d.y);
            EXPECT_EQ(d.width, 48);
        }
    }
    // a1..a4, then a5 (no thumbnail), rock, wall: six cells, five to a row.
    EXPECT_THAT(cells, ElementsAre(std::pair{0, 0}, std::pair{50, 0}, std::pair{100, 0}, std::pair{150, 0},
                                   std::pair{200, 0}, std::pair{0, 50}));
    const TileType& broken = gBuilder.tileLibrary[TypeIndex("a5")];
    EXPECT_EQ(broken.thumbX, 200);
    EXPECT_EQ(gBuilder.tileLibrary[TypeIndex("rock")].thumbX, 200);
    EXPECT_EQ(plat::headless::Draws().front().kind, plat::headless::DrawRecord::kWindowFill);
    EXPECT_EQ(plat::headless::Draws().front().colour.r, 200);
}
