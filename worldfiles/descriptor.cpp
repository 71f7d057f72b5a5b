// The tile descriptor file: writing its pairs and trailer, and the two key tables (engine and
// map builder) that turn its pairs into descriptor records.
#include "worldfiles/descriptor.h"

#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace wf {

namespace {

// A decimal number rounded to the nearest integer, halves to even, kept in 8 bits.
int8_t ParseRoundedByte(const std::string& text) { return LowByte(RoundToInt(ParseFloat(text))); }

float ParseIntAsFloat(const std::string& text) { return static_cast<float>(ParseInt(text)); }

// One row per key: the key text and how its value line is stored.
using EngineSetter = void (*)(TileDescriptor&, const std::string&);
struct EngineKey {
    const char* key;
    EngineSetter set;
};

using T = TileDescriptor;
using V = const std::string&;

const EngineKey kEngineKeys[] = {
    {"worldFTileRotate", [](T& d, V v) { d.worldFTileRotate = ParseFloat(v); }},
    {"worldFTileFollow", [](T& d, V v) { d.worldFTileFollow = v; }},
    {"worldFTileTransparency", [](T& d, V v) { d.worldFTileTransparency = ParseFloat(v); }},
    {"worldFTileGOBACK", [](T& d, V v) { d.worldFTileGOBACK = ParseByte(v); }},
    {"worldFTileTouchMove", [](T& d, V v) { d.worldFTileTouchMove = ParseByte(v); }},
    {"worldFTileTouchTransparency", [](T& d, V v) { d.worldFTileTouchTransparency = ParseInt(v); }},
    {"worldFTilePlayerID", [](T& d, V v) { d.worldFTilePlayerID = ParseInt(v); }},
    {"worldFTileExpansionValue", [](T& d, V v) { d.worldFTileExpansionValue = ParseFloat(v); }},
    {"worldFTileIsGUI", [](T& d, V v) { d.worldFTileIsGUI = ParseByte(v); }},
    {"worldFStretch", [](T& d, V v) { d.worldFStretch = ParseInt(v); }},
    {"worldFTileMove", [](T& d, V v) { d.worldFTileMove = ParseInt(v); }},
    {"worldFTileVELO", [](T& d, V v) { d.worldFTileVELO = ParseFloat(v); }},
    {"worldFTilePlayerMOVE", [](T& d, V v) { d.worldFTilePlayerMOVE = ParseInt(v); }},
    {"worldFTilePLINKI", [](T& d, V v) { d.worldFTilePLINKI = ParseByte(v); }},
    {"worldFTileGravity", [](T& d, V v) { d.worldFTileGravity = ParseFloat(v); }},
    {"worldFTileCollision", [](T& d, V v) { d.worldFTileCollision = ParseByte(v); }},
    {"worldFTileScrollH", [](T& d, V v) { d.worldFTileScrollH = ParseFloat(v); }},
    {"worldFTileCollisionDestroy", [](T& d, V v) { d.worldFTileCollisionDestroy = ParseByte(v); }},
    {"worldFTileLaunch", [](T& d, V v) { d.worldFTileLaunch = ParseInt(v); }},
    {"worldFTileGlobalGravity", [](T& d, V v) { d.worldFTileGlobalGravity = ParseInt(v); }},
    {"worldFTileFollowObject", [](T& d, V v) { d.worldFTileFollowObject = ParseInt(v); }},
    {"worldFTileMoveH", [](T& d, V v) { d.worldFTileMoveH = ParseFloat(v); }},
    {"worldFTileMoveV", [](T& d, V v) { d.worldFTileMoveV = ParseFloat(v); }},
    {"worldFTileIsEMUMousePointer", [](T& d, V v) { d.worldFTileIsEMUMousePointer = ParseInt(v); }},
    {"worldFTileUseKeyboard", [](T& d, V v) { d.worldFTileUseKeyboard = ParseByte(v); }},
    {"worldFTileUseJoyStick", [](T& d, V v) { d.worldFTileUseJoyStick = ParseInt(v); }},
    {"worldFTileIsHWMousePointer", [](T& d, V v) { d.worldFTileIsHWMousePointer = ParseInt(v); }},
    {"worldFTileTouchRotate", [](T& d, V v) { d.worldFTileTouchRotate = ParseInt(v); }},
    {"useLayerScroll", [](T& d, V v) { d.useLayerScroll = ParseByte(v); }},
    {"worldGlobalScrollH", [](T& d, V v) { d.worldGlobalScrollH = ParseFloat(v); }},
    {"worldGlobalScrollV", [](T& d, V v) { d.worldGlobalScrollV = ParseFloat(v); }},
    {"worldFTileShadow", [](T& d, V v) { d.worldFTileShadow = ParseInt(v); }},
    {"worldFTileTransport", [](T& d, V v) { d.worldFTileTransport = ParseByte(v); }},
    {"worldFTileFlire", [](T& d, V v) { d.worldFTileFlire = ParseInt(v); }},
    {"worldFTileID", [](T& d, V v) { d.worldFTileID = ParseInt(v); }},
    {"worldFTileIDString", [](T& d, V v) { d.worldFTileIDString = v; }},
    {"hp", [](T& d, V v) { d.hp = ParseInt(v); }},
    {"useWeapon", [](T& d, V v) { d.useWeapon = v; }},
    {"worldFTileShadowOffsetX", [](T& d, V v) { d.worldFTileShadowOffsetX = ParseInt(v); }},
    {"worldFTileShadowOffsetY", [](T& d, V v) { d.worldFTileShadowOffsetY = ParseInt(v); }},
    {"worldFTileShadowZoom", [](T& d, V v) { d.worldFTileShadowZoom = ParseInt(v); }},
    {"worldFTileJumpSize", [](T& d, V v) { d.worldFTileJumpSize = ParseInt(v); }},
    {"postEFFECT", [](T& d, V v) { d.postEFFECT = v; }},
    {"worldFTileFadeOut", [](T& d, V v) { d.worldFTileFadeOut = ParseFloat(v); }},
    {"worldFTileFadeIn", [](T& d, V v) { d.worldFTileFadeIn = ParseFloat(v); }},
    {"worldFTileLoopH", [](T& d, V v) { d.worldFTileLoopH = ParseByte(v); }},
    {"worldFTileLoopV", [](T& d, V v) { d.worldFTileLoopV = ParseByte(v); }},
    {"worldFTileParableH", [](T& d, V v) { d.worldFTileParableH = ParseFloat(v); }},
    {"worldFTileParableV", [](T& d, V v) { d.worldFTileParableV = ParseFloat(v); }},
    {"worldFTileBounceTopDown", [](T& d, V v) { d.worldFTileBounceTopDown = ParseFloat(v); }},
    {"worldFTileDoCrushH", [](T& d, V v) { d.worldFTileDoCrushH = ParseRoundedByte(v); }},
    {"worldFTileCollisionSize", [](T& d, V v) { d.worldFTileCollisionSize = ParseFloat(v); }},
    {"geneseID", [](T& d, V v) { d.geneseID = v; }},
    {"worldFTileRandomMove", [](T& d, V v) { d.worldFTileRandomMove = ParseByte(v); }},
    {"worldFTileLifeTime", [](T& d, V v) { d.worldFTileLifeTime = ParseInt(v); }},
    {"worldFTileTimerMS", [](T& d, V v) { d.worldFTileTimerMS = ParseInt(v); }},
    {"worldFTilePattern", [](T& d, V v) { d.worldFTilePattern = ParseByte(v); }},
    {"noSmooth", [](T& d, V v) { d.noSmooth = ParseByte(v); }},
    {"animTimer", [](T& d, V v) { d.animTimer = ParseInt(v); }},
    {"worldFTileUSEFX", [](T& d, V v) { d.worldFTileUSEFX = ParseByte(v); }},
    {"animContainer", [](T& d, V v) { d.animContainer = v; }},
    {"animAutoPlay", [](T& d, V v) { d.animAutoPlay = ParseByte(v); }},
    {"worldFTileHideOnStart", [](T& d, V v) { d.worldFTileHideOnStart = ParseByte(v); }},
    {"AI", [](T& d, V v) { d.AI = ParseByte(v); }},
    {"worldFTileIsMirror", [](T& d, V v) { d.worldFTileIsMirror = ParseInt(v); }},
    // Known to the engine, but its value has no field.
    {"worldFTileAutoLoad", [](T&, V) {}},
};

using BuilderSetter = void (*)(BuilderTileDescriptor&, const std::string&);
struct BuilderKey {
    const char* key;
    BuilderSetter set;
};

using B = BuilderTileDescriptor;

// Keys 1 to 55, in the order the builder tests them.
const BuilderKey kBuilderKeys[] = {
    {"worldFTileRotate", [](B& d, V v) { d.worldFTileRotate = ParseFloat(v); }},
    {"worldFTileCollision", [](B& d, V v) { d.worldFTileCollision = ParseByte(v); }},
    {"worldFTileFollow", [](B& d, V v) { d.worldFTileFollow = ParseInt(v); }},
    {"worldFTileEmitter", [](B& d, V v) { d.worldFTileEmitter = ParseByte(v); }},
    {"worldFTileTransparency", [](B& d, V v) { d.worldFTileTransparency = ParseInt(v); }},
    {"worldFTileTouchMove", [](B& d, V v) { d.worldFTileTouchMove = ParseByte(v); }},
    {"worldFTileGOBACK", [](B& d, V v) { d.worldFTileGOBACK = ParseByte(v); }},
    {"worldFTileTouchTransparency", [](B& d, V v) { d.worldFTileTouchTransparency = ParseInt(v); }},
    {"worldFTilePlayerID", [](B& d, V v) { d.worldFTilePlayerID = ParseInt(v); }},
    {"worldFTileExpansionValue", [](B& d, V v) { d.worldFTileExpansionValue = ParseFloat(v); }},
    {"worldFTileCollisionEmitter", [](B& d, V v) { d.worldFTileCollisionEmitter = ParseInt(v); }},
    {"worldFStretch", [](B& d, V v) { d.worldFStretch = ParseIntAsFloat(v); }},
    {"worldFTileMove", [](B& d, V v) { d.worldFTileMove = ParseInt(v); }},
    {"worldFTileVELO", [](B& d, V v) { d.worldFTileVELO = ParseFloat(v); }},
    {"worldFTilePlayerMOVE", [](B& d, V v) { d.worldFTilePlayerMOVE = ParseInt(v); }},
    {"worldFTilePLINKI", [](B& d, V v) { d.worldFTilePLINKI = ParseByte(v); }},
    {"worldFTileGravity", [](B& d, V v) { d.worldFTileGravity = ParseFloat(v); }},
    {"worldFTileScrollH", [](B& d, V v) { d.worldFTileScrollH = ParseFloat(v); }},
    {"worldFTileDynamicScrollH", [](B& d, V v) { d.worldFTileDynamicScrollH = RoundToInt(ParseFloat(v)); }},
    {"worldFTileCollisionDestroy", [](B& d, V v) { d.worldFTileCollisionDestroy = ParseByte(v); }},
    {"worldFTileLaunch", [](B& d, V v) { d.worldFTileLaunch = ParseIntAsFloat(v); }},
    {"worldFTileGlobalGravity", [](B& d, V v) { d.worldFTileGlobalGravity = ParseIntAsFloat(v); }},
    {"worldFTileFollowObject", [](B& d, V v) { d.worldFTileFollowObject = ParseInt(v); }},
    {"worldFTileMoveV", [](B& d, V v) { d.worldFTileMoveV = ParseFloat(v); }},
    {"worldFTileMoveH", [](B& d, V v) { d.worldFTileMoveH = ParseFloat(v); }},
    {"worldFTileIsEMUMousePointer", [](B& d, V v) { d.worldFTileIsEMUMousePointer = ParseInt(v); }},
    {"worldFTileIsHWMousePointer", [](B& d, V v) { d.worldFTileIsHWMousePointer = ParseInt(v); }},
    {"worldFTileTouchRotate", [](B& d, V v) { d.worldFTileTouchRotate = ParseInt(v); }},
    {"useLayerScroll", [](B& d, V v) { d.useLayerScroll = ParseByte(v); }},
    {"worldGlobalScrollH", [](B& d, V v) { d.worldGlobalScrollH = ParseFloat(v); }},
    {"worldGlobalScrollV", [](B& d, V v) { d.worldGlobalScrollV = ParseFloat(v); }},
    {"worldFTileShadow", [](B& d, V v) { d.worldFTileShadow = ParseIntAsFloat(v); }},
    {"worldFTileTransport", [](B& d, V v) { d.worldFTileTransport = ParseByte(v); }},
    {"worldFTileReflection", [](B& d, V v) { d.worldFTileReflection = ParseByte(v); }},
    {"worldFTileFlire", [](B& d, V v) { d.worldFTileFlire = ParseInt(v); }},
    {"worldFTileID", [](B& d, V v) { d.worldFTileID = v; }},
    {"hp", [](B& d, V v) { d.hp = ParseInt(v); }},
    {"useWeapon", [](B& d, V v) { d.useWeapon = v; }},
    {"worldFTileShadowOffsetX", [](B& d, V v) { d.worldFTileShadowOffsetX = ParseIntAsFloat(v); }},
    {"worldFTileShadowOffsetY", [](B& d, V v) { d.worldFTileShadowOffsetY = ParseIntAsFloat(v); }},
    {"worldFTileShadowZoom", [](B& d, V v) { d.worldFTileShadowZoom = ParseIntAsFloat(v); }},
    {"worldFTileNoStopOnCollision", [](B& d, V v) { d.worldFTileNoStopOnCollision = ParseByte(v); }},
    {"postEFFECT", [](B& d, V v) { d.postEFFECT = v; }},
    {"worldFTileLoopH", [](B& d, V v) { d.worldFTileLoopH = ParseByte(v); }},
    {"worldFTileLoopV", [](B& d, V v) { d.worldFTileLoopV = ParseByte(v); }},
    {"worldFTileParableV", [](B& d, V v) { d.worldFTileParableV = ParseFloat(v); }},
    {"worldFTileParableH", [](B& d, V v) { d.worldFTileParableH = ParseFloat(v); }},
    {"worldFTileBounceTopDown", [](B& d, V v) { d.worldFTileBounceTopDown = ParseFloat(v); }},
    {"worldFTileDoCrushH", [](B& d, V v) { d.worldFTileDoCrushH = ParseRoundedByte(v); }},
    {"worldFTileCollisionSize", [](B& d, V v) { d.worldFTileCollisionSize = ParseFloat(v); }},
    {"worldFTileSuperRotate", [](B& d, V v) { d.worldFTileSuperRotate = ParseFloat(v); }},
    {"worldFTileLook", [](B& d, V v) { d.worldFTileLook = ParseFloat(v); }},
    {"worldFTileLookAngle", [](B& d, V v) { d.worldFTileLookAngle = ParseFloat(v); }},
    {"worldFTilePattern", [](B& d, V v) { d.worldFTilePattern = ParseByte(v); }},
    {"geneseID", [](B& d, V v) { d.geneseID = v; }},
};

}  // namespace

const std::vector<std::string>& DescriptorTrailer() {
    static const std::vector<std::string> trailer = {
        ";KORVANE TILE DNA",
        ";WRITTEN BY PLOM-MAP-BUILDER",
        ";ONE KEY LINE, ONE VALUE LINE PER PAIR",
        ";DO NOT CHANGE THIS FILE BY HAND!!!",
        ";YOU MAY ENCOUNTER DATALOSS/MALFUNCTIONS",
        ";ALWAYS USE THE PLOM-MAP-BUILDER TO CREATE VALID MAP AND DNA DATAS!",
        ";KEYS ARE MATCHED EXACTLY, CASE-SENSITIVE",
        ";END OF DNA",
    };
    return trailer;
}

std::vector<std::string> DescriptorFileLines(const std::vector<DescriptorRow>& rows) {
    std::vector<std::string> lines;
    for (const DescriptorRow& row : rows) {
        // Placeholder rows (no default descriptor behind them) are not saved.
        if (row.first == kMissingKey || row.second == kMissingValue) {
            continue;
        }
        lines.push_back(row.first);
        lines.push_back(row.second);
    }
    const std::vector<std::string>& trailer = DescriptorTrailer();
    lines.insert(lines.end(), trailer.begin(), trailer.end());
    return lines;
}

bool WriteDescriptorFile(const std::string& path, const std::vector<DescriptorRow>& rows) {
    return plat::WriteLinesAtomically(path, DescriptorFileLines(rows));
}

bool ApplyEngineDescriptorPair(TileDescriptor& descriptor, const std::string& key,
                               const std::string& value) {
    for (const EngineKey& entry : kEngineKeys) {
        if (key == entry.key) {
            entry.set(descriptor, value);
            return true;
        }
    }
    return false;
}

bool ReadEngineDescriptor(const std::string& path, TileDescriptor& descriptor) {
    return ReadLinePairs(path, [&descriptor](const std::string& key, const std::string& value) {
        ApplyEngineDescriptorPair(descriptor, key, value);
    });
}

const std::vector<std::string>& BuilderDescriptorKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> list;
        for (const BuilderKey& entry : kBuilderKeys) {
            list.push_back(entry.key);
        }
        return list;
    }();
    return keys;
}

bool ApplyBuilderDescriptorPair(BuilderTileDescriptor& descriptor, const std::string& key,
                                const std::string& value) {
    for (const BuilderKey& entry : kBuilderKeys) {
        if (key == entry.key) {
            entry.set(descriptor, value);
            return true;
        }
    }
    return false;
}

BuilderDescriptorRead ReadBuilderDescriptor(const std::string& path,
                                            BuilderTileDescriptor& descriptor) {
    BuilderDescriptorRead read;
    read.opened = ReadLinePairs(path, [&](const std::string& key, const std::string& value) {
        if (!ApplyBuilderDescriptorPair(descriptor, key, value)) {
            ++read.unrecognisedPairs;
        }
    });
    return read;
}

}  // namespace wf
