// The benchmark world of bench/make_world.sh loaded by the engine with the real renderer: its
// shares of walls, colliders, movers and animated objects, directions and speeds as written,
// every object inside the screen, and a picture of many tile kinds the renderer's normal path
// draws exactly as its reference path does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "platform/gl/renderer.h"
#include "tests/engine_gl/gl_world.h"
#include "tests/platform/core_temp_dir.h"

namespace {

constexpr int kObjects = 3000;

class BenchWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new coretest::TempDir();
        const std::string command = std::string(SOURCE_DIR) + "/bench/make_world.sh '" + dir_->Prefix() +
                                    "world' " + std::to_string(kObjects) + " 16 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        glworld::StartEngineIn(dir_->Prefix() + "world");
    }
    static void TearDownTestSuite() {
        glworld::StopEngine();
        delete dir_;
    }

    static inline coretest::TempDir* dir_ = nullptr;
};

TEST_F(BenchWorld, ObjectsHaveTheWrittenSharesDirectionsAndSpeeds) {
    ASSERT_EQ(gState.lastObjectIndex, kObjects - 1);
    int walls = 0, colliders = 0, movers = 0, animated = 0;
    for (int i = 0; i <= gState.lastObjectIndex; ++i) {
        const WorldObject& o = gWorld.objects[i];
        EXPECT_EQ(o.state, 1) << i;
        EXPECT_FLOAT_EQ(o.alpha, 255) << i;
        // Inside the screen (the view origin is object 0 at the top-left corner).
        EXPECT_GE(o.x, 0) << i;
        EXPECT_GE(o.y, 0) << i;
        EXPECT_LE(o.x + o.width, gState.SCRW) << i;
        EXPECT_LE(o.y + o.height, gState.SCRH) << i;
        if (o.velo == 0) {
            EXPECT_EQ(o.tileName, "wall") << i;
            EXPECT_EQ(o.collision, 1) << i;
            walls += 1;
            continue;
        }
        EXPECT_GE(o.velo, 1) << i;
        EXPECT_LE(o.velo, 4) << i;
        EXPECT_TRUE(o.moveH == -1 || o.moveH == 0 || o.moveH == 1) << i;
        EXPECT_TRUE(o.moveV == -1 || o.moveV == 0 || o.moveV == 1) << i;
        EXPECT_FALSE(o.moveH == 0 && o.moveV == 0) << i;
        (o.collision == 1 ? colliders : movers) += 1;
        if (o.animContainer == "SPIN") {
            animated += 1;
            for (int folder = 0; folder < kAnimFolders; ++folder) EXPECT_EQ(o.animCount[folder], 4) << i;
        }
    }
    EXPECT_EQ(walls, kObjects * 5 / 100);
    EXPECT_EQ(colliders, kObjects * 25 / 100);
    EXPECT_EQ(movers, kObjects - walls - colliders);
    EXPECT_GT(animated, kObjects * 5 / 100);
    EXPECT_LT(animated, kObjects * 15 / 100);
    // Every (picture, direction, speed, collision, animation) combination is a kind of its own.
    EXPECT_GT(gWorld.tiles.size(), 200u);
    EXPECT_EQ(gWorld.collisionList.count, walls + colliders);
}

TEST_F(BenchWorld, ManyKindsDrawTheSamePictureInAHandfulOfCalls) {
    plat::gl::RendererStats reference, normal;
    const std::vector<uint8_t> expected = glworld::DrawWorld(true, reference);
    const std::vector<uint8_t> actual = glworld::DrawWorld(false, normal);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(glworld::DifferingBytes(expected, actual), 0u);
    EXPECT_EQ(normal.quads, kObjects);
    EXPECT_LE(normal.drawCalls, 8);
    EXPECT_GT(reference.drawCalls, kObjects / 2);
}

}  // namespace
