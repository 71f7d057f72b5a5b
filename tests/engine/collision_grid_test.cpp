// The collision grid against the plain scan of the collision list. Random worlds of a few hundred
// objects with every behaviour run frame by frame twice, once with each way of finding partners,
// from the same seeds, clock and keys; after every frame the whole state of both worlds must
// agree field by field, and both must have drawn the same number of random numbers.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "engine/COLLISION.h"
#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "world_fixture.h"

namespace {

// One world with the engine records it runs on, kept aside while the other one runs.
struct WorldRun {
    World world;
    EngineState state;
    EngineSettings settings;
    int nextRandom = 0;  // the generator's next number after the frame: equal draws, equal values
};

void SwapIn(WorldRun& run) {
    std::swap(gWorld, run.world);
    std::swap(gState, run.state);
    std::swap(gSettings, run.settings);
}

template <typename T>
bool Same(const T& a, const T& b) {
    if constexpr (std::is_floating_point_v<T>) {
        return std::memcmp(&a, &b, sizeof a) == 0;  // bit for bit: -0 and 0 differ, NaN equals NaN
    } else {
        return a == b;
    }
}

// The first field in which two objects differ, or an empty text.
std::string Difference(const WorldObject& a, const WorldObject& b) {
#define SAME(field) \
    if (!Same(a.field, b.field)) return #field;
    SAME(sprite.id) SAME(tileDrawable.id) SAME(animFrame) SAME(animCount) SAME(animFirst) SAME(animLimit)
    SAME(animContainer) SAME(x) SAME(y) SAME(collision) SAME(width) SAME(height) SAME(rotateSpeed)
    SAME(followName) SAME(alpha) SAME(baseAlpha) SAME(touchTransparency) SAME(playerID) SAME(angle) SAME(velo)
    SAME(state) SAME(followObject) SAME(moveH) SAME(moveV) SAME(useKeyboard) SAME(useJoyStick) SAME(touchRotate)
    SAME(layer) SAME(transport) SAME(fadeIn) SAME(fadeOut) SAME(flicker) SAME(idString) SAME(useWeapon)
    SAME(postEffect) SAME(blendSource) SAME(blendDestination) SAME(speedV) SAME(speedH) SAME(stepH) SAME(stepV)
    SAME(randomMove) SAME(lifeTime) SAME(timerMS) SAME(lifeMark) SAME(hasFired) SAME(firedBy) SAME(ai)
    SAME(mirror) SAME(worldFTileID) SAME(hideOnStart) SAME(tileName) SAME(startX) SAME(startY) SAME(sourceX)
    SAME(sourceY)
#undef SAME
    return "";
}

// Everything else the world update may change.
std::string Difference(const WorldRun& a, const WorldRun& b) {
#define SAME(field) \
    if (!Same(a.field, b.field)) return #field;
    SAME(settings.MATRIX_OFFSET_X) SAME(settings.MATRIX_OFFSET_Y) SAME(settings.MULTITASK)
    SAME(state.frameCount) SAME(state.nextSecond) SAME(state.frameRateText) SAME(state.lastObjectIndex)
    SAME(world.collisionList.entries) SAME(world.collisionList.count) SAME(nextRandom)
#undef SAME
    return "";
}

const char* const kConveyors[] = {"WALKDOWN", "WALKUP", "WALKLEFT", "WALKRIGHT"};
const char* const kTargets[] = {"T0", "T1", "T2"};
const float kSpeeds[] = {0.5f, 1, 1.5f, 2, 3, 4.7f, 7};

class CollisionGridTest : public WorldTest {
protected:
    static constexpr int kObjects = 360;

    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random_); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    float Direction() { return static_cast<float>(Pick(3) - 1); }
    // Positions on a half-pixel raster, so that rounding meets halves.
    float Coordinate(float low, float high) { return static_cast<float>(static_cast<int>(Uniform(low, high) * 2)) / 2; }

    WorldObject& AddKind(float areaWidth, float areaHeight) {
        const float size = Chance(5) ? Uniform(60, 300) : Coordinate(4, 28);
        WorldObject& o = Add(Coordinate(-20, areaWidth), Coordinate(-20, areaHeight), 0);
        o.width = size;
        o.height = Chance(20) ? Coordinate(0, 40) : size;
        o.collision = static_cast<int8_t>(Chance(80) ? 1 : Pick(3));
        if (o.collision == 1) gWorld.collisionList.entries[gWorld.collisionList.count++] = IndexOf(o);
        return o;
    }
    void MakeMover(WorldObject& o) {
        o.moveH = Chance(5) ? 0.5f : Direction();
        o.moveV = Direction();
        o.speedH = o.speedV = kSpeeds[Pick(7)];
        o.velo = Chance(80) ? o.speedH : 0;
        if (Chance(60)) o.randomMove = static_cast<int8_t>(1 + Pick(9));
    }

    // A random world: a ring of walls around a crowded area, and inside it movers, walls,
    // conveyors, players (some passed through), followers, shooters with projectile pools,
    // LIGHTBLUE bouncers, touch-transparent and touch-spun objects, flicker, life times,
    // animations, objects far out, and collision values 0, 1 and 2.
    void BuildWorld(uint32_t seed) {
        random_.seed(seed);
        ResetWorld();
        gSettings.MAXOBJECTS = kObjects + 40;
        SetUpWorldTables();
        gSettings.simulationScope = seed % 2 == 0 ? kScopeMap : kScopeRegion;
        gSettings.DYNAMICSCROLL = static_cast<int8_t>(seed % 3 != 0);
        gState.joystickPresent = static_cast<int8_t>(seed % 4 == 1);
        const float w = 900, h = 700;
        for (float x = -40; x < w + 40; x += 32) {
            Add(x, -40, 1).width = 32;
            Add(x, h + 20, 1).width = 32;
        }
        for (float y = -8; y < h + 20; y += 28) {
            Add(-40, y, 1).height = 28;
            Add(w + 20, y, 1).height = 28;
        }
        while (gState.lastObjectIndex < kObjects) {
            WorldObject& o = AddKind(w, h);
            const int index = IndexOf(o);
            switch (Pick(12)) {
                case 0:  // wall, maybe reacting to touches
                    o.touchTransparency = Chance(50);
                    o.baseAlpha = 200;
                    o.alpha = 200;
                    o.touchRotate = Chance(50);
                    break;
                case 1:
                    o.transport = 1;
                    o.idString = kConveyors[Pick(4)];
                    break;
                case 2:
                    MakeMover(o);
                    o.playerID = 1;
                    o.useJoyStick = static_cast<int8_t>(Chance(50));
                    o.idString = Chance(50) ? (Chance(50) ? "TRANSVEGI" : "TRANSWRECKTILE") : kTargets[Pick(3)];
                    break;
                case 3:
                    MakeMover(o);
                    o.followObject = 1;
                    o.followName = kTargets[Pick(3)];
                    o.ai = static_cast<int8_t>(Chance(20));
                    break;
                case 4:  // a shooter and two waiting projectiles of its pool
                    o.useWeapon = "DEMOBULLET";
                    for (int k = 0; k < 2 && gState.lastObjectIndex < kObjects; ++k) {
                        WorldObject& p = AddKind(w, h);
                        p.idString = "DEMOBULLET";
                        p.state = 0;
                        const ObjectTemplate initial{1, 180, 0, 3, kSpeeds[Pick(7)], 2, 1, -1, 1, "", "DEMOBULLET",
                                                     2 + Pick(6), 20 + 10 * Pick(8), 0};
                        gWorld.templates.try_emplace("DEMOBULLET", initial);
                    }
                    break;
                case 5:
                    MakeMover(o);
                    o.idString = "LIGHTBLUE";
                    break;
                case 6:
                    o.idString = Chance(50) ? "LIGHTBLUE" : "DEFAULTROTOR";
                    o.touchRotate = 1;
                    break;
                default:
                    MakeMover(o);
                    if (Chance(20)) o.idString = kTargets[Pick(3)];
                    break;
            }
            if (Chance(8)) o.flicker = static_cast<float>(1 + Pick(4));
            if (Chance(10)) {
                o.lifeTime = 1 + Pick(30);
                o.timerMS = 20 + 20 * Pick(10);
            }
            if (Chance(5)) o.fadeIn = 3;
            if (Chance(4)) AddAnimation(o);
            if (Chance(1)) o.x += Chance(50) ? 1.0e6f : 1.0e10f;  // far cells, and beyond any cell
            if (o.collision == 1 && Chance(2)) gWorld.collisionList.entries[gWorld.collisionList.count++] = index;
        }
    }
    void AddAnimation(WorldObject& o) {
        for (int folder = 0; folder < kAnimFolders; ++folder) {
            o.animFirst[folder] = static_cast<int32_t>(gWorld.animationFrames.size());
            o.animCount[folder] = 1 + Pick(5);
            for (int k = 1; k <= o.animCount[folder]; ++k) {
                AnimationFrame frame;
                if (k != 3) frame.drawable = plat::MakeDrawable(image_);
                gWorld.animationFrames.push_back(frame);
            }
        }
        o.animFrame = 1;
    }

    // One frame of one run: the same seed, clock and keys for both runs.
    void Frame(WorldRun& run, uint32_t seed, int frame) {
        SwapIn(run);
        plat::SeedRandom(seed * 100003u + static_cast<uint32_t>(frame));
        plat::headless::SetClock(1000 + 20 * static_cast<int64_t>(frame));
        plat::headless::ClearDraws();
        UpdateWorld();
        run.nextRandom = plat::Random(1 << 30);
        SwapIn(run);
    }
    // Between frames, the same change in both worlds: an object put elsewhere, and now and then
    // an object added to the collision list (the grid is then built anew).
    void Disturb(WorldRun& plain, WorldRun& grid, bool extendList) {
        const int index = Pick(kObjects);
        const float dx = Uniform(-50, 50);
        for (WorldRun* run : {&plain, &grid}) {
            run->world.objects[index].x += dx;
            CollisionList& list = run->world.collisionList;
            if (extendList && list.count < static_cast<int32_t>(list.entries.size())) list.entries[list.count++] = index;
        }
    }
    void HoldRandomKeys() {
        for (int key : {plat::kKeyLeft, plat::kKeyRight, plat::kKeyUp, plat::kKeyDown}) {
            plat::headless::SetKey(key, Chance(30));
        }
        plat::headless::SetJoystick(gState.joystickPresent != 0, Pick(3) - 1, Pick(3) - 1);
        plat::PollKeyboard();
    }

    std::mt19937 random_;
};

TEST_F(CollisionGridTest, TheGridFindsThePartnersOfThePlainScanFrameByFrame) {
    constexpr int kSeeds = 4, kFrames = 750;
    int64_t touches = 0, gridChecks = 0, listScans = 0;
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        BuildWorld(seed);
        WorldRun plain{gWorld, gState, gSettings};
        plain.world.collisionGrid.plainScan = 1;
        WorldRun grid{gWorld, gState, gSettings};
        for (int frame = 0; frame < kFrames; ++frame) {
            if (frame % 8 == 0) HoldRandomKeys();
            if (frame % 50 == 49) Disturb(plain, grid, frame % 250 == 249);
            Frame(plain, seed, frame);
            Frame(grid, seed, frame);
            const std::string other = Difference(plain, grid);
            ASSERT_EQ(other, "") << "seed " << seed << ", frame " << frame;
            for (size_t i = 0; i < plain.world.objects.size(); ++i) {
                const std::string field = Difference(plain.world.objects[i], grid.world.objects[i]);
                ASSERT_EQ(field, "") << "seed " << seed << ", frame " << frame << ", object " << i;
            }
        }
        touches += plain.world.collisionGrid.touches;
        gridChecks += grid.world.collisionGrid.gridChecks;
        listScans += grid.world.collisionGrid.listScans;
        EXPECT_EQ(plain.world.collisionGrid.gridChecks, 0) << "the reference never uses the grid";
    }
    // The worlds are crowded enough to touch often, and the grid answered nearly every check
    // (large movers scan the list).
    EXPECT_GT(touches, 100000);
    EXPECT_GT(gridChecks, 20 * listScans);
}

// Outside the simulation pass (and with plainScan) the check scans the list; a list that names
// an object twice touches it twice; entries out of the table are passed over.
TEST_F(CollisionGridTest, TheCheckOutsideAFrameScansTheListAndHonoursRepeatedEntries) {
    for (int8_t plainScan : {0, 1}) {
        ResetWorld();
        gWorld.collisionGrid.plainScan = plainScan;
        WorldObject& glass = Add(112, 100, 1);
        glass.touchTransparency = 1;
        glass.alpha = 200;
        glass.baseAlpha = 200;
        CollisionList& list = gWorld.collisionList;
        list.entries[list.count++] = IndexOf(glass);
        list.entries[list.count++] = 1000;
        WorldObject& mover = AddMover(100, 100, 1, 0, 4);
        CheckCollision(IndexOf(mover));
        EXPECT_FLOAT_EQ(glass.alpha, 50) << "plainScan " << int{plainScan};
        EXPECT_EQ(mover.stepH, 0);
        // In a frame the grid is used unless plainScan is set: the glass is halved twice again.
        mover.stepH = 1;
        glass.alpha = 200;
        const int64_t checks = gWorld.collisionGrid.gridChecks;
        gWorld.objects[IndexOf(mover)].playerID = 1;  // players never stall
        HoldKeys({plat::kKeyRight});
        Frames(1);
        EXPECT_EQ(gWorld.collisionGrid.gridChecks - checks, plainScan != 0 ? 0 : 2);  // glass and mover
        EXPECT_EQ(Sprites()[0].opacity, 50) << "plainScan " << int{plainScan};
    }
}

}  // namespace
