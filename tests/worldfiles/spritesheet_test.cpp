// Cutting sprite sheets: how many cells a layout gives a picture (Tiled's rule), what it refuses,
// and which cells come out with which names and pixels.
#include "worldfiles/spritesheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/sheet_picture.h"

using ::testing::HasSubstr;

namespace {

TEST(SpriteSheetLayout, CountsWholeCellsAndRefusesWhatCannotCutThePicture) {
    const struct {
        wf::SheetLayout layout;
        int width, height;
        int columns, rows;     // expected; 0 0 with a problem
        const char* problem;   // "" when the layout fits
    } cases[] = {
        {{16, 16, 0, 0}, 64, 32, 4, 2, ""},
        {{16, 16, 1, 2}, 71, 53, 4, 3, ""},          // margin 1 on both sides, 2 between cells
        {{16, 16, 1, 2}, 70, 53, 3, 3, ""},          // one pixel short of the fourth column
        {{32, 32, 1, 1}, 265, 199, 8, 6, ""},        // Tiled's desert tileset
        {{16, 8, 0, 0}, 40, 20, 2, 2, ""},           // the rest at the right and bottom is left out
        {{16, 16, 0, 0}, 16, 16, 1, 1, ""},
        {{1, 1, 0, 0}, 128, 128, 128, 128, ""},      // exactly the most cells one sheet may have
        {{0, 16, 0, 0}, 64, 64, 0, 0, "1 pixel or more"},
        {{16, 0, 0, 0}, 64, 64, 0, 0, "1 pixel or more"},
        {{16, 16, -1, 0}, 64, 64, 0, 0, "cannot be negative"},
        {{16, 16, 0, -2}, 64, 64, 0, 0, "cannot be negative"},
        {{100, 16, 0, 0}, 64, 64, 0, 0, "not one whole 100 x 16 cell"},
        {{16, 16, 60, 0}, 64, 64, 0, 0, "fits into the picture of 64 x 64"},
        {{1, 1, 0, 0}, 129, 128, 0, 0, "more than the 16384"},
    };
    for (const auto& c : cases) {
        const std::string where = std::to_string(c.layout.tileWidth) + "x" + std::to_string(c.layout.tileHeight) + " m" +
                                  std::to_string(c.layout.margin) + " s" + std::to_string(c.layout.spacing) + " on " +
                                  std::to_string(c.width) + "x" + std::to_string(c.height);
        const std::string problem = wf::SheetLayoutProblem(c.layout, c.width, c.height);
        if (c.problem[0] == '\0') {
            EXPECT_EQ(problem, "") << where;
            EXPECT_EQ(wf::SheetColumns(c.layout, c.width), c.columns) << where;
            EXPECT_EQ(wf::SheetRows(c.layout, c.height), c.rows) << where;
        } else {
            EXPECT_THAT(problem, HasSubstr(c.problem)) << where;
        }
    }
}

TEST(SpriteSheetCut, KeepsTheVisibleCellsWithTheirIdsNamesAndPixels) {
    const struct {
        TestSheet sheet;
        std::vector<int> ids;  // the cells expected, in order
    } cases[] = {
        {{3, 2, {8, 4, 0, 0}, {}, 0, 0}, {0, 1, 2, 3, 4, 5}},
        {{4, 3, {16, 16, 1, 2}, {1, 5, 11}, 0, 0}, {0, 2, 3, 4, 6, 7, 8, 9, 10}},  // empty cells keep their ids
        {{2, 2, {5, 7, 3, 1}, {0}, 1, 2}, {1, 2, 3}},                             // a rest past the last cell
        {{1, 1, {4, 4, 0, 0}, {0}, 0, 0}, {}},
    };
    for (const auto& c : cases) {
        const plat::Pixels picture = MakeSheetPicture(c.sheet);
        const std::vector<wf::SheetCell> cells = wf::CutSheet(picture, c.sheet.layout, "tiles");
        std::vector<int> ids;
        for (const wf::SheetCell& cell : cells) {
            ids.push_back(cell.id);
            EXPECT_EQ(cell.name, "tiles_" + std::to_string(cell.id));
            EXPECT_EQ(cell.column, cell.id % c.sheet.columns);
            EXPECT_EQ(cell.row, cell.id / c.sheet.columns);
            std::string why;
            EXPECT_TRUE(IsSheetCell(cell.pixels, cell.id, c.sheet.layout.tileWidth, c.sheet.layout.tileHeight, why))
                << "cell " << cell.id << ": " << why;
        }
        EXPECT_EQ(ids, c.ids);
    }
}

TEST(SpriteSheetCut, OneVisiblePixelKeepsACellAndABadLayoutCutsNothing) {
    TestSheet sheet{2, 1, {4, 4, 0, 0}, {0, 1}, 0, 0};
    plat::Pixels picture = MakeSheetPicture(sheet);
    SheetByte(picture, 7, 3, 3) = 1;  // the last pixel of cell 1, barely there
    const std::vector<wf::SheetCell> cells = wf::CutSheet(picture, sheet.layout, "s");
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].name, "s_1");
    EXPECT_EQ(cells[0].x, 4);
    EXPECT_TRUE(wf::CutSheet(picture, {0, 4, 0, 0}, "s").empty());
    EXPECT_TRUE(wf::CutSheet(picture, {9, 4, 0, 0}, "s").empty());
    EXPECT_EQ(wf::SheetTileName("grass", 0), "grass_0");
    EXPECT_EQ(wf::SheetTileName("a_b", 255), "a_b_255");
}

TEST(SpriteSheetCut, TheTransparentColourClearsItsPixelsAndACellOfOnlyThatColour) {
    // 1 x 1 cells: cell id is the colour (id, 0, 0); with 2 x 2 cells, cell 3 holds (3, 0, 0) once.
    TestSheet dots{4, 1, {1, 1, 0, 0}, {}, 0, 0};
    wf::SheetLayout keyed = dots.layout;
    keyed.transparentColour = 0x020000;
    std::vector<int> ids;
    for (const wf::SheetCell& cell : wf::CutSheet(MakeSheetPicture(dots), keyed, "d")) ids.push_back(cell.id);
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 3}));
    TestSheet squares{4, 1, {2, 2, 0, 0}, {}, 0, 0};
    wf::SheetLayout layout = squares.layout;
    layout.transparentColour = 0x030000;
    const std::vector<wf::SheetCell> cells = wf::CutSheet(MakeSheetPicture(squares), layout, "q");
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[3].pixels.rgba[3], 0);   // (3, 0, 0) at the cell's top-left
    EXPECT_EQ(cells[3].pixels.rgba[7], 255);  // (3, 1, 0) beside it stays
    EXPECT_EQ(cells[2].pixels.rgba[3], 255);
}

}  // namespace
