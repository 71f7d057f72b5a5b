// IO: area loading: the map file into scaled world objects, animations, view origin, grid, sound.
// The map file is read once into memory; the nine layer passes run over its records. A map file
// that changes on disk while its area is played is loaded anew.
#include "engine/IO.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/DESCRIPTOR.h"
#include "engine/RECORDS.h"
#include "engine/GFXCORE.h"
#include "engine/systemcore.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "worldfiles/convert.h"
#include "worldfiles/mapfile.h"

namespace {

constexpr int kLayerPasses = 9;          // layers 0 to 8 become objects
constexpr int kMaxFramesPerFolder = 31;  // slots 1..31
const char* const kFolderNames[kAnimFolders] = {"LEFT", "RIGHT", "UP", "DOWN"};
constexpr int64_t kMapCheckInterval = 250;  // milliseconds between two looks at the played map file

// Source ratios (as two-decimal text) that get the plain 16:10 band.
bool IsKnownRatio(const std::string& text) {
    static const char* const known[] = {"1.25", "1.33", "1.3",  "1.66", "1.6",  "1.67",
                                        "1.60", "1.77", "1.70", "1.7",  "1.78", "1.80"};
    for (const char* k : known) {
        if (text == k) return true;
    }
    return false;
}

void ComputeScale() {
    gState.scaleX = gState.SCRW / gSettings.SOURCEWIDTH;
    gState.scaleY = gState.SCRH / gSettings.SOURCEHEIGHT;
    gState.sourceRatio = gSettings.SOURCEWIDTH / gSettings.SOURCEHEIGHT;
    gState.screenRatio = gState.SCRW / gState.SCRH;
    if (gState.sourceRatio == gState.screenRatio) return;
    char ratioText[64];
    std::snprintf(ratioText, sizeof ratioText, "%.2f", static_cast<double>(gState.sourceRatio));
    gState.bandHeight = gState.SCRW / 16 * 10;
    gState.bottomBarHeight = gState.SCRH - gState.bandHeight;
    gState.scaleY = gState.bandHeight / gSettings.SOURCEHEIGHT;
    if (!IsKnownRatio(ratioText)) {
        gState.scaleY = gState.scaleY - (gState.screenRatio - gState.sourceRatio);
        gState.bottomBarHeight = gSettings.SOURCEHEIGHT - gState.SCRH;
    }
}

void ScaleObjectToScreen(WorldObject& o) {
    ComputeScale();
    o.x = wf::RoundUp(o.x * gState.scaleX);
    o.startX = o.x;
    o.y = wf::RoundUp(o.y * gState.scaleY);
    o.startY = o.y;
    o.width = wf::RoundUp(o.width * gState.scaleX);
    o.height = wf::RoundUp(o.height * gState.scaleY);
    o.velo = o.velo * (gState.scaleX / gState.scaleY);
    o.speedH = o.speedH * gState.scaleX;
    o.speedV = o.speedV * gState.scaleY;
    plat::ZoomDrawable(o.tileDrawable, wf::RoundToInt(o.width), wf::RoundToInt(o.height));
}

// A frame image of the current area load, decoded once however many objects use it.
plat::Image FrameImage(const std::string& path) {
    auto found = gWorld.frameImages.find(path);
    if (found != gWorld.frameImages.end()) return found->second;
    plat::Image image = plat::LoadImage(path);
    gWorld.frameImages.emplace(path, image);
    return image;
}

// Frames 1..limit are tried in order; the folder keeps the slots up to the last one that loaded
// (gaps included), one after the other at the end of the world's frame table.
void LoadAnimationFolder(WorldObject& o, int folder) {
    const std::string prefix = gSettings.ANIMSYSTEM + o.animContainer + plat::PathSeparator() +
                               kFolderNames[folder] + plat::PathSeparator();
    const int limit = std::min(o.animLimit, kMaxFramesPerFolder);
    std::vector<AnimationFrame>& frames = gWorld.animationFrames;
    const size_t first = frames.size();
    o.animFirst[folder] = static_cast<int32_t>(first);
    for (int k = 1; k <= limit; ++k) {
        AnimationFrame frame;
        frame.image = FrameImage(prefix + wf::IntText(k) + gSettings.GFXCODEC);
        if (frame.image.Valid()) {
            frame.drawable = plat::MakeDrawable(frame.image);
            o.animCount[folder] = k;
            plat::ZoomDrawable(frame.drawable,
                               wf::RoundToInt(static_cast<float>(plat::ImageWidth(frame.image)) * gState.scaleX),
                               wf::RoundToInt(static_cast<float>(plat::ImageHeight(frame.image)) * gState.scaleY));
        }
        frames.push_back(frame);
    }
    // Slots after the last frame that loaded hold nothing.
    frames.resize(first + static_cast<size_t>(o.animCount[folder]));
}

// The tile library lookup of each tile name of one map, made once per name: the library does
// not change during a load, and a map of many objects names few kinds.
using TileLookup = std::unordered_map<std::string, int>;

int LookUpTile(TileLookup& lookup, const std::string& name) {
    const auto found = lookup.find(name);
    if (found != lookup.end()) return found->second;
    const int tileIndex = FindTile(name);
    lookup.emplace(name, tileIndex);
    return tileIndex;
}

// Creates the object of one map record at the next free index. False when the table is full.
bool CreateObject(const wf::EngineMapRecord& record, TileLookup& lookup) {
    const int index = gState.lastObjectIndex;
    if (index >= ObjectCapacity()) return false;
    const int tileIndex = LookUpTile(lookup, record.tileName);
    if (tileIndex < 0) return true;  // no tile graphic loaded at all: nothing to show
    const TileKind& tile = gWorld.tiles[tileIndex];
    WorldObject& o = gWorld.objects[index];
    o.tileDrawable = plat::MakeDrawable(tile.sprite);
    o.sprite = o.tileDrawable;
    o.tileName = tile.name;
    o.state = 1;
    gState.currentTileIndex = tileIndex;

    CopyDescriptorToObject(tileIndex, index);

    o.x = o.startX = o.sourceX = record.x;
    o.y = o.startY = o.sourceY = record.y;
    o.width = record.width;
    o.height = record.height;
    o.layer = record.layer;
    gState.highestLayer = std::max(gState.highestLayer, o.layer);
    ScaleObjectToScreen(o);

    if (!o.animContainer.empty() && o.animContainer != "NOPE") {
        o.animLimit = gSettings.MAXANIMFRAMES;
        o.animFrame = 1;
        for (int folder = 0; folder < kAnimFolders; ++folder) LoadAnimationFolder(o, folder);
    }
    RegisterObjectTemplate(index);
    ApplyHideOnStart(index);
    gState.lastObjectIndex += 1;
    return true;
}

void SetViewOrigin() {
    const int last = LastObjectIndex();
    int origin = 0;
    for (int i = 0; i <= last; ++i) {
        if (gWorld.objects[i].idString == "MAPSTART") {
            origin = i;
            break;
        }
    }
    gSettings.MATRIX_OFFSET_X = gWorld.objects[origin].x;
    gSettings.MATRIX_OFFSET_Y = gWorld.objects[origin].y;
    for (int i = 0; i <= last; ++i) {
        gWorld.objects[i].x -= gSettings.MATRIX_OFFSET_X;
        gWorld.objects[i].y -= gSettings.MATRIX_OFFSET_Y;
    }
}

// Marks the grid cell under a point with a collision value.
void MarkCell(float px, float py, int8_t value) {
    const float i = wf::RoundUp(px / gState.cellWidth);
    const float j = wf::RoundUp(py / gState.cellHeight);
    if (i >= 0 && i <= kGridCells - 1 && j >= 0 && j <= kGridCells - 1) {
        Cell(static_cast<int>(i), static_cast<int>(j)).occupancy = value;
    }
}

void BuildAreaGrid() {
    // The cell size is derived from GRIDSIZE on every load, so loading a second area does not
    // scale it twice.
    gState.cellWidth = wf::RoundUp(gSettings.GRIDSIZE * gState.scaleX);
    gState.cellHeight = wf::RoundUp(gSettings.GRIDSIZE * gState.scaleY);
    for (GridCell& cell : gWorld.grid) cell = GridCell{};
    const int last = std::min(gSettings.MATRIXSIZE, kGridCells - 1);
    for (int i = 0; i <= last; ++i) {
        for (int j = 0; j <= last; ++j) {
            GridCell& cell = Cell(i, j);
            cell.x = wf::RoundUp(static_cast<float>(i) * gState.cellWidth);
            cell.y = wf::RoundUp(static_cast<float>(j) * gState.cellHeight);
            cell.width = wf::RoundUp(gState.cellWidth);
            cell.height = wf::RoundUp(gState.cellHeight);
        }
    }
    // Occupancy needs a positive cell size; with none there is no cell to mark.
    if (gState.cellWidth <= 0 || gState.cellHeight <= 0) return;
    const int lastObject = LastObjectIndex();
    for (int k = 0; k <= lastObject; ++k) {
        const WorldObject& o = gWorld.objects[k];
        if (o.collision < 10) continue;
        MarkCell(o.x, o.y, o.collision);
        MarkCell(o.x + o.width, o.y, o.collision);
        MarkCell(o.x, o.y + o.height, o.collision);
    }
}

// The objects of a map's records, layer 0 to 8, then the view origin and the area grid.
void BuildWorldFromMap(const std::vector<std::string>* lines, const std::string& path) {
    if (lines != nullptr) {
        const wf::EngineMap map = wf::ParseEngineMap(*lines);
        gSettings.MATRIX_OFFSET_X = map.offsetX;
        gSettings.MATRIX_OFFSET_Y = map.offsetY;
        bool full = false;
        TileLookup lookup;
        for (int pass = 0; pass < kLayerPasses && !full; ++pass) {
            for (const wf::EngineMapRecord& record : map.records) {
                if (record.layer != pass) continue;
                if (!CreateObject(record, lookup)) {
                    full = true;
                    break;
                }
            }
        }
        if (full) {
            WriteWarning("MAP HAS MORE OBJECTS THAN MAXOBJECTS ALLOWS:" + path + " MAXOBJECTS:" +
                         wf::IntText(gSettings.MAXOBJECTS));
        }
    }
    if (gState.lastObjectIndex >= 1) gState.lastObjectIndex -= 1;
    SetViewOrigin();
    BuildAreaGrid();
}

// The loaded area's looping sound, started anew; a missing one is a warning.
void StartAreaSound() {
    if (gState.currentSound.Valid()) {
        plat::StopSound(gState.currentSound);
        plat::FreeSound(gState.currentSound);
    }
    const std::string soundName = AreaSoundName(gState.loadedArea);
    gState.currentSound = plat::LoadSound(soundName);
    if (!gState.currentSound.Valid()) {
        WriteWarning("COULD NOT FIND SOUND:" + soundName);
    } else {
        plat::PlayLoop(gState.currentSound);
    }
}

}  // namespace

std::string MapFileName(int area) {
    if (!gState.startMapFile.empty() && area == gSettings.APPENTRY) return gState.startMapFile;
    return gSettings.SIMCORE + "LVL" + wf::IntText(area) + ".dll";
}

std::string AreaSoundName(int area) {
    return gSettings.SOUNDPATH + "#L" + wf::IntText(area) + gSettings.SOUNDCODEC;
}

void ClearWorld() {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        WorldObject& o = gWorld.objects[i];
        plat::FreeDrawable(o.tileDrawable);
        o = WorldObject{};
    }
    gWorld.templates.clear();
    for (AnimationFrame& frame : gWorld.animationFrames) plat::FreeDrawable(frame.drawable);
    gWorld.animationFrames.clear();
    for (auto& entry : gWorld.frameImages) plat::FreeImage(entry.second);
    gWorld.frameImages.clear();
    gState.lastObjectIndex = 0;
    // The list is rebuilt by every load, so no entry of the previous area survives.
    std::fill(gWorld.collisionList.entries.begin(), gWorld.collisionList.entries.end(), 0);
    gWorld.collisionList.count = 0;
    gState.highestLayer = 0;
    gState.currentTileIndex = 0;
    gSettings.MATRIX_OFFSET_X = 0;
    gSettings.MATRIX_OFFSET_Y = 0;
}

void LoadMap(const std::string& path) {
    PLAT_MARK("IO");
    ClearWorld();
    std::vector<std::string> lines;
    if (plat::ReadAllLines(path, lines)) {
        BuildWorldFromMap(&lines, path);
    } else {
        gState.noValidData = 1;
        BuildWorldFromMap(nullptr, path);
    }
}

void LoadArea() {
    PLAT_MARK("IO");
    gState.loadedArea = gState.requestedArea;
    const std::string path = MapFileName(gState.loadedArea);
    // Taken before reading: a change during the read is seen at the next look.
    gState.mapFileTime = plat::FileModificationTime(path);
    LoadMap(path);
    StartAreaSound();
}

void ReloadChangedMap() {
    const int64_t now = plat::Milliseconds();
    if (gState.loadedArea == kNoArea || now < gState.nextMapCheck) return;
    PLAT_MARK("IO");
    gState.nextMapCheck = now + kMapCheckInterval;
    const std::string path = MapFileName(gState.loadedArea);
    const int64_t time = plat::FileModificationTime(path);
    if (time == gState.mapFileTime) return;
    gState.mapFileTime = time;
    // The whole file is read and checked before the world is touched: a map that does not load
    // leaves the area running as it is.
    std::vector<std::string> lines;
    if (!plat::ReadAllLines(path, lines) || !wf::EngineMapComplete(lines)) {
        WriteWarning("MAP FILE CHANGED BUT DOES NOT LOAD, THE AREA RUNS ON UNCHANGED:" + path);
        return;
    }
    ClearWorld();
    gState.noValidData = 0;
    BuildWorldFromMap(&lines, path);
    StartAreaSound();
}
