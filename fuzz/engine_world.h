// A small engine world for the engine fuzz targets, on the headless backend: a scratch
// directory made once per process (configuration, texts, codecs, three tile kinds with
// descriptors, the hero's animation frames, the area sound and a map), and one run of the
// engine over it per input: its start-up steps and eight frames of its main loop (the first
// loads the area; the hero walks right, a drone follows it, a turret fires bullets that live a
// few steps, and the seventh frame switches to the overview).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/DDD_NODE.h"
#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/basevars.h"
#include "engine/gui.h"
#include "engine/systemcore.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "platform/input.h"
#include "scratch_world.h"

namespace fuzzworld {

using scratch::At;
using scratch::Check;
using scratch::WriteFile;

inline std::string Lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

// A PNG of one colour with a white (transparent) first column.
inline void WriteTile(const std::string& path, int width, int height, uint8_t shade) {
    scratch::WriteTile(path, width, height, shade, true);
}

// The map the descriptor target loads: every tile kind on several layers, one unknown name.
inline const std::vector<std::string> kDefaultMap = {
    "0", "0",
    "TILE", "mapstart", "0", "64", "64", "8", "8", "0",
    "TILE", "wall", "1", "0", "0", "16", "8", "0",
    "TILE", "wall", "1", "128", "64", "16", "8", "1",
    "TILE", "hero", "2", "100", "100", "8", "8", "2",
    "TILE", "hero", "2", "140", "100", "8", "8", "3",
    "TILE", "drone", "3", "300", "100", "8", "8", "2",
    "TILE", "turret", "4", "400", "300", "8", "8", "1",
    "TILE", "bullet", "5", "0", "0", "4", "4", "4",
    "TILE", "bullet", "5", "0", "0", "4", "4", "4",
    "TILE", "nosuchtile", "0", "200", "200", "8", "8", "8",
    "ENGINETILEINFOEND"};

// The configuration keys that name files and folders (all in the scratch directory) and the
// size of the object tables.
inline std::vector<std::string> PathSettings() {
    return {"SYSTEMTEXT", At("CORE/systemtext.txt"), "CODECS", At("CORE/codecs.crc"), "GFX", At("GFX/"), "SIMCORE",
            At("MAPS/"), "ANIMSYSTEM", At("ANIM/"), "SOUNDPATH", At("SOUND/"), "ERRORPATH", At("error.log"),
            "WARNINGS", At("warnings.log"), "MAXOBJECTS", "64"};
}

// The other configuration keys: source size, grid, animation frames, overlay on, no frame delay.
inline std::vector<std::string> Settings() {
    return {"SOURCEWIDTH", "1280", "SOURCEHEIGHT", "1024", "GRIDSIZE", "64", "MATRIXSIZE", "8", "MAXANIMFRAMES",
            "3", "APPENTRY", "0", "APPMODE", "1", "MULTITASK", "0", "USRSCROLL", "1", "DYNAMICSCROLL", "1",
            "SIMSCOPE", "REGION"};
}

// Makes the world in a fresh scratch directory; the configuration names its folders by full path.
inline void MakeWorld() {
    scratch::MakeDirectory("tasko_fuzz_world_");

    WriteFile("CORE/ini.crc", Lines(Settings()) + Lines(PathSettings()));
    WriteFile("CORE/codecs.crc", Lines({"GFXCODEC", "; tiles", ".png", "", "SOUNDCODEC", "; sounds", ".wav", ""}));
    WriteFile("CORE/systemtext.txt", Lines({"#ERROR_UNKNOWN", "An unknown error.", "#ERROR_INIT_INIT",
                                            "The configuration could not be read."}));
    WriteTile("GFX/hero.png", 8, 8, 40);
    WriteTile("GFX/wall.png", 16, 8, 90);
    WriteTile("GFX/mapstart.png", 8, 8, 140);
    WriteFile("GFX/hero.dll",
              Lines({"worldFTileCollision", "1", "worldFTileTransparency", "255", "worldFTilePlayerID", "1",
                     "worldFTileVELO", "4", "worldFTileMoveH", "1", "worldFTileIDString", "HERO", "animContainer",
                     "hero", "worldFTileUseKeyboard", "1"}));
    WriteFile("GFX/wall.dll", Lines({"worldFTileCollision", "10", "worldFTileTransparency", "200", "postEFFECT",
                                     "3x4", "worldFTileFlire", "3"}));
    WriteFile("GFX/mapstart.dll", Lines({"worldFTileIDString", "MAPSTART", "worldFTileHideOnStart", "2",
                                         "animContainer", "NOPE"}));
    WriteTile("GFX/drone.png", 8, 8, 170);
    WriteTile("GFX/turret.png", 8, 8, 200);
    WriteTile("GFX/bullet.png", 4, 4, 230);
    WriteFile("GFX/drone.dll", Lines({"worldFTileCollision", "2", "worldFTileFollow", "HERO", "worldFTileTransparency",
                                      "255", "worldFTileVELO", "2", "worldFTileFollowObject", "1", "worldFTileMoveV",
                                      "1", "worldFTileMoveH", "1", "worldFTileIDString", "DRONE"}));
    WriteFile("GFX/turret.dll", Lines({"worldFTileTransparency", "255", "useWeapon", "DEMOBULLET", "worldFTileIDString",
                                       "TURRET", "worldFTileRotate", "0.1"}));
    WriteFile("GFX/bullet.dll", Lines({"worldFTileCollision", "2", "worldFTileTransparency", "255", "worldFTileVELO",
                                       "6", "worldFTileMoveV", "1", "worldFTileMoveH", "1", "worldFTileIDString",
                                       "DEMOBULLET", "worldFTileLifeTime", "3", "worldFTileTimerMS", "250",
                                       "worldFTileHideOnStart", "1"}));
    for (const char* folder : {"LEFT", "RIGHT", "UP", "DOWN"}) {
        for (int frame = 1; frame <= 2; ++frame) {
            WriteTile(std::string("ANIM/hero/") + folder + "/" + std::to_string(frame) + ".png", 4, 4,
                      static_cast<uint8_t>(frame * 60));
        }
    }
    WriteFile("SOUND/#L0.wav", "");
    WriteFile("MAPS/LVL0.dll", Lines(kDefaultMap));
}

// The engine's start-up and five frames of its main loop over the world as it is on disk now.
inline void RunEngine() {
    std::error_code ignored;
    std::filesystem::remove(At("warnings.log"), ignored);  // keeps the scratch directory small
    plat::headless::Reset();
    SetStartValues();
    gState.engineDirectory = At("CORE/");

    RunStartUpSteps();
    plat::SetNearestSampling(true);

    plat::headless::SetMouse(640, 512, false, false, 0);
    for (int frame = 1; frame <= 8; ++frame) {
        plat::headless::SetKey(plat::kKeyM, frame == 6);  // held in frame 6, let go in frame 7
        plat::headless::SetKey(plat::kKeyRight, frame >= 2 && frame <= 4);
        HandleInput();
        RunFrame();
        if (gState.loadedArea != gState.requestedArea) LoadArea();
        plat::headless::AdvanceClock(300);
    }

    // What every load leaves, whatever the files held.
    Check(gState.lastObjectIndex >= 0 && gState.lastObjectIndex < ObjectCapacity());
    Check(gWorld.collisionList.count >= 0 &&
          gWorld.collisionList.count <= static_cast<int32_t>(gWorld.collisionList.entries.size()));
    Check(gState.highestLayer >= 0 && gState.highestLayer <= 8);
    Check(gWorld.grid.size() == static_cast<size_t>(kGridCells) * kGridCells);
}

}  // namespace fuzzworld
