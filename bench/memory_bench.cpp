// Resident memory of the engine's world on the headless backend: start-up with MAXOBJECTS set to
// the object count, then a map of that many objects (20 tile kinds, half of them movers that
// collide, the rest walls, one kind animated with four frames), then one world-update frame.
// Prints VmRSS after each step and VmHWM at the end, in KiB. Run it once with 0 and once with
// the count; the difference over the count is the memory per object above the empty engine:
//   build/bench/bench_memory 0; build/bench/bench_memory 50000
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "worldfiles/mapfile.h"

namespace {

constexpr int kKinds = 20;

// A field of /proc/self/status in KiB, 0 if absent.
long StatusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
    }
    return 0;
}

void WritePng(const std::filesystem::path& path, int shade) {
    std::filesystem::create_directories(path.parent_path());
    plat::Pixels pixels;
    pixels.width = pixels.height = 16;
    pixels.rgba.assign(16 * 16 * 4, static_cast<uint8_t>(shade));
    plat::WritePngFile(path.string(), pixels);
}

// Tile kinds: even ones movers (speed 1, collision), odd ones walls; kind 0 animated.
std::filesystem::path MakeWorld(int objects) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tasko_memory_" + std::to_string(::getpid()));
    for (int t = 0; t < kKinds; ++t) {
        const std::filesystem::path name = dir / "GFX" / ("tile" + std::to_string(t));
        WritePng(name.string() + ".png", 40 + t * 10);
        std::ofstream out(name.string() + ".dll", std::ios::binary);
        out << "worldFTileTransparency\r\n255\r\nworldFTileCollision\r\n1\r\n";
        if (t % 2 == 0) out << "worldFTileVELO\r\n1\r\nworldFTileMoveH\r\n1\r\nworldFTileMoveV\r\n-1\r\n";
        if (t == 0) out << "animContainer\r\nwalker\r\n";
    }
    for (int k = 1; k <= 4; ++k) WritePng(dir / "ANIM" / "walker" / "LEFT" / (std::to_string(k) + ".png"), 200);
    std::vector<wf::MapFileTile> tiles;
    for (int i = 0; i < objects; ++i) {
        wf::MapFileTile tile;
        tile.tileName = "tile" + std::to_string(i % kKinds);
        tile.x = static_cast<float>((i % 200) * 12);
        tile.y = static_cast<float>((i / 200) * 12);
        tile.width = tile.height = 8;
        tile.layer = 0;
        tiles.push_back(tile);
    }
    std::filesystem::create_directories(dir / "MAPS");
    wf::WriteMapFile((dir / "MAPS" / "LVL0.dll").string(), tiles);
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    const int objects = argc > 1 ? std::atoi(argv[1]) : 50000;
    const std::filesystem::path dir = MakeWorld(objects);
    std::filesystem::current_path(dir);
    const long atStart = StatusKiB("VmRSS");

    plat::headless::Reset();
    SetStartValues();
    gSettings.GFX = "GFX/";
    gSettings.GFXCODEC = ".png";
    gSettings.SIMCORE = "MAPS/";
    gSettings.ANIMSYSTEM = "ANIM/";
    gSettings.MAXANIMFRAMES = 8;
    gSettings.MAXOBJECTS = objects;
    gSettings.SOURCEWIDTH = 1280;
    gSettings.SOURCEHEIGHT = 1024;
    gSettings.simulationScope = kScopeMap;
    plat::OpenScreen(1280, 1024, 32, "KORVANE");
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    LoadTileLibrary();
    SetUpWorldTables();
    const long afterStartUp = StatusKiB("VmRSS");
    LoadMap("MAPS/LVL0.dll");
    const long afterLoad = StatusKiB("VmRSS");
    UpdateWorld();
    const long afterFrame = StatusKiB("VmRSS");

    std::printf("objects %d (loaded %d), sizeof(WorldObject) %zu bytes\n", objects,
                objects > 0 ? gState.lastObjectIndex + 1 : 0, sizeof(WorldObject));
    std::printf("VmRSS KiB: process start %ld, after start-up %ld, after map load %ld, after one frame %ld\n",
                atStart, afterStartUp, afterLoad, afterFrame);
    std::printf("VmHWM KiB: %ld\n", StatusKiB("VmHWM"));
    // Part of the growth in the frame is the headless backend's recording of the frame's draws.
    const CollisionGrid& g = gWorld.collisionGrid;
    size_t itemBytes = 0;
    for (const std::vector<GridItem>& items : g.buckets) itemBytes += items.capacity() * sizeof(GridItem);
    const size_t gridBytes = g.buckets.capacity() * sizeof(std::vector<GridItem>) + itemBytes +
                             g.places.capacity() * sizeof(GridPlace) +
                             (g.itemSlots.capacity() + g.wide.capacity() + g.wideSlot.capacity() + g.firstEntry.capacity() +
                              g.nextEntry.capacity() + g.filedList.capacity() + g.candidates.capacity()) *
                                 sizeof(int32_t) +
                             g.extents.capacity() * sizeof(float);
    std::printf("collision grid: %zu KiB; recorded draws of the frame: %zu\n", gridBytes / 1024,
                plat::headless::Draws().capacity());
    std::filesystem::current_path(dir.parent_path());
    std::filesystem::remove_all(dir);
    return 0;
}
