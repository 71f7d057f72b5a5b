// Drawing of world objects and the screen effects through whole frames on the headless backend:
// blend pairs from postEffect, rotated corners, the mirror, smoothing and picture-in-picture
// grabs and draws, and the effects on a screen whose bottom bar comes out negative.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/IO.h"
#include "engine/SGFXCORE.h"
#include "platform/display.h"
#include "world_fixture.h"

namespace {

int ImageWidthOf(const plat::headless::DrawRecord& d) { return plat::ImageWidth(plat::Image{d.image}); }
int ImageHeightOf(const plat::headless::DrawRecord& d) { return plat::ImageHeight(plat::Image{d.image}); }

// A 20 x 10 object spinning a quarter turn per frame: at angle 0 its quad is the box turned by a
// quarter turn about its centre; a quarter turn later it is the box upside down.
TEST_F(WorldTest, RotationBendsTheQuadForTheCurrentAngleThenAdvancesIt) {
    WorldObject& o = Add(100, 100);
    o.width = 20;
    const float quarter = 1.5707964f;
    o.rotateSpeed = quarter;
    const float expected[2][4][2] = {{{15, -5}, {15, 15}, {5, 15}, {5, -5}},   // top-left, top-right, ...
                                     {{20, 10}, {0, 10}, {0, 0}, {20, 0}}};
    for (int frame = 0; frame < 2; ++frame) {
        Frames(1);
        const Draw d = Sprites().at(0);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(d.corners[k].x, expected[frame][k][0], 1e-4) << "frame " << frame << " corner " << k;
            EXPECT_NEAR(d.corners[k].y, expected[frame][k][1], 1e-4) << "frame " << frame << " corner " << k;
        }
    }
    EXPECT_FLOAT_EQ(o.angle, 2 * quarter);
}

// A mirror object 40 x 50 at x 100 (world offset (0, 0)): the area below it, one fifth taller,
// is grabbed, squeezed to the object's size and drawn over it with the mirror opacity.
TEST_F(WorldTest, MirrorGrabsTheAreaBelowTheObjectAndLaysItOver) {
    struct Case {
        const char* name;
        float y, height;
        int32_t mirror;
        int8_t state, overview;
        int grabHeight;  // 0: nothing grabbed, nothing drawn
        int opacity;
    };
    const Case cases[] = {{"plain", 200, 50, 128, 1, 0, 60, 128},
                          {"out of play still mirrors", 200, 50, 128, 0, 0, 60, 128},
                          {"opacity kept within 0..255", 200, 50, 300, 1, 0, 60, 255},
                          {"grab clipped by the screen's bottom", 960, 50, 128, 1, 0, 14, 128},
                          {"below the screen: nothing to grab", 1000, 50, 128, 1, 0, 0, 0},
                          {"negative height: nothing to grab", 200, -50, 128, 1, 0, 0, 0},
                          {"mirror 0: no effect", 200, 50, 0, 1, 0, 0, 0}};
    for (const Case& c : cases) {
        ResetWorld();
        WorldObject& o = Add(100, c.y);
        o.width = 40;
        o.height = c.height;
        o.mirror = c.mirror;
        o.state = c.state;
        Frames(1);
        std::vector<Draw> mirrors;
        for (const Draw& d : Sprites())
            if (d.drawable != o.sprite.id) mirrors.push_back(d);
        ASSERT_EQ(mirrors.size(), c.grabHeight > 0 ? 1u : 0u) << c.name;
        if (c.grabHeight == 0) continue;
        EXPECT_EQ(ImageWidthOf(mirrors[0]), 40) << c.name;
        EXPECT_EQ(ImageHeightOf(mirrors[0]), c.grabHeight) << c.name;
        EXPECT_EQ(mirrors[0].width, 40) << c.name;
        EXPECT_EQ(mirrors[0].height, 50) << c.name;
        EXPECT_EQ(mirrors[0].x, 100) << c.name;
        EXPECT_EQ(mirrors[0].y, static_cast<int>(c.y)) << c.name;
        EXPECT_EQ(mirrors[0].opacity, c.opacity) << c.name;
    }
    // In the overview the mirror is grabbed but not drawn.
    ResetWorld();
    Add(100, 200).mirror = 128;
    gState.overviewMode = 1;
    Frames(1);
    EXPECT_EQ(Sprites().size(), 1u);
}

// A 1280x1024 source on a 1920x1080 desktop: the 16:10 band is taller than the screen, so the
// bottom bar comes out negative; smoothing (two faint copies at (-1, -1) and (1, 1)) and the
// quarter-size picture in picture at (1, 1) still grab only the upper-left 90 % of the screen,
// and a mirror, drawn last, grabs a screen that holds them.
TEST_F(WorldTest, ScreenEffectsGrabTheUpperLeftOfTheScreenEvenWithANegativeBottomBar) {
    plat::headless::Reset();
    SetStartValues();
    plat::headless::SetDesktop(1920, 1080, 32);
    WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                "SIMCORE", "MAPS/", "MAXOBJECTS", "10", "SOURCEWIDTH", "1280", "SOURCEHEIGHT",
                                "1024", "APPSMOOTH", "1", "PIP", "1"});
    WriteLines("CORE/texts.txt", {"#ERROR_UNKNOWN", "?"});
    WriteLines("CORE/codecs.crc", {"GFXCODEC", "", ".png", ""});
    WritePng("GFX/rock.png", 8, 8, 10, 20, 30);
    WriteLines("GFX/rock.dll", {"worldFTileTransparency", "255", "worldFTileIsMirror", "90"});
    WriteLines("MAPS/LVL0.dll", {"0", "0", "TILE", "rock", "0", "0", "100", "64", "64", "0", "ENGINETILEINFOEND"});
    RunStartUpSteps();
    LoadArea();
    ASSERT_LT(gState.bottomBarHeight, 0);
    Frames(1);
    const std::vector<Draw> s = Sprites();
    ASSERT_EQ(s.size(), 5u);  // the rock, smoothing twice, picture in picture, mirror
    struct Expected {
        int x, y, opacity, width, height;
    };
    const Expected effects[] = {{-1, -1, 64, 1728, 972}, {1, 1, 64, 1728, 972}, {1, 1, 200, 432, 243}};
    for (int k = 0; k < 3; ++k) {
        const Draw& d = s[1 + k];
        EXPECT_EQ(std::vector<int>({d.x, d.y, d.opacity, d.width, d.height}),
                  std::vector<int>({effects[k].x, effects[k].y, effects[k].opacity, effects[k].width,
                                    effects[k].height}))
            << "effect draw " << k;
        EXPECT_EQ(ImageWidthOf(d), 1728);  // 90 % of the screen, not of the taller band
        EXPECT_EQ(ImageHeightOf(d), 972);
    }
    EXPECT_EQ(s[4].opacity, 90);
    // Each effect frees its previous image and drawable: nothing piles up from frame to frame.
    const int images = plat::headless::LiveImages();
    const int drawables = plat::headless::LiveDrawables();
    Frames(3);
    EXPECT_EQ(plat::headless::LiveImages(), images);
    EXPECT_EQ(plat::headless::LiveDrawables(), drawables);
}

}  // namespace
