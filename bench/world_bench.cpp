// One frame of the world update (UpdateWorld) on the headless backend: 1,000, 10,000 and 100,000
// objects, half of them movers that collide, the rest walls, all in the collision list, with the
// map scope so that every object acts. Beside it the same world with the plain scan of the
// collision list (whose cost grows with movers x colliders; 1,000 and 10,000 objects only), and
// with an empty collision list. "per object" is the CPU time of one frame over the object count.
// Run: build/bench/bench_world
#include <benchmark/benchmark.h>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "platform/display.h"
#include "platform/headless.h"

namespace {

constexpr int kSpacing = 12;   // pixels between grid positions
constexpr int kSize = 8;       // object width and height, pixels
constexpr int kColumns = 100;  // grid columns

// A world of `count` objects on a grid: odd indices move diagonally (directions by position),
// even ones stand as walls; every object collides and is in the collision list.
void BuildWorld(int count, bool withColliders) {
    plat::headless::Reset();
    SetStartValues();
    gSettings.MAXOBJECTS = count;
    gSettings.simulationScope = kScopeMap;
    plat::OpenScreen(1280, 1024, 32, "KORVANE");
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    SetUpWorldTables();
    const plat::Image image = plat::GrabScreen(0, 0, kSize, kSize);
    for (int i = 0; i < count; ++i) {
        WorldObject& o = gWorld.objects[i];
        o.sprite = plat::MakeDrawable(image);
        o.x = static_cast<float>((i % kColumns) * kSpacing);
        o.y = static_cast<float>((i / kColumns) * kSpacing);
        o.width = o.height = kSize;
        o.alpha = o.baseAlpha = 255;
        o.state = 1;
        o.stepH = o.stepV = 1;
        o.collision = 1;
        if (i % 2 == 1) {
            o.moveH = (i / 2) % 2 == 0 ? 1.0f : -1.0f;
            o.moveV = (i / kColumns) % 2 == 0 ? 1.0f : -1.0f;
            o.velo = o.speedH = o.speedV = 1;
        }
        if (withColliders) gWorld.collisionList.entries[gWorld.collisionList.count++] = i;
    }
    gState.lastObjectIndex = count - 1;
}

void RunFrames(benchmark::State& state, bool withColliders, bool plainScan = false) {
    const int count = static_cast<int>(state.range(0));
    BuildWorld(count, withColliders);
    gWorld.collisionGrid.plainScan = plainScan ? 1 : 0;
    for (auto _ : state) {
        UpdateWorld();
        state.PauseTiming();
        plat::headless::ClearDraws();  // the recording of draw calls is the backend's, not the frame's
        state.ResumeTiming();
    }
    state.counters["objects"] = count;
    state.counters["colliders"] = gWorld.collisionList.count;
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["per object"] = benchmark::Counter(static_cast<double>(state.iterations()) * count,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["touches/frame"] = static_cast<double>(gWorld.collisionGrid.touches) / static_cast<double>(state.iterations());
}

void BM_UpdateWorld(benchmark::State& state) { RunFrames(state, true); }
void BM_UpdateWorldPlainScan(benchmark::State& state) { RunFrames(state, true, true); }
void BM_UpdateWorldNoColliders(benchmark::State& state) { RunFrames(state, false); }

BENCHMARK(BM_UpdateWorld)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateWorldPlainScan)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateWorldNoColliders)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
