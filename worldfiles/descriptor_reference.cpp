// The one-line meaning of every descriptor key, as the engine's code acts on it (plom's tooltips;
// share/man/tasko-dna.5 says the same at length and documents exactly these keys).
#include "worldfiles/descriptor.h"

namespace wf {

namespace {

constexpr const char* kStored = "Stored, never acted on.";
constexpr const char* kBuilderOnly = "Read by plom only and never acted on; the engine ignores the key.";

const DescriptorKeyReference kReferences[] = {
    // Drawing
    {"worldFTileTransparency", "Opacity: 0 invisible to 255 opaque (the template's 255); a missing key means 0."},
    {"postEFFECT", "Blending \"SxD\" (factors 1..13): empty is 5x6, normal; 5x2 adds light to what lies below."},
    {"worldFTileRotate", "Spin: radians added to the angle every frame; 0 does not spin."},
    {"worldFTileFadeIn", "Opacity gained every frame up to 255; negative fades the object out; 0 none."},
    {"worldFTileFlire", "Flicker n: hidden in a frame with odds 1 in n+1 (negative: always hidden); 0 never."},
    {"worldFTileIsMirror", "Mirror: the picture below the object drawn onto it at this opacity; 0 none."},
    {"worldFTileHideOnStart", "1: out of play from the start (a waiting projectile); 2: starts at opacity 0."},
    {"animContainer", "Animation folder below ANIM/ with LEFT, RIGHT, UP and DOWN frames; NOPE or empty: none."},
    // Motion
    {"worldFTileVELO", "Speed: source pixels per frame along each moving axis; 0 stands still."},
    {"worldFTileMoveH", "Start direction across: 1 right, -1 left, 0 none (the value multiplies the speed)."},
    {"worldFTileMoveV", "Start direction down: 1 down, -1 up, 0 none (the value multiplies the speed)."},
    {"worldFTileRandomMove", "n from 1: each moving axis turns to a random side every frame; 0 never."},
    {"worldFTilePlayerID", "Not 0: a player, steered by the cursor keys; the view follows it with DYNAMICSCROLL."},
    {"worldFTileUseJoyStick", "Not 0: a player steered by the joystick's axes when a joystick is present."},
    {"worldFTileFollowObject", "Not 0: moving axes turn toward the object named by worldFTileFollow."},
    {"worldFTileFollow", "The worldFTileIDString of the object to follow (with worldFTileFollowObject)."},
    {"AI", "Not 0: following goes to the AI hook, which does nothing yet, so the object does not follow."},
    // Collision and touch
    {"worldFTileCollision", "1: solid, blocks and is blocked; other non-zero: blocked only; 0: passes through."},
    {"worldFTileTouchTransparency", "Not 0: drawn at half opacity in a frame in which a moving object touches it."},
    {"worldFTileTouchRotate", "Not 0: a moving object touching it sets it spinning; the spin slows every frame."},
    {"worldFTileTransport", "Not 0: a conveyor carrying touching movers as its name says (WALKUP, WALKLEFT, ...)."},
    {"useWeapon", "Name of the projectiles it fires once, aimed at the player (only objects named DEMOBULLET)."},
    // Life and names
    {"worldFTileLifeTime", "Life steps; the object leaves play when they run out; 0 or less lives for ever."},
    {"worldFTileTimerMS", "Milliseconds per life step: a step is lost every two of these intervals."},
    {"worldFTileIDString", "The object's name, for following, weapons, conveyors and names such as MAPSTART."},
    // Read by plom, stored by the engine
    {"worldFStretch", "plom: not 0 stretches the tile over the screen and keeps it unscrolled; engine: stored."},
    {"worldFTilePattern", "plom: 1 leaves the tile undrawn in plom's map; the engine stores it, never acts on it."},
    {"geneseID", "plom: tiles whose type has one are saved after all others; the engine never acts on it."},
    {"worldFTileID", "plom shows it as \"Global TileID\"; the engine stores it and never acts on it."},
    {"worldFTileAutoLoad", "Accepted by the engine, its value ignored; never acted on."},
    // Stored by the engine, never acted on
    {"worldFTileTouchMove", kStored},
    {"worldFTileGOBACK", kStored},
    {"worldFTileExpansionValue", kStored},
    {"worldFTileMove", kStored},
    {"worldFTilePlayerMOVE", kStored},
    {"worldFTilePLINKI", kStored},
    {"worldFTileGravity", kStored},
    {"worldFTileScrollH", kStored},
    {"worldFTileCollisionDestroy", kStored},
    {"worldFTileLaunch", kStored},
    {"worldFTileGlobalGravity", kStored},
    {"worldFTileIsEMUMousePointer", kStored},
    {"worldFTileIsHWMousePointer", kStored},
    {"useLayerScroll", kStored},
    {"worldGlobalScrollH", kStored},
    {"worldGlobalScrollV", kStored},
    {"worldFTileShadow", kStored},
    {"hp", kStored},
    {"worldFTileShadowOffsetX", kStored},
    {"worldFTileShadowOffsetY", kStored},
    {"worldFTileShadowZoom", kStored},
    {"worldFTileLoopH", kStored},
    {"worldFTileLoopV", kStored},
    {"worldFTileParableH", kStored},
    {"worldFTileParableV", kStored},
    {"worldFTileBounceTopDown", kStored},
    {"worldFTileDoCrushH", kStored},
    {"worldFTileCollisionSize", kStored},
    {"worldFTileIsGUI", kStored},
    {"worldFTileJumpSize", kStored},
    {"worldFTileFadeOut", kStored},
    {"noSmooth", kStored},
    {"worldFTileUSEFX", kStored},
    {"animAutoPlay", kStored},
    {"animTimer", kStored},
    {"worldFTileUseKeyboard", "Stored, never acted on: every player takes the cursor keys whatever it says."},
    // Read by plom only
    {"worldFTileEmitter", kBuilderOnly},
    {"worldFTileCollisionEmitter", kBuilderOnly},
    {"worldFTileDynamicScrollH", kBuilderOnly},
    {"worldFTileReflection", kBuilderOnly},
    {"worldFTileNoStopOnCollision", kBuilderOnly},
    {"worldFTileSuperRotate", kBuilderOnly},
    {"worldFTileLook", kBuilderOnly},
    {"worldFTileLookAngle", kBuilderOnly},
};

}  // namespace

const std::vector<DescriptorKeyReference>& DescriptorKeyReferences() {
    static const std::vector<DescriptorKeyReference> references(std::begin(kReferences), std::end(kReferences));
    return references;
}

std::string DescriptorKeyMeaning(const std::string& key) {
    for (const DescriptorKeyReference& reference : kReferences) {
        if (key == reference.key) return reference.meaning;
    }
    return "";
}

bool IsKnownDescriptorKey(const std::string& key) {
    TileDescriptor engine;
    BuilderTileDescriptor builder;
    return ApplyEngineDescriptorPair(engine, key, "") || ApplyBuilderDescriptorPair(builder, key, "");
}

}  // namespace wf
