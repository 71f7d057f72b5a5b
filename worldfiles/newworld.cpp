// The new world's files: configurations written as key/value pairs or four-line groups, tile
// graphics drawn here and written as PNG, descriptors in builder row order, and the start map.
#include "worldfiles/newworld.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/images.h"
#include "worldfiles/convert.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/mapfile.h"

namespace wf {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The maps are made for this screen size; the engine scales them to the desktop.
constexpr int kSourceWidth = 1280;
constexpr int kSourceHeight = 1024;
constexpr int kFloorSide = 128;
constexpr int kWallSide = 64;
constexpr int kPlayerSide = 64;
constexpr int kMarkerSide = 32;

// Every descriptor key with its default value, in the order the map builder writes its rows.
const Rows& DefaultDescriptorRows() {
    static const Rows rows = {
        {"worldFTileRotate", "0"}, {"worldFTileCollision", "0"}, {"worldFTileFollow", ""},
        {"worldFTileEmitter", "0"}, {"worldFTileTransparency", "255"}, {"worldFTileTouchMove", "0"},
        {"worldFTileGOBACK", "0"}, {"worldFTileTouchTransparency", "0"}, {"worldFTilePlayerID", "0"},
        {"worldFTileExpansionValue", "0"}, {"worldFTileCollisionEmitter", "0"}, {"worldFStretch", "0"},
        {"worldFTileMove", "0"}, {"worldFTileVELO", "0"}, {"worldFTilePlayerMOVE", "0"},
        {"worldFTilePLINKI", "0"}, {"worldFTileGravity", "0"}, {"worldFTileScrollH", "0"},
        {"worldFTileDynamicScrollH", "0"}, {"worldFTileCollisionDestroy", "0"}, {"worldFTileLaunch", "0"},
        {"worldFTileGlobalGravity", "0"}, {"worldFTileFollowObject", "0"}, {"worldFTileMoveV", "0"},
        {"worldFTileMoveH", "0"}, {"worldFTileIsEMUMousePointer", "0"}, {"worldFTileIsHWMousePointer", "0"},
        {"worldFTileTouchRotate", "0"}, {"useLayerScroll", "0"}, {"worldGlobalScrollH", "0"},
        {"worldGlobalScrollV", "0"}, {"worldFTileShadow", "0"}, {"worldFTileTransport", "0"},
        {"worldFTileReflection", "0"}, {"worldFTileFlire", "0"}, {"worldFTileID", "0"}, {"hp", "0"},
        {"useWeapon", ""}, {"worldFTileShadowOffsetX", "0"}, {"worldFTileShadowOffsetY", "0"},
        {"worldFTileShadowZoom", "0"}, {"worldFTileNoStopOnCollision", "0"}, {"postEFFECT", ""},
        {"worldFTileLoopH", "0"}, {"worldFTileLoopV", "0"}, {"worldFTileParableV", "0"},
        {"worldFTileParableH", "0"}, {"worldFTileBounceTopDown", "0"}, {"worldFTileDoCrushH", "0"},
        {"worldFTileCollisionSize", "0"}, {"worldFTileSuperRotate", "0"}, {"worldFTileLook", "0"},
        {"worldFTileLookAngle", "0"}, {"worldFTilePattern", "0"}, {"geneseID", ""}, {"worldFTileIsGUI", "0"},
        {"worldFTileIDString", ""}, {"worldFTileJumpSize", "0"}, {"worldFTileRandomMove", "0"},
        {"worldFTileFadeIn", "0"}, {"worldFTileFadeOut", "0"}, {"worldFTileLifeTime", "0"},
        {"worldFTileTimerMS", "0"}, {"noSmooth", "0"}, {"worldFTileAutoLoad", "0"}, {"worldFTileUSEFX", "0"},
        {"animContainer", "NOPE"}, {"animAutoPlay", "0"}, {"animTimer", "0"}, {"worldFTileHideOnStart", "0"},
        {"worldFTileUseKeyboard", "0"}, {"worldFTileUseJoyStick", "0"}, {"AI", "0"}, {"worldFTileIsMirror", "0"},
    };
    return rows;
}

// The default rows with some values replaced.
Rows DescriptorRows(const Rows& changes) {
    Rows rows = DefaultDescriptorRows();
    for (auto& [key, value] : rows) {
        for (const auto& [changedKey, changedValue] : changes) {
            if (key == changedKey) value = changedValue;
        }
    }
    return rows;
}

// Key line, value line pairs (the engine's files).
std::vector<std::string> PairLines(const Rows& rows) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : rows) {
        lines.push_back(key);
        lines.push_back(value);
    }
    return lines;
}

// Groups of key, comment, value and an empty line (the codec file and the builder's chain).
std::vector<std::string> GroupLines(const Rows& rows) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : rows) {
        lines.insert(lines.end(), {key, "", value, ""});
    }
    return lines;
}

// --- tile graphics: drawn in code, pure white is the transparent colour ------------------------
struct Rgb {
    uint8_t r, g, b;
};

plat::Pixels Canvas(int side, Rgb fill) {
    plat::Pixels pixels;
    pixels.width = side;
    pixels.height = side;
    pixels.rgba.resize(static_cast<size_t>(side) * side * 4);
    for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
        pixels.rgba[i] = fill.r;
        pixels.rgba[i + 1] = fill.g;
        pixels.rgba[i + 2] = fill.b;
        pixels.rgba[i + 3] = 255;
    }
    return pixels;
}

void Put(plat::Pixels& pixels, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return;
    const size_t at = (static_cast<size_t>(y) * pixels.width + x) * 4;
    pixels.rgba[at] = colour.r;
    pixels.rgba[at + 1] = colour.g;
    pixels.rgba[at + 2] = colour.b;
}

// A grey-green stone slab with a darker joint along its edges and a faint speckle.
plat::Pixels FloorGraphic() {
    plat::Pixels pixels = Canvas(kFloorSide, Rgb{92, 108, 84});
    for (int y = 0; y < kFloorSide; ++y) {
        for (int x = 0; x < kFloorSide; ++x) {
            const bool joint = x < 2 || y < 2 || x >= kFloorSide - 2 || y >= kFloorSide - 2;
            const unsigned speckle = (static_cast<unsigned>(x) * 7919u + static_cast<unsigned>(y) * 104729u) % 23u;
            if (joint) {
                Put(pixels, x, y, Rgb{60, 70, 56});
            } else if (speckle == 0) {
                Put(pixels, x, y, Rgb{100, 118, 92});
            }
        }
    }
    return pixels;
}

// Red-brown bricks in half-offset rows on grey mortar.
plat::Pixels WallGraphic() {
    plat::Pixels pixels = Canvas(kWallSide, Rgb{140, 136, 128});
    constexpr int kBrickHeight = 16, kBrickWidth = 32;
    for (int y = 0; y < kWallSide; ++y) {
        const int row = y / kBrickHeight;
        const int shift = (row % 2) * (kBrickWidth / 2);
        for (int x = 0; x < kWallSide; ++x) {
            const bool mortar = y % kBrickHeight < 2 || (x + shift) % kBrickWidth < 2;
            if (!mortar) Put(pixels, x, y, Rgb{150, 62, 44});
        }
    }
    return pixels;
}

// A blue disc with a lighter core on a transparent (white) ground.
plat::Pixels PlayerGraphic() {
    plat::Pixels pixels = Canvas(kPlayerSide, Rgb{255, 255, 255});
    const int centre = kPlayerSide / 2;
    for (int y = 0; y < kPlayerSide; ++y) {
        for (int x = 0; x < kPlayerSide; ++x) {
            const int dx = x - centre, dy = y - centre;
            const int d2 = dx * dx + dy * dy;
            if (d2 <= 12 * 12) {
                Put(pixels, x, y, Rgb{120, 180, 250});
            } else if (d2 <= 28 * 28) {
                Put(pixels, x, y, Rgb{30, 90, 210});
            }
        }
    }
    return pixels;
}

// A yellow cross on a transparent ground: the view's start (invisible in the engine).
plat::Pixels MarkerGraphic() {
    plat::Pixels pixels = Canvas(kMarkerSide, Rgb{255, 255, 255});
    for (int i = 0; i < kMarkerSide; ++i) {
        for (int t = -1; t <= 1; ++t) {
            Put(pixels, i, i + t, Rgb{230, 200, 20});
            Put(pixels, i, kMarkerSide - 1 - i + t, Rgb{230, 200, 20});
        }
    }
    return pixels;
}

// --- the start map -----------------------------------------------------------------------------
MapFileTile Tile(const std::string& name, int index, int x, int y, int side, int layer) {
    MapFileTile tile;
    tile.tileName = name;
    tile.libraryIndex = index;
    tile.x = static_cast<float>(x);
    tile.y = static_cast<float>(y);
    tile.width = static_cast<float>(side);
    tile.height = static_cast<float>(side);
    tile.layer = layer;
    return tile;
}

// Floor slabs on layer 0, a ring of walls on layer 1, the start marker at (0, 0) and the player
// in the middle on layer 2. Library indices follow the byte-wise order of the tile names.
std::vector<MapFileTile> StartMap() {
    std::vector<MapFileTile> tiles;
    for (int y = 0; y < kSourceHeight; y += kFloorSide) {
        for (int x = 0; x < kSourceWidth; x += kFloorSide) tiles.push_back(Tile("floor", 0, x, y, kFloorSide, 0));
    }
    const int right = kSourceWidth - kWallSide, bottom = kSourceHeight - kWallSide;
    for (int x = 0; x < kSourceWidth; x += kWallSide) {
        tiles.push_back(Tile("wall", 3, x, 0, kWallSide, 1));
        tiles.push_back(Tile("wall", 3, x, bottom, kWallSide, 1));
    }
    for (int y = kWallSide; y < bottom; y += kWallSide) {
        tiles.push_back(Tile("wall", 3, 0, y, kWallSide, 1));
        tiles.push_back(Tile("wall", 3, right, y, kWallSide, 1));
    }
    tiles.push_back(Tile("mapstart", 1, 0, 0, kMarkerSide, 2));
    tiles.push_back(Tile("player", 2, (kSourceWidth - kPlayerSide) / 2, (kSourceHeight - kPlayerSide) / 2,
                         kPlayerSide, 2));
    return tiles;
}

bool WriteAll(const std::string& root, const WorldSettings& settings, std::string& problem) {
    // Each write says which file failed; `written` passes on its outcome.
    auto written = [&](bool ok, const std::string& name) {
        if (!ok) problem = "cannot write " + root + name;
        return ok;
    };
    auto lines = [&](const std::string& name, const std::vector<std::string>& content) {
        return written(plat::WriteLinesAtomically(root + name, content), name);
    };
    for (const char* folder : {"CORE", "GFX", "MAPS", "ANIM", "SOUND", "_DATA", "USER"}) {
        if (!plat::MakeDirectories(root + folder)) {
            problem = "cannot make " + root + folder;
            return false;
        }
    }
    const Rows engine = {
        {"SYSTEMTEXT", "CORE/systemtext.txt"}, {"CODECS", "CORE/codecs.crc"}, {"GFX", "GFX/"},
        {"SIMCORE", "MAPS/"}, {"ANIMSYSTEM", "ANIM/"}, {"SOUNDPATH", "SOUND/"}, {"ERRORPATH", "error.log"},
        {"WARNINGS", "warnings.log"}, {"SOURCEWIDTH", "1280"}, {"SOURCEHEIGHT", "1024"}, {"GRIDSIZE", "64"},
        {"MATRIXSIZE", "19"}, {"MAXOBJECTS", IntText(settings.maxObjects)}, {"MAXANIMFRAMES", "8"},
        {"APPENTRY", "0"}, {"MULTITASK", "0"}, {"VERSION", settings.version},
        {"USRSCROLL", settings.userScroll ? "1" : "0"}, {"DYNAMICSCROLL", settings.dynamicScroll ? "1" : "0"},
        {"SIMSCOPE", "REGION"},
    };
    const Rows codecs = {{"GFXCODEC", ".png"}, {"SOUNDCODEC", ".wav"}, {"MUSICCODEC", ".ogg"}};
    const std::vector<std::string> texts = {
        "#ERROR_UNKNOWN", "An unknown error occurred.",
        "#ERROR_INIT_IO", "Could not start the file and input services.",
        "#ERROR_INIT_2D_GFX", "Could not start the 2D graphics.",
        "#ERROR_INIT_3D_GFX", "Could not start the 3D sprite graphics.",
        "#ERROR_INIT_UI", "Could not start the user interface.",
        "#ERROR_INIT_INIT", "Could not read the engine configuration or system texts.",
        "#ERROR_OPEN_DEVELOPER_WINDOW", "Could not open the developer window.",
        "#ERROR_OPEN_WORLD_SCREEN", "Could not open the world screen at the desktop size.",
    };
    const Rows script = {
        {"RESBASEW", "1280"}, {"RESBASEH", "1024"}, {"WINDOWMODE", "0"}, {"DEPTH", "32"}, {"WIDTH", "1024"},
        {"HEIGHT", "768"}, {"NAME", "NEW WORLD"}, {"APPINIFILE", "_DATA/app.txt"}, {"DNA", "_DATA/DNA.dll"},
        {"MAXTILES", IntText(settings.maxTiles)}, {"MATRIXRASTER", "32"},
    };
    const Rows app = {
        {"GFXPATH", "GFX/"}, {"SNDPATH", "SOUND/"}, {"SAVEPATH", "MAPS/"}, {"LOADPATH", "MAPS/"},
        {"MAPENV", "MAPS/"}, {"LOGFILE", "USER/"}, {"DESCRIPTOR", "GFX/"}, {"GUIINI", "_DATA/gui.txt"},
        {"CODECS", "_DATA/codecs.txt"},
    };
    const Rows gui = {{"MAXGUIITEMS", "64"}, {"USEBGBOX", "1"}, {"GUITOP", "0"}, {"GUIH", "48"},
                      {"GUIOBJECTSIZE", "48"}};
    if (!lines("CORE/ini.crc", PairLines(engine)) || !lines("CORE/codecs.crc", GroupLines(codecs)) ||
        !lines("CORE/systemtext.txt", texts) ||
        !lines("_DATA/ini.txt", GroupLines({{"DEFAULTINISCRIPT", "_DATA/script.txt"}})) ||
        !lines("_DATA/script.txt", GroupLines(script)) || !lines("_DATA/app.txt", GroupLines(app)) ||
        !lines("_DATA/gui.txt", GroupLines(gui)) || !lines("_DATA/codecs.txt", GroupLines(codecs))) {
        return false;
    }

    if (!written(WriteDescriptorFile(root + "_DATA/DNA.dll", DefaultDescriptorRows()), "_DATA/DNA.dll")) {
        return false;
    }
    if (!settings.starterTiles) return true;
    struct Kind {
        const char* name;
        plat::Pixels graphic;
        Rows values;
    };
    const Kind kinds[] = {
        {"floor", FloorGraphic(), {{"worldFTileIDString", "FLOOR"}}},
        {"mapstart", MarkerGraphic(), {{"worldFTileTransparency", "0"}, {"worldFTileIDString", "MAPSTART"}}},
        {"player", PlayerGraphic(),
         {{"worldFTileCollision", "1"}, {"worldFTilePlayerID", "1"}, {"worldFTileVELO", "4"},
          {"worldFTileMoveH", "1"}, {"worldFTileIDString", "PLAYER"}, {"worldFTileUseKeyboard", "1"}}},
        {"wall", WallGraphic(), {{"worldFTileCollision", "1"}, {"worldFTileIDString", "WALL"}}},
    };
    for (const Kind& kind : kinds) {
        const std::string base = std::string("GFX/") + kind.name;
        if (!written(plat::WritePngFile(root + base + ".png", kind.graphic), base + ".png") ||
            !written(WriteDescriptorFile(root + base + ".dll", DescriptorRows(kind.values)), base + ".dll")) {
            return false;
        }
    }
    const std::vector<MapFileTile> map = StartMap();
    for (const char* name : {"MAPS/LVL0.dll", "1"}) {
        if (!written(WriteMapFile(root + name, map), name)) return false;
    }
    return true;
}

}  // namespace

bool WriteWorldFiles(const std::string& root, const WorldSettings& settings, std::string& problem) {
    return WriteAll(root, settings, problem);
}

bool WriteNewWorld(const std::string& directory, std::string& problem) {
    if (directory.empty()) {
        problem = "no directory given for the new world";
        return false;
    }
    if (plat::FileExists(directory)) {
        problem = "'" + directory + "' is not a directory; nothing was written";
        return false;
    }
    if (plat::DirectoryExists(directory) && !plat::DirectoryIsEmpty(directory)) {
        problem = "the directory '" + directory + "' is not empty; nothing was written";
        return false;
    }
    if (!plat::MakeDirectories(directory)) {
        problem = "cannot make the directory '" + directory + "'";
        return false;
    }
    const std::string root = directory.back() == '/' ? directory : directory + "/";
    return WriteAll(root, WorldSettings{}, problem);
}

}  // namespace wf
