// The main loop and one frame on the headless backend: order of steps, the first area load,
// the quit keys, the frame delay, object drawing and the frame-rate count.
#include <gtest/gtest.h>

#include "engine/DDD_NODE.h"
#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/SGFXCORE.h"
#include "engine/basevars.h"
#include "engine/systemcore.h"
#include "engine_fixture.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

namespace {

using Draw = plat::headless::DrawRecord;

class FrameTest : public EngineTest {
protected:
    void StartWorld(const std::vector<std::string>& extraIni = {}) {
        std::vector<std::string> ini = {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                        "SIMCORE", "MAPS/", "WARNINGS", "warn.log", "MAXOBJECTS", "10",
                                        "SOURCEWIDTH", "1280", "SOURCEHEIGHT", "1024"};
        ini.insert(ini.end(), extraIni.begin(), extraIni.end());
        WriteLines("CORE/ini.crc", ini);
        WriteLines("CORE/texts.txt", {"#ERROR_UNKNOWN", "?"});
        WriteLines("CORE/codecs.crc", {"GFXCODEC", "", ".png", ""});
        WritePng("GFX/rock.png", 8, 8, 10, 20, 30);
        WriteLines("GFX/rock.dll", {"worldFTileTransparency", "255"});
        WriteLines("MAPS/LVL0.dll", {"0", "0", "TILE", "rock", "0", "100", "50", "8", "8", "0", "ENGINETILEINFOEND"});
        RunStartUpSteps();
    }
    // Runs the main loop until `frames` flips have happened, then holds Escape and left Alt.
    void RunFrames(int frames, bool escapeHeld = false) {
        plat::headless::SetPollHook([frames, escapeHeld](int) {
            int flips = 0;
            for (const Draw& d : plat::headless::Draws()) flips += d.kind == Draw::kFlip;
            // Keys taken at this poll are tested before the next frame, so the frame that follows
            // this poll is the last one when it completes the count.
            const bool last = flips + 1 >= frames;
            plat::headless::SetKey(plat::kKeyEscape, escapeHeld || last);
            plat::headless::SetKey(plat::kKeyLeftAlt, last);
        });
        RunMainLoop();
        plat::headless::SetPollHook(nullptr);
    }
    static std::vector<Draw> OfKind(Draw::Kind kind) {
        std::vector<Draw> out;
        for (const Draw& d : plat::headless::Draws())
            if (d.kind == kind) out.push_back(d);
        return out;
    }
};

TEST_F(FrameTest, OpensTheScreenAtTheDesktopSize) {
    plat::headless::SetDesktop(1024, 768, 24);
    StartWorld();
    EXPECT_EQ(gState.screenOpen, 1);
    EXPECT_FLOAT_EQ(gState.SCRW, 1024.0f);
    EXPECT_FLOAT_EQ(gState.SCRH, 768.0f);
    EXPECT_EQ(plat::ScreenWidth(), 1024);
}

TEST_F(FrameTest, TheAreaIsLoadedAtTheEndOfTheFirstFrame) {
    StartWorld();
    RunFrames(3);
    EXPECT_EQ(gState.loadedArea, 0);
    // Frame 1 is drawn with an empty world; frames 2 and 3 show the rock.
    std::vector<int> spritesPerFrame(1, 0);
    for (const Draw& d : plat::headless::Draws()) {
        if (d.kind == Draw::kSprite) spritesPerFrame.back() += 1;
        if (d.kind == Draw::kFlip) spritesPerFrame.push_back(0);
    }
    ASSERT_EQ(spritesPerFrame.size(), 4u);
    EXPECT_EQ(spritesPerFrame[0], 0);
    EXPECT_EQ(spritesPerFrame[1], 1);
    EXPECT_EQ(spritesPerFrame[2], 1);
    const std::vector<Draw> sprites = OfKind(Draw::kSprite);
    // The only object is the view origin: it sits at (0, 0) and the offsets hold where it was.
    EXPECT_FLOAT_EQ(gWorld.objects[0].x, 0.0f);
    EXPECT_EQ(sprites[0].x, 100);
    EXPECT_EQ(sprites[0].y, 50);
    EXPECT_EQ(sprites[0].opacity, 255);
}

TEST_F(FrameTest, EachFrameClearsInsideTheThreeDPassThenFlips) {
    StartWorld();
    RunFrames(2);
    std::vector<Draw::Kind> kinds;
    for (const Draw& d : plat::headless::Draws()) {
        if (d.kind == Draw::kBegin3D || d.kind == Draw::kClear || d.kind == Draw::kEnd3D || d.kind == Draw::kFlip)
            kinds.push_back(d.kind);
    }
    const std::vector<Draw::Kind> expected = {Draw::kBegin3D, Draw::kClear, Draw::kEnd3D, Draw::kFlip,
                                              Draw::kBegin3D, Draw::kClear, Draw::kEnd3D, Draw::kFlip};
    EXPECT_EQ(kinds, expected);
    const Draw clear = OfKind(Draw::kClear).front();
    EXPECT_EQ(clear.colour.r, 1);
    EXPECT_EQ(clear.colour.g, 1);
    EXPECT_EQ(clear.colour.b, 1);
}

TEST_F(FrameTest, EscapeAloneKeepsTheLoopRunning) {
    StartWorld();
    RunFrames(12, /*escapeHeld=*/true);
    EXPECT_EQ(OfKind(Draw::kFlip).size(), 12u);
}

// One step of the loop is one frame; with Escape and left Alt held (as taken by the last
// keyboard poll) the step draws nothing more and says the world ends.
TEST_F(FrameTest, AStepIsOneFrameUnlessTheQuitKeysAreHeld) {
    struct Case {
        bool escape, leftAlt, runs;
    };
    const Case cases[] = {{false, false, true}, {true, false, true}, {false, true, true}, {true, true, false}};
    StartWorld();
    for (const Case& c : cases) {
        plat::headless::SetKey(plat::kKeyEscape, c.escape);
        plat::headless::SetKey(plat::kKeyLeftAlt, c.leftAlt);
        plat::PollKeyboard();
        const size_t flipsBefore = OfKind(Draw::kFlip).size();
        EXPECT_EQ(RunMainLoopStep(), c.runs) << "escape " << c.escape << ", left Alt " << c.leftAlt;
        EXPECT_EQ(OfKind(Draw::kFlip).size(), flipsBefore + (c.runs ? 1 : 0));
    }
}

// The frame loop repeats the step until it returns false, then runs what follows it once.
TEST(FrameLoop, RepeatsTheStepUntilItEndsThenFinishes) {
    static int steps = 0;
    static int finishes = 0;
    struct Finished {};
    steps = finishes = 0;
    EXPECT_THROW(plat::RunFrameLoop([] { return ++steps < 5; },
                                    [] {
                                        ++finishes;
                                        throw Finished{};  // leaves the loop that never returns
                                    }),
                 Finished);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(finishes, 1);
}

TEST_F(FrameTest, FrameDelayIsSleptEveryFrame) {
    StartWorld({"MULTITASK", "20"});
    RunFrames(10);
    EXPECT_EQ(plat::headless::SleptMilliseconds(), 200);
}

TEST_F(FrameTest, FrameRateIsTakenOnceASecondAndASlowFrameLowersTheDelay) {
    gSettings.MULTITASK = 20;
    plat::headless::SetClock(500);
    for (int i = 0; i < 3; ++i) CountFrame();
    EXPECT_EQ(gState.frameRateText, "");
    plat::headless::SetClock(1001);
    CountFrame();
    EXPECT_EQ(gState.frameRateText, "4");
    EXPECT_EQ(gSettings.MULTITASK, 19);
    EXPECT_EQ(gState.frameCount, 0);
    EXPECT_EQ(gState.nextSecond, 2001);
    for (int i = 0; i < 60; ++i) CountFrame();
    plat::headless::SetClock(2002);
    CountFrame();
    EXPECT_EQ(gState.frameRateText, "61");
    EXPECT_EQ(gSettings.MULTITASK, 19);  // fast enough: never raised, not lowered
}

class DrawObjectTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        StartWorld();
        gState.lastObjectIndex = 0;
    }
    WorldObject& Add(float x, float y, float alpha, const std::string& postEffect = "", int8_t state = 1) {
        const int index = placed_++;
        WorldObject& o = gWorld.objects[index];
        o.tileDrawable = plat::MakeDrawable(gWorld.tiles[0].sprite);
        o.sprite = o.tileDrawable;
        o.x = x;
        o.y = y;
        o.width = 8;
        o.height = 8;
        o.alpha = alpha;
        o.postEffect = postEffect;
        BlendPairOf(o.postEffect, o.blendSource, o.blendDestination);  // as object creation does
        o.state = state;
        gState.lastObjectIndex = index;
        return o;
    }
    std::vector<Draw> DrawFrame() {
        plat::headless::ClearDraws();
        UpdateWorld();
        std::vector<Draw> out;
        for (const Draw& d : plat::headless::Draws())
            if (d.kind == Draw::kSprite || d.kind == Draw::kBlend) out.push_back(d);
        return out;
    }
    int placed_ = 0;
};

TEST_F(DrawObjectTest, BlendingModeComesFromPostEffect) {
    Add(0, 0, 255, "");
    Add(0, 0, 255, "5x2");
    Add(0, 0, 255, "x2");   // unusable: keeps 5x2
    Add(0, 0, 255, "0x6");  // a zero factor: keeps 5x2
    Add(0, 0, 255, "13x1", 0);  // set although not drawn
    Add(0, 0, 255, "5x");   // unusable: keeps 13x1
    Add(0, 0, 255, "56");   // no "x": keeps 13x1
    Add(0, 0, 255, "2x2");
    Add(0, 0, 255, "14x6");  // a factor outside 1..13: the screen keeps 2x2, and so does the recording
    Add(0, 0, 255, "5x-3");  // likewise
    Add(0, 0, 255, "5x6");  // the normal mode, as for an empty text
    const std::vector<Draw> draws = DrawFrame();
    std::vector<std::pair<int, int>> blends;
    int sprites = 0;
    for (const Draw& d : draws) {
        if (d.kind == Draw::kBlend) blends.push_back({d.source, d.destination});
        if (d.kind == Draw::kSprite) ++sprites;
    }
    const std::vector<std::pair<int, int>> expected = {{5, 6}, {5, 2}, {13, 1}, {2, 2}, {5, 6}};
    EXPECT_EQ(blends, expected);
    EXPECT_EQ(sprites, 10);
}

TEST_F(DrawObjectTest, OnlyObjectsInPlayAndInViewAreDrawn) {
    gSettings.MATRIX_OFFSET_X = 10;
    gSettings.MATRIX_OFFSET_Y = -5;
    Add(-18, 0, 255);          // right edge at offset 0: not in view
    Add(1270, 100, 255);       // left edge exactly at the screen width: drawn
    Add(100, 100, 255, "", -1);  // flickered away
    Add(100, 100, 255, "", 0);   // out of play
    Add(20.5f, 30.5f, 127.5f);   // rounded halves to even
    Add(0, 0, 300);              // opacity kept within 0..255
    Add(0, 0, -4);
    std::vector<Draw> sprites;
    for (const Draw& d : DrawFrame())
        if (d.kind == Draw::kSprite) sprites.push_back(d);
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_EQ(sprites[0].x, 1280);
    EXPECT_EQ(sprites[0].y, 95);
    EXPECT_EQ(sprites[1].x, 30);  // 30.5 -> 30
    EXPECT_EQ(sprites[1].y, 26);  // 25.5 -> 26
    EXPECT_EQ(sprites[1].opacity, 128);
    EXPECT_EQ(sprites[2].opacity, 255);
    EXPECT_EQ(sprites[3].opacity, 0);
}

TEST_F(DrawObjectTest, OverviewDrawsEveryObjectInPlayScaledFromAFifthOfTheScreen) {
    gState.overviewMode = 1;
    gState.zoomX = gState.zoomY = 0.2f;
    gSettings.MATRIX_OFFSET_X = 500;
    Add(0, 0, 255);
    Add(5000, 1000, 255);
    std::vector<Draw> sprites;
    for (const Draw& d : DrawFrame())
        if (d.kind == Draw::kSprite) sprites.push_back(d);
    ASSERT_EQ(sprites.size(), 2u);
    EXPECT_EQ(sprites[0].x, 256);
    EXPECT_EQ(sprites[0].y, 205);  // 204.8
    EXPECT_EQ(sprites[1].x, 1256);
}

}  // namespace
