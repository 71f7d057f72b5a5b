// Load-time benchmarks: a 10,000-record map, the demo area, and the map reading itself (read once
// into memory, as the engine does, against the plain nine line-by-line passes over the file).
// Run from the repository root so that demo/ is found: build/bench/bench_load
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/systemcore.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "worldfiles/convert.h"
#include "worldfiles/mapfile.h"

namespace {

// A scratch world of 20 tile kinds and a map of `records` records over layers 0..8.
std::filesystem::path MakeBigWorld(int records) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tasko_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "GFX");
    std::filesystem::create_directories(dir / "MAPS");
    for (int t = 0; t < 20; ++t) {
        plat::Pixels pixels;
        pixels.width = pixels.height = 64;
        pixels.rgba.assign(64 * 64 * 4, static_cast<uint8_t>(40 + t * 10));
        const std::string name = (dir / "GFX" / ("tile" + std::to_string(t))).string();
        plat::WritePngFile(name + ".png", pixels);
        std::ofstream(name + ".dll", std::ios::binary) << "worldFTileTransparency\r\n255\r\n";
    }
    std::vector<wf::MapFileTile> tiles;
    for (int i = 0; i < records; ++i) {
        wf::MapFileTile tile;
        tile.tileName = "tile" + std::to_string(i % 20);
        tile.x = static_cast<float>((i % 100) * 64);
        tile.y = static_cast<float>((i / 100) * 64);
        tile.width = tile.height = 64;
        tile.layer = i % 9;
        tiles.push_back(tile);
    }
    wf::WriteMapFile((dir / "MAPS" / "LVL0.dll").string(), tiles);
    return dir;
}

void StartHeadlessEngine(const std::filesystem::path& dir) {
    std::filesystem::current_path(dir);
    plat::headless::Reset();
    SetStartValues();
    gSettings.GFX = "GFX/";
    gSettings.GFXCODEC = ".png";
    gSettings.SIMCORE = "MAPS/";
    gSettings.MAXOBJECTS = 20000;
    gSettings.SOURCEWIDTH = 1280;
    gSettings.SOURCEHEIGHT = 1024;
    plat::OpenScreen(1280, 1024, 32, "KORVANE");
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    LoadTileLibrary();
    SetUpWorldTables();
}

void BM_LoadMap10000(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    const auto dir = MakeBigWorld(10000);
    StartHeadlessEngine(dir);
    for (auto _ : state) {
        LoadMap("MAPS/LVL0.dll");
        benchmark::DoNotOptimize(gState.lastObjectIndex);
    }
    state.counters["objects"] = gState.lastObjectIndex + 1;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadMap10000)->Unit(benchmark::kMillisecond);

// The map reading alone: once into memory and parsed, as LoadMap does it.
void BM_MapReadOnce(benchmark::State& state) {
    const auto dir = MakeBigWorld(10000);
    const std::string path = (dir / "MAPS" / "LVL0.dll").string();
    for (auto _ : state) {
        std::vector<std::string> lines;
        plat::ReadAllLines(path, lines);
        const wf::EngineMap map = wf::ParseEngineMap(lines);
        size_t built = 0;
        for (int pass = 0; pass < 9; ++pass)
            for (const auto& r : map.records) built += r.layer == pass;
        benchmark::DoNotOptimize(built);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MapReadOnce)->Unit(benchmark::kMillisecond);

// The plain baseline: the file opened and read line by line nine times, once per layer.
void BM_MapReadNinePasses(benchmark::State& state) {
    const auto dir = MakeBigWorld(10000);
    const std::string path = (dir / "MAPS" / "LVL0.dll").string();
    for (auto _ : state) {
        size_t built = 0;
        for (int pass = 0; pass < 9; ++pass) {
            plat::TextFile file = plat::OpenRead(path);
            plat::ReadLine(file);
            plat::ReadLine(file);
            while (!plat::AtEnd(file)) {
                if (plat::ReadLine(file) == wf::kMapEndMarker) break;
                std::string fields[7];
                for (std::string& f : fields) f = plat::ReadLine(file);
                wf::ParseFloat(fields[2]);
                wf::ParseFloat(fields[3]);
                built += wf::ParseInt(fields[6]) == pass;
            }
            plat::Close(file);
        }
        benchmark::DoNotOptimize(built);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MapReadNinePasses)->Unit(benchmark::kMillisecond);

// The bundled demo world: tile library and area 0, as the engine loads them at start.
void BM_LoadDemoArea(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    const std::filesystem::path demo = previous / "demo";
    if (!std::filesystem::exists(demo / "CORE" / "ini.crc")) {
        state.SkipWithError("run from the repository root: demo/CORE/ini.crc not found");
        return;
    }
    std::filesystem::current_path(demo);
    plat::headless::Reset();
    SetStartValues();
    ReadConfiguration();
    plat::OpenScreen(1280, 1024, 32, "KORVANE");
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    gSettings.WARNINGS = "";  // keep the demo's log untouched
    for (auto _ : state) {
        state.PauseTiming();
        plat::headless::Reset();
        plat::OpenScreen(1280, 1024, 32, "KORVANE");
        gWorld.tiles.clear();
        gState.loadedArea = -1000;
        state.ResumeTiming();
        LoadTileLibrary();
        SetUpWorldTables();
        LoadArea();
        benchmark::DoNotOptimize(gState.lastObjectIndex);
    }
    state.counters["objects"] = gState.lastObjectIndex + 1;
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_LoadDemoArea)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
