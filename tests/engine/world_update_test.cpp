// Whole frames of UpdateWorld on small hand-built worlds (headless backend: manual clock, seeded
// random, scripted keys): life, pause, the simulation gate, collisions and touch reactions,
// weapons, following, steering and animation.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/COLLISION.h"
#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/SGFXCORE.h"
#include "engine/systemcore.h"
#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "world_fixture.h"

namespace {

TEST_F(WorldTest, LifeStepsComeAtOnceThenEveryTwoIntervalsUntilTheObjectLeavesPlay) {
    WorldObject& o = AddMover(100, 100, 0, 0, 0);
    o.lifeTime = 3;
    o.timerMS = 100;
    WorldObject& forever = Add(200, 100);
    WorldObject& mayfly = Add(300, 100);
    mayfly.lifeTime = 1;
    mayfly.timerMS = 100;
    Frames(1);
    // The life step runs before the object acts: a last step takes it out before it is drawn.
    EXPECT_EQ(mayfly.state, 0);
    EXPECT_EQ(Sprites().size(), 2u);
    o.lifeTime = 3;
    o.lifeMark = 0;
    std::vector<int64_t> stepsAt;
    for (int frame = 0; frame < 40; ++frame) {
        const int before = o.lifeTime;
        Frames(1);
        if (o.lifeTime != before) stepsAt.push_back(plat::Milliseconds() - 20);
    }
    // The mark is set one interval ahead and passed one interval later.
    EXPECT_EQ(stepsAt, (std::vector<int64_t>{1020, 1240, 1460}));
    EXPECT_EQ(o.state, 0);
    EXPECT_EQ(forever.state, 1);
    EXPECT_EQ(Sprites().size(), 1u);  // only the immortal one is still drawn
}

TEST_F(WorldTest, PauseAndOverviewStopMotionButTheEndOfFramePassRuns) {
    for (int mode = 0; mode < 2; ++mode) {
        ResetWorld();
        gState.pause = mode == 0 ? 1 : 0;
        gState.overviewMode = mode == 1 ? 1 : 0;
        WorldObject& mover = AddMover(100, 100, 1, 1, 4);
        mover.stepH = 0;
        WorldObject& glass = Add(300, 100);
        glass.touchTransparency = 1;
        glass.alpha = 10;
        glass.touchRotate = 1;
        glass.rotateSpeed = 0.5f;
        Frames(1);
        EXPECT_FLOAT_EQ(mover.x, 100) << "mode " << mode;
        EXPECT_EQ(mover.stepH, 1);
        EXPECT_FLOAT_EQ(glass.alpha, 255);
        EXPECT_FLOAT_EQ(glass.rotateSpeed, 0.45f);
        EXPECT_FLOAT_EQ(glass.angle, 0);  // no rotation step
        EXPECT_EQ(Sprites().size(), 2u);
    }
}

TEST_F(WorldTest, RegionScopeSimulatesOnlyObjectsOverlappingTheScreen) {
    struct Case {
        float x, y;
        bool simulated;
    };
    // 10x10 objects with the world offset (5, -5): the box must reach past the left and top
    // edges; the right and bottom edges of the screen still count.
    const Case cases[] = {{-15, 100, false}, {-14.5f, 100, true}, {1275, 100, true}, {1275.5f, 100, false},
                          {100, -5, false},  {100, -4, true},     {100, 1029, true}, {100, 1030, false}};
    gSettings.MATRIX_OFFSET_X = 5;
    gSettings.MATRIX_OFFSET_Y = -5;
    for (const Case& c : cases) {
        WorldObject& o = Add(c.x, c.y);
        o.fadeIn = 10;
        o.alpha = 0;
        o.lifeTime = 5;
        o.timerMS = 100;
    }
    Frames(1);
    for (int i = 0; i <= gState.lastObjectIndex; ++i) {
        EXPECT_FLOAT_EQ(gWorld.objects[i].alpha, cases[i].simulated ? 10 : 0) << "case " << i;
        EXPECT_EQ(gWorld.objects[i].lifeTime, 4) << "life runs also off screen, case " << i;
    }
    gSettings.simulationScope = kScopeMap;
    Frames(1);
    for (int i = 0; i <= gState.lastObjectIndex; ++i) EXPECT_GE(gWorld.objects[i].alpha, 10) << "case " << i;
}

TEST_F(WorldTest, SimulationScopeComesFromTheSimscopeKey) {
    const std::pair<const char*, int8_t> cases[] = {{"MAP", kScopeMap}, {"REGION", kScopeRegion},
                                                    {"map", kScopeRegion}, {nullptr, kScopeRegion}};
    for (const auto& [text, scope] : cases) {
        std::vector<std::string> ini = {"CODECS", "none.crc"};
        if (text != nullptr) ini.insert(ini.end(), {"SIMSCOPE", text});
        WriteLines("CORE/ini.crc", ini);
        SetStartValues();
        ReadConfiguration();
        EXPECT_EQ(gSettings.simulationScope, scope) << (text ? text : "(no key)");
    }
}

TEST_F(WorldTest, MoversHeadingForEachOtherStopSideBySideAndStayBlocked) {
    WorldObject& a = AddMover(100, 100, 1, 0, 3);
    WorldObject& b = AddMover(140, 100, -1, 0, 2);
    Frames(40);
    const float gap = b.x - (a.x + a.width);
    EXPECT_GE(gap, 0);
    EXPECT_LT(gap, 5);  // they stop when the two next steps would overlap
    const float ax = a.x, bx = b.x;
    Frames(20);
    EXPECT_FLOAT_EQ(a.x, ax);
    EXPECT_FLOAT_EQ(b.x, bx);
}

// One collision check of a mover at (100, 100) moving right by 4 against one partner.
TEST_F(WorldTest, CollisionCheckBlocksOnlyOnStrictOverlapWithListedPartnersInPlay) {
    struct Case {
        const char* name;
        float partnerX;
        int8_t partnerCollision, partnerState, moverCollision;
        float moveV;
        bool inList;
        int8_t stepH, stepV;
    };
    const Case cases[] = {
        {"overlap blocks both moving axes", 112, 1, 1, 1, 1, true, 0, 0},
        {"a resting axis keeps its step", 112, 1, 1, 1, 0, true, 0, 1},
        {"touching edges do not overlap", 114, 1, 1, 1, 1, true, 1, 1},
        {"touching on the other side", 94, 1, 1, 1, 1, true, 1, 1},
        {"overlapping on the other side", 94.6f, 1, 1, 1, 1, true, 0, 0},
        {"edges rounded: 113.6 is 114", 113.6f, 1, 1, 1, 1, true, 1, 1},
        {"collision 2 still tests", 112, 1, 1, 2, 1, true, 0, 0},
        {"collision 2 partner is never tested", 112, 2, 1, 1, 1, false, 1, 1},
        {"hidden partner is skipped", 112, 1, -1, 1, 1, true, 1, 1},
        {"empty collision list", 112, 1, 1, 1, 1, false, 1, 1},
    };
    for (const Case& c : cases) {
        ResetWorld();
        WorldObject& partner = Add(c.partnerX, 100, c.partnerCollision);
        partner.state = c.partnerState;
        if (!c.inList) gWorld.collisionList.count = 0;
        WorldObject& mover = AddMover(100, 100, 1, c.moveV, 4, 0);
        mover.collision = c.moverCollision;
        CheckCollision(IndexOf(mover));
        EXPECT_EQ(mover.stepH, c.stepH) << c.name;
        EXPECT_EQ(mover.stepV, c.stepV) << c.name;
    }
    // Apart by 0.4 pixels before rounding, overlapping after it: 105.5 + 9.5 become 106 + 10.
    ResetWorld();
    Add(115.4f, 100, 1);
    WorldObject& mover = AddMover(101.5f, 100, 1, 0, 4, 2);
    mover.width = 9.5f;
    CheckCollision(IndexOf(mover));
    EXPECT_EQ(mover.stepH, 0);
}

TEST_F(WorldTest, SpecialTouchedObjectsLetTheMoverPassOrBounce) {
    struct Case {
        const char* mover;
        const char* touched;
        int32_t touchedPlayer;
        bool passes;
    };
    const Case cases[] = {{"LIGHTBLUE", "LIGHTBLUE", 0, true}, {"LIGHTBLUE", "WALL", 0, false},
                          {"BALL", "LIGHTBLUE", 0, false},     {"BALL", "TRANSVEGI", 1, true},
                          {"BALL", "TRANSWRECKTILE", 1, true}, {"BALL", "TRANSVEGI", 0, false},
                          {"BALL", "HERO", 1, false}};
    for (const Case& c : cases) {
        int turned = 0;
        for (int trial = 0; trial < 30; ++trial) {
            ResetWorld();
            WorldObject& touched = Add(112, 100, 1);
            touched.idString = c.touched;
            touched.playerID = c.touchedPlayer;
            WorldObject& mover = AddMover(100, 100, 1, 1, 4);
            mover.idString = c.mover;
            plat::SeedRandom(trial);
            CheckCollision(IndexOf(mover));
            EXPECT_EQ(mover.stepH == 1 && mover.stepV == 1, c.passes) << c.mover << " on " << c.touched;
            turned += mover.moveH == -1 && mover.moveV == -1;
        }
        // A LIGHTBLUE pair turns back now and then (5 times in 11); nothing else turns.
        const bool bounces = c.passes && c.touchedPlayer == 0;
        EXPECT_EQ(turned > 0 && turned < 30, bounces) << c.mover << " on " << c.touched << ": " << turned;
    }
}

TEST_F(WorldTest, ConveyorsCarryTheMoverInTheFrameTheTouchBlockedIt) {
    struct Case {
        const char* name;
        float dx, dy;
    };
    const Case cases[] = {{"WALKDOWN", 0, 4}, {"WALKUP", 0, -4}, {"WALKLEFT", -4, 0}, {"WALKRIGHT", 4, 0}};
    for (const Case& c : cases) {
        ResetWorld();
        WorldObject& belt = Add(112, 100, 1);
        belt.transport = 1;
        belt.idString = c.name;
        // A player never stalls; the right arrow walks it into the belt.
        WorldObject& player = AddMover(100, 100, 0, 0, 4);
        player.playerID = 1;
        HoldKeys({plat::kKeyRight});
        Frames(1);
        EXPECT_FLOAT_EQ(player.x, 100 + c.dx) << c.name;
        EXPECT_FLOAT_EQ(player.y, 100 + c.dy) << c.name;
    }
}

TEST_F(WorldTest, TouchTransparencyLastsOneFrameAndTouchSpinIsClampedThenDecays) {
    WorldObject& glass = Add(112, 100, 1);
    glass.touchTransparency = 1;
    glass.alpha = glass.baseAlpha = 128;
    WorldObject& spinner = Add(100, 112, 1);
    spinner.touchRotate = 1;
    spinner.rotateSpeed = 0.95f;
    WorldObject& mover = AddMover(100, 100, 1, 1, 4);
    mover.playerID = 1;
    HoldKeys({plat::kKeyRight, plat::kKeyDown});
    Frames(1);
    // The glass was drawn at half opacity in the frame it was touched, then restored.
    EXPECT_EQ(Sprites()[0].opacity, 64);
    EXPECT_FLOAT_EQ(glass.alpha, 128);
    // 0.95 + (1 + 1) / 10 is clamped to 1, then the end of the frame takes 0.05 off.
    EXPECT_FLOAT_EQ(spinner.rotateSpeed, 0.95f);

    // Decay without touches: 0.05 towards 0 per frame, with the two remainders that stay.
    const std::pair<float, std::vector<float>> decays[] = {{0.12f, {0.07f, 0.02f, 0.02f}},
                                                           {-0.12f, {-0.07f, -0.02f, 0.03f, 0.03f}}};
    for (const auto& [start, expected] : decays) {
        ResetWorld();
        WorldObject& s = Add(500, 500);
        s.touchRotate = 1;
        s.rotateSpeed = start;
        for (float want : expected) {
            Frames(1);
            EXPECT_NEAR(s.rotateSpeed, want, 1e-6) << "from " << start;
        }
    }
}

// A pool of three waiting projectiles below a shooter at (300, 200); the player at (100, 100).
TEST_F(WorldTest, AShooterLaunchesOneProjectileOnceReArmedAndAimedAtTheFirstPlayer) {
    struct Case {
        const char* name;
        const char* pool;
        const char* weapon;
        bool player;
        int launched, hasFired;
        float moveH, moveV;  // of the launched projectile
    };
    const Case cases[] = {{"aimed", "DEMOBULLET", "DEMOBULLET", true, 1, 1, -1, -1},
                          {"no player: template directions", "DEMOBULLET", "DEMOBULLET", false, 1, 1, 1, 1},
                          {"nothing waiting of that name", "DEMOBULLET", "ROCKET", true, 0, 0, 0, 0},
                          {"found but no DEMOBULLET: marked fired", "ROCK", "ROCK", true, 0, 1, 0, 0}};
    for (const Case& c : cases) {
        ResetWorld();
        if (c.player) Add(100, 100).playerID = 1;
        const int first = gState.lastObjectIndex + 1;
        for (int k = 0; k < 3; ++k) {
            WorldObject& bullet = Add(600, 600);
            bullet.idString = c.pool;
            // The template holds the initial values; the object has changed since.
            gWorld.templates.try_emplace(c.pool, ObjectTemplate{0, 200, 0, 6, 6, 6, 1, 1, 1, "", c.pool, 50, 100, 0});
            bullet.state = 0;
        }
        WorldObject& shooter = Add(300, 200);
        shooter.useWeapon = c.weapon;
        Frames(5);
        int inPlay = 0;
        for (int i = first; i < first + 3; ++i) inPlay += gWorld.objects[i].state != 0;
        EXPECT_EQ(inPlay, c.launched) << c.name;
        EXPECT_EQ(shooter.hasFired, c.hasFired) << c.name;
        if (c.hasFired) {
            EXPECT_EQ(gWorld.objects[first].firedBy, IndexOf(shooter)) << c.name;
        }
        if (!c.launched) continue;
        const WorldObject& b = gWorld.objects[first];
        EXPECT_FLOAT_EQ(b.alpha, 200) << c.name;
        EXPECT_EQ(b.moveH, c.moveH) << c.name;
        EXPECT_EQ(b.moveV, c.moveV) << c.name;
        // Launched at the shooter in frame 1, then 6 a frame on each open axis (it may stall).
        EXPECT_NEAR(b.x, 300 + c.moveH * 6 * 4, 6 * 4) << c.name;
        EXPECT_NE(b.x, 300) << c.name;
        EXPECT_EQ(b.lifeTime, 49) << c.name;  // re-armed life: its first step comes at once
    }
}

// The target, a player at (100, 100) walking right by 4; the follower at (102, 300) heading right.
TEST_F(WorldTest, FollowersTurnTowardsTheirTargetAsTheyFindItInIndexOrder) {
    struct Case {
        const char* name;
        bool followerFirst;
        int8_t ai;
        int8_t targetState;
        float moveH;
    };
    const Case cases[] = {{"after the target: sees its new x, 104", false, 0, 1, 1},
                          {"before the target: sees its old x, 100", true, 0, 1, -1},
                          {"the AI hook does not steer", true, 1, 1, 1},
                          {"target out of play", true, 0, 0, 1}};
    for (const Case& c : cases) {
        ResetWorld();
        auto addTarget = [&] {
            WorldObject& t = AddMover(100, 100, 0, 0, 4, 0);
            t.playerID = 1;
            t.idString = "T";
            t.state = c.targetState;
        };
        if (!c.followerFirst) addTarget();
        WorldObject& follower = AddMover(102, 300, 1, 0, 0, 0);
        follower.followObject = 1;
        follower.followName = "T";
        follower.ai = c.ai;
        if (c.followerFirst) addTarget();
        HoldKeys({plat::kKeyRight});
        Frames(1);
        EXPECT_EQ(follower.moveH, c.moveH) << c.name;
        EXPECT_EQ(follower.moveV, 0) << c.name << ": a resting axis is never switched on";
    }
}

TEST_F(WorldTest, PlayersSteerByJoystickWhenPresentAndAskedForOtherwiseByArrowKeys) {
    struct Case {
        const char* name;
        std::vector<int> keys;
        int8_t useJoyStick, present, joyX, joyY, state;
        float dx, dy;
    };
    const Case cases[] = {
        {"right", {plat::kKeyRight}, 0, 0, 0, 0, 1, 4, 0},
        {"right wins over left", {plat::kKeyLeft, plat::kKeyRight}, 0, 0, 0, 0, 1, 4, 0},
        {"down wins over up", {plat::kKeyUp, plat::kKeyDown}, 0, 0, 0, 0, 1, 0, 4},
        {"up", {plat::kKeyUp}, 0, 0, 0, 0, 1, 0, -4},
        {"no keys: stands", {}, 0, 0, 0, 0, 1, 0, 0},
        {"joystick", {plat::kKeyRight}, 1, 1, -1, 1, 1, -4, 4},
        {"joystick asked for, none present", {plat::kKeyLeft}, 1, 0, 1, 1, 1, -4, 0},
        {"joystick present, not asked for", {}, 0, 1, 1, 1, 1, 0, 0},
        {"hidden by flicker: stands", {plat::kKeyRight}, 0, 0, 0, 0, -1, 0, 0},
    };
    for (const Case& c : cases) {
        ResetWorld();
        WorldObject& p = AddMover(100, 100, 1, 1, 4, 0);
        p.playerID = 1;
        p.useJoyStick = c.useJoyStick;
        p.state = c.state;
        gState.joystickPresent = c.present;
        gState.joystickX = c.joyX;
        gState.joystickY = c.joyY;
        for (int key : c.keys) plat::headless::SetKey(key, true);
        plat::PollKeyboard();
        Frames(1);
        EXPECT_FLOAT_EQ(p.x, 100 + c.dx) << c.name;
        EXPECT_FLOAT_EQ(p.y, 100 + c.dy) << c.name;
    }
}

TEST_F(WorldTest, TheCameraFollowsThePlayerByItsStep) {
    gSettings.DYNAMICSCROLL = 1;
    WorldObject& p = AddMover(100, 100, 0, 0, 4);
    p.playerID = 1;
    Add(112, 112, 1);  // a wall beside where the player ends: it blocks, the view does not move
    HoldKeys({plat::kKeyDown});
    Frames(3);
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_Y, -12);
    EXPECT_FLOAT_EQ(p.y + gSettings.MATRIX_OFFSET_Y, 100);  // stays put on the screen
    plat::headless::SetKey(plat::kKeyDown, false);
    HoldKeys({plat::kKeyRight});
    Frames(1);
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_X, 0);
}

// Frames are drawables 1..5 of the folder; moving right shows the LEFT folder, and so on.
TEST_F(WorldTest, AnimationUsesTheCrossedFolderHoldsTheLastFrameAndRestartsAfterAGap) {
    struct Case {
        const char* name;
        float moveH, moveV, speed;
        int folder;
        std::vector<int> slots;  // frame slots that hold a drawable
        std::vector<int> shown;  // animFrame after each of six frames
    };
    const Case cases[] = {
        {"right shows LEFT", 1, 0, 2, 0, {1, 2, 3, 4, 5}, {2, 3, 4, 5, 5, 5}},
        {"left shows RIGHT", -1, 0, 2, 1, {1, 2, 3, 4, 5}, {2, 3, 4, 5, 5, 5}},
        {"down shows UP", 0, 1, 2, 2, {1, 2, 3}, {2, 3, 3, 3, 3, 3}},
        {"up shows DOWN", 0, -1, 2, 3, {1, 2, 3}, {2, 3, 3, 3, 3, 3}},
        {"a gap restarts at 1", 1, 0, 2, 0, {1, 2, 3, 5}, {2, 3, 1, 2, 3, 1}},
        {"speed 0 never animates", 1, 0, 0, 0, {1, 2, 3}, {1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        ResetWorld();
        WorldObject& o = AddMover(500, 500, c.moveH, c.moveV, c.speed, 0);
        const plat::Drawable tile = o.sprite;
        o.animFirst[c.folder] = static_cast<int32_t>(gWorld.animationFrames.size());
        for (int slot = 1; slot <= c.slots.back(); ++slot) {
            AnimationFrame frame;
            if (std::count(c.slots.begin(), c.slots.end(), slot) != 0) frame.drawable = plat::MakeDrawable(image_);
            gWorld.animationFrames.push_back(frame);
        }
        o.animCount[c.folder] = c.slots.back();
        o.animFrame = 1;
        std::vector<int> shown;
        for (int frame = 0; frame < 6; ++frame) {
            Frames(1);
            shown.push_back(o.animFrame);
            const int expected = c.speed == 0 ? tile.id : AnimationSlot(o, c.folder, o.animFrame).drawable.id;
            EXPECT_EQ(o.sprite.id, expected) << c.name;
        }
        EXPECT_EQ(shown, c.shown) << c.name;
    }
}

}  // namespace

TEST_F(WorldTest, NonPlayerMoversStallOnAboutOneFrameInSixPerAxisAndPlayersNever) {
    gSettings.simulationScope = kScopeMap;  // the movers leave the screen on the way
    plat::SeedRandom(20261208);
    WorldObject& mover = AddMover(100, 100, 1, 1, 1, 0);
    WorldObject& player = AddMover(100, 300, 1, 1, 1, 0);
    player.playerID = 1;
    HoldKeys({plat::kKeyRight, plat::kKeyDown});
    constexpr int kFrames = 6000;
    int movedH = 0, movedV = 0, stood = 0;
    for (int i = 0; i < kFrames; ++i) {
        const float x = mover.x, y = mover.y;
        Frames(1);
        movedH += mover.x == x + 1 ? 1 : 0;
        movedV += mover.y == y + 1 ? 1 : 0;
        stood += mover.x == x && mover.y == y ? 1 : 0;
    }
    // 5 of 6 frames per axis: 5000 +- 4 standard deviations (29 frames); one draw per frame
    // stalls at most one axis.
    EXPECT_NEAR(movedH, 5000, 116);
    EXPECT_NEAR(movedV, 5000, 116);
    EXPECT_EQ(stood, 0);
    EXPECT_FLOAT_EQ(player.x, 100 + kFrames);
    EXPECT_FLOAT_EQ(player.y, 300 + kFrames);
}

TEST_F(WorldTest, AnObjectWithSpeedZeroNeverMovesButIsTouchedAndReacts) {
    WorldObject& still = AddMover(200, 100, 1, 1, 0);  // directions set, speed 0
    still.touchTransparency = 1;
    still.alpha = still.baseAlpha = 200;
    still.animCount[0] = still.animCount[1] = still.animCount[2] = still.animCount[3] = 2;
    WorldObject& mover = AddMover(188, 100, 1, 0, 4);
    mover.playerID = 1;
    HoldKeys({plat::kKeyRight});
    Frames(1);
    // The mover's next step would overlap it: the mover is blocked and the still object halves
    // its opacity for the frame (drawn at 100), then takes its base opacity back.
    EXPECT_EQ(Sprites()[0].opacity, 100);
    EXPECT_FLOAT_EQ(mover.x, 188);
    Frames(30);
    EXPECT_FLOAT_EQ(still.x, 200);
    EXPECT_FLOAT_EQ(still.y, 100);
    EXPECT_EQ(still.animFrame, 0);
    EXPECT_FLOAT_EQ(still.alpha, 200);
}

TEST_F(WorldTest, RegionGateOpensWhenTheWorldOffsetBringsAnObjectIntoView) {
    WorldObject& o = Add(1400, 100);  // off the 1280-pixel screen
    o.fadeIn = 10;
    o.alpha = 0;
    Frames(3);
    EXPECT_FLOAT_EQ(o.alpha, 0);
    gSettings.MATRIX_OFFSET_X = -125;  // x + offset = 1275: in view
    Frames(1);
    EXPECT_FLOAT_EQ(o.alpha, 10);
    gSettings.MATRIX_OFFSET_X = -121;  // x + offset = 1279 still counts
    Frames(1);
    EXPECT_FLOAT_EQ(o.alpha, 20);
    gSettings.MATRIX_OFFSET_X = -119;  // x + offset = 1281: out of view again
    Frames(1);
    EXPECT_FLOAT_EQ(o.alpha, 20);
}
