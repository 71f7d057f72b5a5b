// Limits of the engine's and the builder's loaders: a map of one million records, a tile
// directory of 10,000 graphics, a descriptor file of 100 MB and single lines of 100 MB (in the
// map and in ini.crc). Each engine case runs the engine's start-up steps (configuration, tile
// library, world tables, area) on the headless backend; each builder case starts plom on the
// headless backend (configuration chain, tile library, thumbnails, the start-up map drawn) and
// saves the map it read. Every case runs in a child process of its own, and the parent reports
// the child's wall time, peak resident memory and outcome. A measurement, not a test: run it by
// hand,
//   build/bench/bench_limits [scratch-directory]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERio.h"
#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/systemcore.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/images.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void WriteTile(const fs::path& gfx, const std::string& name, int shade) {
    plat::Pixels pixels;
    pixels.width = pixels.height = 8;
    pixels.rgba.assign(8 * 8 * 4, static_cast<uint8_t>(shade));
    fs::create_directories(gfx);
    plat::WritePngFile((gfx / (name + ".png")).string(), pixels);
    // The comment pair makes the tile type usable in the builder (the engine skips it).
    WriteText(gfx / (name + ".dll"), "worldFTileTransparency\r\n255\r\nworldFTileCollision\r\n1\r\n;limits\r\n;\r\n");
}

std::string Record(const std::string& tile, int i) {
    return "TILE\r\n" + tile + "\r\n0\r\n" + std::to_string(i % 160 * 8) + "\r\n" +
           std::to_string(i / 160 % 128 * 8) + "\r\n8\r\n8\r\n" + std::to_string(i % 9) + "\r\n";
}

// A small world: configuration, texts, codecs, one tile kind and a one-record map.
void WriteBaseWorld(const fs::path& dir, int maxObjects) {
    fs::remove_all(dir);
    WriteText(dir / "CORE" / "ini.crc",
              "SYSTEMTEXT\r\nCORE/texts.txt\r\nCODECS\r\nCORE/codecs.crc\r\nGFX\r\nGFX/\r\nSIMCORE\r\nMAPS/\r\n"
              "ERRORPATH\r\nerror.log\r\nWARNINGS\r\nwarnings.log\r\nMAXOBJECTS\r\n" +
                  std::to_string(maxObjects) + "\r\nSOURCEWIDTH\r\n1280\r\nSOURCEHEIGHT\r\n1024\r\nGRIDSIZE\r\n64\r\n");
    WriteText(dir / "CORE" / "texts.txt", "#ERROR_UNKNOWN\r\nunknown\r\n");
    WriteText(dir / "CORE" / "codecs.crc", "GFXCODEC\r\n\r\n.png\r\n\r\n");
    WriteTile(dir / "GFX", "rock", 90);
    WriteText(dir / "MAPS" / "LVL0.dll", "0\r\n0\r\n" + Record("rock", 0) + "ENGINETILEINFOEND\r\n");
}

// The engine's start-up steps without the frame loop.
void LoadWorld(const fs::path& dir) {
    fs::current_path(dir);
    plat::headless::Reset();
    SetStartValues();
    ReadConfiguration();
    ReadSystemTexts();
    plat::OpenScreen(1280, 1024, 32, "KORVANE");
    gState.SCRW = 1280;
    gState.SCRH = 1024;
    LoadTileLibrary();
    SetUpWorldTables();
    LoadArea();
    std::uintmax_t warnings = fs::exists("warnings.log") ? fs::file_size("warnings.log") : 0;
    std::printf("    tiles %zu, objects %d, colliders %d, warning log %ju bytes%s\n", gWorld.tiles.size(),
                gState.lastObjectIndex + 1, gWorld.collisionList.count, warnings,
                gState.noValidData ? ", no valid data" : "");
    std::fflush(stdout);
}

// The builder's world: its configuration chain (MAXTILES 4000, as the demo has it), the default
// descriptor, one tile kind and a one-record start-up map "1".
void WriteBuilderWorld(const fs::path& dir) {
    fs::remove_all(dir);
    const auto group = [](const std::string& key, const std::string& value) {
        return key + "\r\n;\r\n" + value + "\r\n\r\n";
    };
    WriteText(dir / "_DATA" / "ini.txt", group("DEFAULTINISCRIPT", "_DATA/script.txt"));
    WriteText(dir / "_DATA" / "script.txt", group("WINDOWMODE", "0") + group("APPINIFILE", "_DATA/app.txt") +
                                                group("MAXTILES", "4000") + group("MATRIXRASTER", "32"));
    WriteText(dir / "_DATA" / "app.txt", group("GFXPATH", "GFX/") + group("LOGFILE", "USER/") +
                                             group("GUIINI", "_DATA/gui.txt") + group("CODECS", "_DATA/codecs.txt"));
    WriteText(dir / "_DATA" / "gui.txt", group("GUIH", "48"));
    WriteText(dir / "_DATA" / "codecs.txt", group("GFXCODEC", ".png"));
    WriteText(dir / "_DATA" / "DNA.dll", "worldFTileTransparency\r\n255\r\nhp\r\n0\r\n");
    WriteTile(dir / "GFX", "rock", 90);
    WriteText(dir / "1", "0\r\n0\r\n" + Record("rock", 0) + "ENGINETILEINFOEND\r\n");
    fs::create_directories(dir / "USER");
}

// plom's start-up on the headless backend, then a save of the map it read.
void LoadBuilder(const fs::path& dir) {
    fs::current_path(dir);
    plat::headless::Reset();
    if (!StartBuilder()) _exit(1);
    const bool saved = WriteMapFile("USER/saved");
    std::printf("    tile kinds %zu, placed tiles %d, map saved: %s (%ju bytes)\n", gBuilder.tileLibrary.size(),
                gBuilder.lastTileIndex + 1, saved ? "yes" : "NO",
                saved ? static_cast<std::uintmax_t>(fs::file_size("USER/saved")) : std::uintmax_t{0});
    std::fflush(stdout);
}

void Measure(const char* name, const fs::path& dir, const std::function<void()>& prepare,
             void (*load)(const fs::path&) = LoadWorld) {
    prepare();
    std::printf("%s\n", name);
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        load(dir);
        _exit(0);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("    %s, %.2f s, peak resident %.1f MiB\n",
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "loaded" : "FAILED", seconds,
                usage.ru_maxrss / 1024.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path scratch = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tasko_limits";
    const fs::path dir = scratch / "world";
    // Made inside each case's preparation only, so the parent's memory (which every child
    // starts with) stays small.
    const auto hundredMegabytes = [] { return std::string(100u << 20, 'x'); };

    Measure("baseline: one tile, one record", dir, [&] { WriteBaseWorld(dir, 20000); });

    Measure("map of 1,000,000 records (MAXOBJECTS 20000)", dir, [&] {
        WriteBaseWorld(dir, 20000);
        std::ofstream map(dir / "MAPS" / "LVL0.dll", std::ios::binary);
        map << "0\r\n0\r\n";
        for (int i = 0; i < 1000000; ++i) map << Record("rock", i);
        map << "ENGINETILEINFOEND\r\n";
    });

    Measure("tile directory of 10,000 graphics, map of 10,000 records", dir, [&] {
        WriteBaseWorld(dir, 20000);
        std::ofstream map(dir / "MAPS" / "LVL0.dll", std::ios::binary);
        map << "0\r\n0\r\n";
        for (int i = 0; i < 10000; ++i) {
            WriteTile(dir / "GFX", "tile" + std::to_string(i), i % 256);
            map << Record("tile" + std::to_string(i), i);
        }
        map << "ENGINETILEINFOEND\r\n";
    });

    Measure("descriptor file of 100 MB (short pairs)", dir, [&] {
        WriteBaseWorld(dir, 20000);
        std::ofstream dna(dir / "GFX" / "rock.dll", std::ios::binary);
        const std::string pair = "worldFTileVELO\r\n1\r\n";
        for (size_t written = 0; written < (100u << 20); written += pair.size()) dna << pair;
    });

    Measure("single line of 100 MB as a tile name in the map", dir, [&] {
        WriteBaseWorld(dir, 20000);
        WriteText(dir / "MAPS" / "LVL0.dll", "0\r\n0\r\n" + Record(hundredMegabytes(), 0) + "ENGINETILEINFOEND\r\n");
    });

    Measure("single line of 100 MB as a value in ini.crc", dir, [&] {
        WriteBaseWorld(dir, 20000);
        std::ofstream ini(dir / "CORE" / "ini.crc", std::ios::binary | std::ios::app);
        ini << "VERSION\r\n" << hundredMegabytes() << "\r\n";
    });

    Measure("single line of 100 MB as a descriptor value", dir, [&] {
        WriteBaseWorld(dir, 20000);
        WriteText(dir / "GFX" / "rock.dll", "worldFTileIDString\r\n" + hundredMegabytes() + "\r\n");
    });

    Measure("plom baseline: one tile kind, one record", dir, [&] { WriteBuilderWorld(dir); }, LoadBuilder);

    Measure("plom: start-up map of 1,000,000 records (MAXTILES 4000)", dir, [&] {
        WriteBuilderWorld(dir);
        std::ofstream map(dir / "1", std::ios::binary);
        map << "0\r\n0\r\n";
        for (int i = 0; i < 1000000; ++i) map << Record("rock", i);
        map << "ENGINETILEINFOEND\r\n";
    }, LoadBuilder);

    Measure("plom: tile directory of 10,000 graphics, map of 10,000 records", dir, [&] {
        WriteBuilderWorld(dir);
        std::ofstream map(dir / "1", std::ios::binary);
        map << "0\r\n0\r\n";
        for (int i = 0; i < 10000; ++i) {
            WriteTile(dir / "GFX", "tile" + std::to_string(i), i % 256);
            map << Record("tile" + std::to_string(i), i);
        }
        map << "ENGINETILEINFOEND\r\n";
    }, LoadBuilder);

    Measure("plom: descriptor file of 100 MB (short pairs)", dir, [&] {
        WriteBuilderWorld(dir);
        std::ofstream dna(dir / "GFX" / "rock.dll", std::ios::binary);
        const std::string pair = "worldFTileVELO\r\n1\r\n";
        for (size_t written = 0; written < (100u << 20); written += pair.size()) dna << pair;
    }, LoadBuilder);

    Measure("plom: single line of 100 MB as a tile name in the map", dir, [&] {
        WriteBuilderWorld(dir);
        WriteText(dir / "1", "0\r\n0\r\n" + Record(hundredMegabytes(), 0) + "ENGINETILEINFOEND\r\n");
    }, LoadBuilder);

    Measure("plom: single line of 100 MB as a value in the application script", dir, [&] {
        WriteBuilderWorld(dir);
        std::ofstream script(dir / "_DATA" / "script.txt", std::ios::binary | std::ios::app);
        script << "NAME\r\n;\r\n" << hundredMegabytes() << "\r\n\r\n";
    }, LoadBuilder);
    fs::remove_all(scratch);
    return 0;
}
