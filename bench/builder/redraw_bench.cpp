// The map builder's redraw of the main window with 100, 1,000 and 10,000 placed tiles over ten
// layers (headless backend: the builder's own work and the recorded draw calls, not the GPU),
// side by side with a plain pass that draws the same sprites once, in slot order.
// Run: build/bench/bench_builder_redraw
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERscreen.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "worldfiles/convert.h"
#include "worldfiles/descriptor.h"

namespace {

void WriteGroups(const std::string& path, const std::vector<std::pair<std::string, std::string>>& groups) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : groups) lines.insert(lines.end(), {key, "", value, ""});
    plat::WriteLinesAtomically(path, lines);
}

// A scratch world with ten tile types and the builder started on it, `tiles` tiles placed on
// layers 0..9 (the selected type changes with every tile).
std::filesystem::path BenchDirectory() {
    return std::filesystem::temp_directory_path() / ("plom_bench_" + std::to_string(::getpid()));
}

void StartBuilderWithTiles(int tiles) {
    const std::filesystem::path dir = BenchDirectory();
    std::filesystem::create_directories(dir / "GFX");
    std::filesystem::create_directories(dir / "_DATA");
    std::filesystem::create_directories(dir / "USER");
    std::filesystem::current_path(dir);
    WriteGroups("_DATA/ini.txt", {{"DEFAULTINISCRIPT", "_DATA/script.txt"}});
    WriteGroups("_DATA/script.txt", {{"WINDOWMODE", "0"}, {"APPINIFILE", "_DATA/app.txt"},
                                     {"MAXTILES", std::to_string(tiles)}, {"MATRIXRASTER", "32"}});
    WriteGroups("_DATA/app.txt", {{"GFXPATH", "GFX/"}, {"LOGFILE", "USER/"}, {"CODECS", "_DATA/codecs.txt"}});
    WriteGroups("_DATA/codecs.txt", {{"GFXCODEC", ".png"}});
    plat::WriteLinesAtomically("_DATA/DNA.dll", wf::DescriptorFileLines({{"worldFTileTransparency", "255"}}));
    for (int t = 0; t < 10; ++t) {
        plat::Pixels pixels;
        pixels.width = pixels.height = 32;
        pixels.rgba.assign(32 * 32 * 4, static_cast<uint8_t>(50 + t * 20));
        const std::string name = "GFX/tile" + std::to_string(t);
        plat::WritePngFile(name + ".png", pixels);
        plat::WriteLinesAtomically(name + ".dll", wf::DescriptorFileLines({{"worldFTileTransparency", "255"},
                                                                           {"postEFFECT", t % 2 ? "2x2" : ""}}));
    }
    plat::headless::Reset();
    SetBuilderStartValues();
    StartBuilder();
    gBuilder.rasterMode = 0;  // no grid-mode gap between redraws
    for (int i = 0; i < tiles; ++i) {
        gBuilder.actualTile = i % 10;
        gBuilder.actualLayer = i % 10;
        gBuilder.mouseX = (i % 40) * 32;
        gBuilder.mouseY = (i / 40 % 32) * 32;
        PlaceTile();
    }
    gBuilder.maxUsedLayer = 9;
    plat::headless::ClearDraws();
}

void BM_BuilderRedraw(benchmark::State& state) {
    StartBuilderWithTiles(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RedrawMainWindow();
        state.PauseTiming();
        plat::headless::ClearDraws();
        state.ResumeTiming();
    }
    state.counters["tiles"] = static_cast<double>(gBuilder.lastTileIndex + 1);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuilderRedraw)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// Baseline: every placed tile drawn once in slot order, without layers, blending, preview,
// screen log or grid dots.
void BM_PlainSpritePass(benchmark::State& state) {
    StartBuilderWithTiles(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        plat::Begin3D();
        for (int slot = 0; slot <= gBuilder.lastTileIndex; ++slot) {
            const MapTile& tile = gBuilder.mapTiles[slot];
            plat::ZoomDrawable(tile.sprite, wf::RoundToInt(tile.width), wf::RoundToInt(tile.height));
            plat::DrawDrawable(tile.sprite, wf::RoundToInt(tile.x), wf::RoundToInt(tile.y), 255);
        }
        plat::End3D();
        plat::Flip();
        state.PauseTiming();
        plat::headless::ClearDraws();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PlainSpritePass)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::filesystem::path start = std::filesystem::current_path();
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::current_path(start);
    std::filesystem::remove_all(BenchDirectory());
    return 0;
}
