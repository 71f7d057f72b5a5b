// Small hand-built worlds for whole frames of UpdateWorld on the headless backend: a 1280x1024
// screen, the clock at 1000 ms, the region scope, objects added one by one in index order.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine_fixture.h"
#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/input.h"

class WorldTest : public EngineTest {
protected:
    using Draw = plat::headless::DrawRecord;

    void SetUp() override {
        EngineTest::SetUp();
        WritePng("tile.png", 8, 8, 200, 100, 50);
        ResetWorld();
    }
    // An empty world of 41 slots on a 1280x1024 screen, clock at 1000 ms, region scope.
    void ResetWorld() {
        plat::headless::Reset();
        SetStartValues();
        gSettings.MAXOBJECTS = 40;
        SetUpWorldTables();
        plat::OpenScreen(1280, 1024, 32, "test");
        gState.SCRW = 1280;
        gState.SCRH = 1024;
        gSettings.simulationScope = kScopeRegion;
        image_ = plat::LoadImage("tile.png");
        plat::headless::SetClock(1000);
        gState.lastObjectIndex = -1;
    }
    // A still, opaque 10x10 object in play at (x, y), appended to the collision list when its
    // collision value is exactly 1.
    WorldObject& Add(float x, float y, int8_t collision = 0) {
        const int index = ++gState.lastObjectIndex;
        WorldObject& o = gWorld.objects[index];
        o.sprite = plat::MakeDrawable(image_);
        o.x = x;
        o.y = y;
        o.width = o.height = 10;
        o.alpha = 255;
        o.baseAlpha = 255;
        o.state = 1;
        o.stepH = o.stepV = 1;
        o.collision = collision;
        if (collision == 1) gWorld.collisionList.entries[gWorld.collisionList.count++] = index;
        return o;
    }
    // A mover with speed on both axes and the given directions.
    WorldObject& AddMover(float x, float y, float moveH, float moveV, float speed, int8_t collision = 1) {
        WorldObject& o = Add(x, y, collision);
        o.moveH = moveH;
        o.moveV = moveV;
        o.speedH = o.speedV = o.velo = speed;
        return o;
    }
    static int IndexOf(const WorldObject& o) { return static_cast<int>(&o - gWorld.objects.data()); }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            plat::headless::ClearDraws();
            UpdateWorld();
            plat::headless::AdvanceClock(20);
        }
    }
    static void HoldKeys(std::initializer_list<int> keys) {
        for (int key : keys) plat::headless::SetKey(key, true);
        plat::PollKeyboard();
    }
    static std::vector<Draw> Sprites() {
        std::vector<Draw> out;
        for (const Draw& d : plat::headless::Draws())
            if (d.kind == Draw::kSprite) out.push_back(d);
        return out;
    }
    plat::Image image_;
};
