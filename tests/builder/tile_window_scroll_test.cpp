// The tile window with more tile types than it shows: the wheel and the scroll bar move its rows,
// the cells keep their size and order, and a click picks the type it shows at the pointer.
#include <gmock/gmock.h>

#include <set>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder_fixture.h"
#include "platform/windows.h"

using plat::headless::DrawRecord;

namespace {

constexpr int kTypes = 300;  // t000..t299, between rock and wall: 302 types, 51 rows of 6
constexpr int kLastScrollRow = 51 - 5;  // the 256-pixel-high window holds 5 whole rows

class BuilderTileWindowScroll : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        for (int i = 0; i < kTypes; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "t%03d", i);
            WritePng(std::string("GFX/") + name + ".png", 4, 4, i % 256, 7, 7);
            WriteDescriptor(std::string("GFX/") + name + ".dll", TemplateRows());
        }
        ASSERT_TRUE(StartBuilder());
        ASSERT_EQ(gBuilder.tileLibrary.size(), static_cast<size_t>(kTypes + 2));
        ASSERT_EQ(plat::WindowClientWidth(kTileWindow), 320);
        ASSERT_EQ(plat::WindowClientHeight(kTileWindow), 256);
    }
    // The library indices of the thumbnails drawn since the last ClearDraws, by their image.
    static std::vector<int> DrawnTypes() {
        std::vector<int> drawn;
        for (const DrawRecord& d : plat::headless::Draws()) {
            if (d.kind != DrawRecord::kWindowImage || d.window != kTileWindow) continue;
            for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
                if (gBuilder.tileLibrary[i].thumbnail.id == d.image) drawn.push_back(static_cast<int>(i));
            }
        }
        return drawn;
    }
    static std::vector<int> Range(int first, int last) {
        std::vector<int> r;
        for (int i = first; i <= last; ++i) r.push_back(i);
        return r;
    }
    static void Wheel(int notches) {
        plat::headless::SetMouse(100, 100, false, false, notches);
        plat::headless::ClearDraws();
        HandleEvent({plat::kEventWheel, kTileWindow, 0});
    }
    static void Click(int x, int y) {
        plat::headless::SetWindowMouse(kTileWindow, x, y);
        plat::headless::ClearDraws();
        HandleEvent({plat::kEventLeftButton, kTileWindow, 0});
    }
    // The bar's thumb as drawn since the last ClearDraws: its top, or -1 when no bar was drawn.
    static int BarThumbTop() {
        for (const DrawRecord& d : plat::headless::Draws()) {
            if (d.kind == DrawRecord::kWindowFill && d.window == kTileWindow && d.x == 320 - 12 + 2) return d.y;
        }
        return -1;
    }
};

TEST_F(BuilderTileWindowScroll, TheWheelMovesTheRowsAndAClickPicksTheTypeShownThere) {
    plat::headless::ClearDraws();
    HandleEvent({plat::kEventRepaint, kTileWindow, 0});
    EXPECT_EQ(DrawnTypes(), Range(0, 35));  // five whole rows of six and the top of the sixth
    EXPECT_EQ(BarThumbTop(), 0);

    Wheel(-3);  // three notches down: six rows
    EXPECT_EQ(gBuilder.tileScrollRow, 6);
    EXPECT_EQ(DrawnTypes(), Range(36, 71));
    EXPECT_GT(BarThumbTop(), 0);
    // The cells keep their layout below the window's top: row 7, column 2 is type 44.
    Click(2 * 50 + 24, 1 * 50 + 24);
    EXPECT_EQ(gBuilder.actualTile, 44);
    EXPECT_EQ(gBuilder.tileLibrary[44].thumbY, 50);
    EXPECT_EQ(gBuilder.tileLibrary[0].thumbY, -300);
    Wheel(1);
    EXPECT_EQ(gBuilder.tileScrollRow, 4);

    // The rows stop at the last one that still fills the window, and at the first.
    Wheel(-1000);
    EXPECT_EQ(gBuilder.tileScrollRow, kLastScrollRow);
    EXPECT_EQ(DrawnTypes(), Range(kLastScrollRow * 6, kTypes + 1));
    Click(24, 4 * 50 + 24);
    EXPECT_EQ(gBuilder.actualTile, 300);
    Wheel(1000);
    EXPECT_EQ(gBuilder.tileScrollRow, 0);
    EXPECT_EQ(DrawnTypes(), Range(0, 35));
}

TEST_F(BuilderTileWindowScroll, TheScrollBarJumpsAndASelectedTypeIsScrolledIntoView) {
    Click(320 - 6, 255);  // the bar's bottom end: the last rows
    EXPECT_EQ(gBuilder.tileScrollRow, kLastScrollRow);
    EXPECT_EQ(gBuilder.actualTile, TypeIndex("wall"));  // a bar click selects nothing (wall: read last)
    Click(320 - 6, 128);  // its middle: the middle rows
    EXPECT_NEAR(gBuilder.tileScrollRow, kLastScrollRow / 2, 1);
    Click(320 - 6, 0);
    EXPECT_EQ(gBuilder.tileScrollRow, 0);

    SelectTileType(250);  // row 41
    EXPECT_EQ(gBuilder.tileScrollRow, 41 - 4);
    const std::vector<int> shown = DrawnTypes();
    EXPECT_NE(std::find(shown.begin(), shown.end(), 250), shown.end());
    SelectTileType(3);  // row 0
    EXPECT_EQ(gBuilder.tileScrollRow, 0);
    plat::headless::ClearDraws();
    SelectTileType(20);  // already shown: nothing moves, nothing is drawn
    EXPECT_EQ(gBuilder.tileScrollRow, 0);
    EXPECT_TRUE(DrawnTypes().empty());
}

TEST_F(BuilderTileWindowScroll, AFewTypesNeedNoBarAndTheWheelLeavesThemWhereTheyAre) {
    for (int i = 0; i < kTypes; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "t%03d", i);
        std::filesystem::remove(std::string("GFX/") + name + ".dll");
    }
    MenuAction(116);  // Refresh
    ASSERT_EQ(gBuilder.tileLibrary.size(), 2u);
    Wheel(-2);
    EXPECT_EQ(gBuilder.tileScrollRow, 0);
    plat::headless::ClearDraws();
    DrawThumbnails();
    EXPECT_EQ(BarThumbTop(), -1);
    EXPECT_EQ(DrawnTypes(), Range(0, 1));
}

}  // namespace
