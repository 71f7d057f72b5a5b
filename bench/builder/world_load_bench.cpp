// The map builder on a world given by directory (TASKO_BENCH_WORLD): the start-up that builds the
// tile library and reads the start-up map "1", timed once, and the redraw of the main window with
// all its placed tiles (headless backend: the builder's own work and the recorded draw calls,
// not the GPU). Used by bench/tiled_import.sh on an imported Tiled map.
// Run: TASKO_BENCH_WORLD=DIR build/bench/bench_builder_world
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERscreen.h"
#include "platform/display.h"
#include "platform/headless.h"

namespace {

void BM_BuilderRedrawWorld(benchmark::State& state) {
    for (auto _ : state) {
        RedrawMainWindow();
        state.PauseTiming();
        plat::headless::ClearDraws();
        state.ResumeTiming();
    }
    state.counters["tiles"] = static_cast<double>(gBuilder.lastTileIndex + 1);
}

}  // namespace

int main(int argc, char** argv) {
    const char* world = std::getenv("TASKO_BENCH_WORLD");
    if (world == nullptr || !std::filesystem::is_directory(world)) {
        std::fprintf(stderr, "bench_builder_world: set TASKO_BENCH_WORLD to a world directory\n");
        return 2;
    }
    std::filesystem::current_path(world);
    plat::headless::Reset();
    SetBuilderStartValues();
    const auto start = std::chrono::steady_clock::now();
    const bool started = StartBuilder();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("plom start-up (tile library and start-up map): %.3f s, %d placed tiles, %zu tile types\n",
                seconds, gBuilder.lastTileIndex + 1, gBuilder.tileLibrary.size());
    if (!started || !plat::ScreenOpen()) {
        std::fprintf(stderr, "bench_builder_world: plom did not start on %s\n", world);
        return 1;
    }
    gBuilder.rasterMode = 0;  // no grid-mode gap between redraws
    plat::headless::ClearDraws();
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("BM_BuilderRedrawWorld", BM_BuilderRedrawWorld)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
