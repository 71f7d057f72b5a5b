// The tile descriptor ("DNA") file: key/value line pairs and an eight-line ";" trailer.
// Two key tables read it: the engine's (TileDescriptor) and the map builder's (BuilderTileDescriptor).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/handles.h"

namespace wf {

// --- writing ----------------------------------------------------------------------------------
using DescriptorRow = std::pair<std::string, std::string>;  // key text, value text

inline constexpr const char* kMissingKey = "_key_FAIL";
inline constexpr const char* kMissingValue = "_val_FAIL";

// The eight comment lines written after the pairs.
const std::vector<std::string>& DescriptorTrailer();
// Pairs in row order, skipping rows whose key is "_key_FAIL" or whose value is "_val_FAIL",
// then the trailer.
std::vector<std::string> DescriptorFileLines(const std::vector<DescriptorRow>& rows);
// Writes DescriptorFileLines atomically; false when it could not be written (the old file survives).
bool WriteDescriptorFile(const std::string& path, const std::vector<DescriptorRow>& rows);

// --- the engine's record and key table ---------------------------------------------------------
// Fields are named after their keys; numbers are 0 and texts empty until a key sets them.
struct TileDescriptor {
    std::string tileName;        // set by the loader: the tile kind's name
    std::string descriptorPath;  // set by the loader: the file that was read
    plat::Image sprite;          // set by the loader: the tile kind's graphic

    float worldFTileRotate = 0;              // radians per frame
    std::string worldFTileFollow;            // idString of the object to follow
    float worldFTileTransparency = 0;        // opacity 0..255
    int8_t worldFTileGOBACK = 0;
    int8_t worldFTileTouchMove = 0;
    int32_t worldFTileTouchTransparency = 0;
    int32_t worldFTilePlayerID = 0;
    float worldFTileExpansionValue = 0;
    int8_t worldFTileIsGUI = 0;
    int32_t worldFStretch = 0;
    int32_t worldFTileMove = 0;
    float worldFTileVELO = 0;                // pixels per frame
    int32_t worldFTilePlayerMOVE = 0;
    int8_t worldFTilePLINKI = 0;
    float worldFTileGravity = 0;
    int8_t worldFTileCollision = 0;
    float worldFTileScrollH = 0;
    int8_t worldFTileCollisionDestroy = 0;
    int32_t worldFTileLaunch = 0;
    int32_t worldFTileGlobalGravity = 0;
    int32_t worldFTileFollowObject = 0;
    float worldFTileMoveH = 0;               // -1, 0, 1
    float worldFTileMoveV = 0;               // -1, 0, 1
    int32_t worldFTileIsEMUMousePointer = 0;
    int8_t worldFTileUseKeyboard = 0;
    int32_t worldFTileUseJoyStick = 0;
    int32_t worldFTileIsHWMousePointer = 0;
    int32_t worldFTileTouchRotate = 0;
    int8_t useLayerScroll = 0;
    float worldGlobalScrollH = 0;
    float worldGlobalScrollV = 0;
    int32_t worldFTileShadow = 0;
    int8_t worldFTileTransport = 0;
    int32_t worldFTileFlire = 0;             // flicker odds
    int32_t worldFTileID = 0;
    std::string worldFTileIDString;          // the object's name
    int32_t hp = 0;
    std::string useWeapon;                   // idString of the projectiles fired
    int32_t worldFTileShadowOffsetX = 0;
    int32_t worldFTileShadowOffsetY = 0;
    int32_t worldFTileShadowZoom = 0;
    int32_t worldFTileJumpSize = 0;
    std::string postEFFECT;                  // blending mode "SxD"
    float worldFTileFadeOut = 0;
    float worldFTileFadeIn = 0;              // opacity gained per frame
    int8_t worldFTileLoopH = 0;
    int8_t worldFTileLoopV = 0;
    float worldFTileParableH = 0;
    float worldFTileParableV = 0;
    float worldFTileBounceTopDown = 0;
    int8_t worldFTileDoCrushH = 0;           // parsed as a decimal number, rounded to nearest
    float worldFTileCollisionSize = 0;
    std::string geneseID;
    int8_t worldFTileRandomMove = 0;
    int32_t worldFTileLifeTime = 0;          // life steps
    int32_t worldFTileTimerMS = 0;           // milliseconds per life step
    int8_t worldFTilePattern = 0;
    int8_t noSmooth = 0;
    int32_t animTimer = 0;
    int8_t worldFTileUSEFX = 0;
    std::string animContainer;               // animation folder name
    int8_t animAutoPlay = 0;
    int8_t worldFTileHideOnStart = 0;        // 1 out of play, 2 fully transparent
    int8_t AI = 0;
    int32_t worldFTileIsMirror = 0;          // mirror effect opacity
};

// Applies one key/value pair with the engine's key table; false when the key is not one of its
// keys. `worldFTileAutoLoad` is recognised and its value ignored.
bool ApplyEngineDescriptorPair(TileDescriptor& descriptor, const std::string& key,
                               const std::string& value);
// Reads a descriptor file into `descriptor` (pairs in file order, the last of a key wins).
// False when the file cannot be opened; the record is then unchanged.
bool ReadEngineDescriptor(const std::string& path, TileDescriptor& descriptor);

// --- the map builder's record and key table (keys 1 to 55) ---------------------------------------
struct BuilderTileDescriptor {
    float worldFTileRotate = 0;
    int8_t worldFTileCollision = 0;
    int32_t worldFTileFollow = 0;
    int8_t worldFTileEmitter = 0;
    int32_t worldFTileTransparency = 0;
    int8_t worldFTileTouchMove = 0;
    int8_t worldFTileGOBACK = 0;
    int32_t worldFTileTouchTransparency = 0;
    int32_t worldFTilePlayerID = 0;
    float worldFTileExpansionValue = 0;
    int32_t worldFTileCollisionEmitter = 0;
    float worldFStretch = 0;                 // integer stored as float
    int32_t worldFTileMove = 0;
    float worldFTileVELO = 0;
    int32_t worldFTilePlayerMOVE = 0;
    int8_t worldFTilePLINKI = 0;
    float worldFTileGravity = 0;
    float worldFTileScrollH = 0;
    int32_t worldFTileDynamicScrollH = 0;    // decimal number rounded to nearest
    int8_t worldFTileCollisionDestroy = 0;
    float worldFTileLaunch = 0;              // integer stored as float
    float worldFTileGlobalGravity = 0;       // integer stored as float
    int32_t worldFTileFollowObject = 0;
    float worldFTileMoveV = 0;
    float worldFTileMoveH = 0;
    int32_t worldFTileIsEMUMousePointer = 0;
    int32_t worldFTileIsHWMousePointer = 0;
    int32_t worldFTileTouchRotate = 0;
    int8_t useLayerScroll = 0;
    float worldGlobalScrollH = 0;
    float worldGlobalScrollV = 0;
    float worldFTileShadow = 0;              // integer stored as float
    int8_t worldFTileTransport = 0;
    int8_t worldFTileReflection = 0;
    int32_t worldFTileFlire = 0;
    std::string worldFTileID;                // text in the builder
    int32_t hp = 0;
    std::string useWeapon;
    float worldFTileShadowOffsetX = 0;       // integer stored as float
    float worldFTileShadowOffsetY = 0;       // integer stored as float
    float worldFTileShadowZoom = 0;          // integer stored as float
    int8_t worldFTileNoStopOnCollision = 0;
    std::string postEFFECT;
    int8_t worldFTileLoopH = 0;
    int8_t worldFTileLoopV = 0;
    float worldFTileParableV = 0;
    float worldFTileParableH = 0;
    float worldFTileBounceTopDown = 0;
    int8_t worldFTileDoCrushH = 0;           // decimal number rounded to nearest, 8-bit
    float worldFTileCollisionSize = 0;
    float worldFTileSuperRotate = 0;
    float worldFTileLook = 0;
    float worldFTileLookAngle = 0;
    int8_t worldFTilePattern = 0;
    std::string geneseID;
};

// The builder's keys in the order its reader tests them (keys 1 to 55).
const std::vector<std::string>& BuilderDescriptorKeys();
// Applies one pair with the builder's key table; false when the key is not one of its keys.
bool ApplyBuilderDescriptorPair(BuilderTileDescriptor& descriptor, const std::string& key,
                                const std::string& value);
struct BuilderDescriptorRead {
    bool opened = false;          // the file could be opened
    int unrecognisedPairs = 0;    // pairs whose key is not one of keys 1 to 55
};
BuilderDescriptorRead ReadBuilderDescriptor(const std::string& path,
                                            BuilderTileDescriptor& descriptor);

// --- what each key does (descriptor_reference.cpp) -------------------------------------------------
struct DescriptorKeyReference {
    const char* key;
    const char* meaning;  // one line: what the engine (or plom) does with the value, or that nothing does
};
// One entry per key of the default descriptor, grouped by what the keys do.
const std::vector<DescriptorKeyReference>& DescriptorKeyReferences();
// The one-line meaning of `key`; "" for a key without an entry.
std::string DescriptorKeyMeaning(const std::string& key);
// True when the engine's or the map builder's key table knows `key`.
bool IsKnownDescriptorKey(const std::string& key);

}  // namespace wf
