// DESCRIPTOR: the tile kinds' behaviour descriptors and their copy into world objects.
// The descriptors are read once at start-up; objects only ever see their copied values.
#include "engine/DESCRIPTOR.h"

#include "engine/RECORDS.h"
#include "engine/SGFXCORE.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"
#include "worldfiles/descriptor.h"

void LoadTileDescriptor(int tileIndex) {
    PLAT_MARK("DESCRIPTOR");
    TileKind& tile = gWorld.tiles[tileIndex];
    const std::string path = gSettings.GFX + tile.name + ".dll";
    wf::TileDescriptor read;
    if (!wf::ReadEngineDescriptor(path, read)) return;
    read.tileName = tile.name;
    read.descriptorPath = path;
    read.sprite = tile.sprite;
    tile.descriptor = read;
}

void CopyDescriptorToObject(int tileIndex, int objectIndex) {
    const wf::TileDescriptor& d = gWorld.tiles[tileIndex].descriptor;
    WorldObject& o = gWorld.objects[objectIndex];

    o.alpha = d.worldFTileTransparency;
    o.baseAlpha = wf::RoundToInt(o.alpha);
    o.rotateSpeed = d.worldFTileRotate;
    o.postEffect = d.postEFFECT;
    // Parsed here once, so that drawing never splits the text again.
    BlendPairOf(o.postEffect, o.blendSource, o.blendDestination);
    o.collision = d.worldFTileCollision;
    if (o.collision == 1) {
        CollisionList& list = gWorld.collisionList;
        if (list.count < static_cast<int32_t>(list.entries.size())) {
            list.entries[list.count] = objectIndex;
            list.count += 1;
        }
    }
    o.touchTransparency = d.worldFTileTouchTransparency;
    o.touchRotate = d.worldFTileTouchRotate;
    o.lifeTime = d.worldFTileLifeTime;
    o.timerMS = d.worldFTileTimerMS;
    o.fadeIn = d.worldFTileFadeIn;
    o.fadeOut = d.worldFTileFadeOut;
    o.mirror = d.worldFTileIsMirror;
    o.flicker = static_cast<float>(d.worldFTileFlire);
    o.randomMove = d.worldFTileRandomMove;
    o.animContainer = d.animContainer;
    o.hideOnStart = d.worldFTileHideOnStart;
    o.playerID = d.worldFTilePlayerID;
    o.useKeyboard = d.worldFTileUseKeyboard;
    o.useJoyStick = wf::LowByte(d.worldFTileUseJoyStick);
    o.moveH = d.worldFTileMoveH;
    o.moveV = d.worldFTileMoveV;
    o.velo = d.worldFTileVELO;
    o.speedH = o.velo;
    o.speedV = o.velo;
    o.stepH = 1;
    o.stepV = 1;
    o.transport = d.worldFTileTransport;
    o.followName = d.worldFTileFollow;
    o.followObject = d.worldFTileFollowObject;
    o.worldFTileID = d.worldFTileID;
    o.idString = d.worldFTileIDString;
    o.useWeapon = d.useWeapon;
    o.ai = d.AI;
}

void RegisterObjectTemplate(int objectIndex) {
    const WorldObject& o = gWorld.objects[objectIndex];
    // Objects are made in index order, so the first of a name keeps its template.
    const auto [slot, added] = gWorld.templates.try_emplace(o.idString);
    if (!added) return;
    ObjectTemplate& t = slot->second;
    t.collision = o.collision;
    t.opacity = wf::RoundToInt(o.alpha);
    t.rotateSpeed = o.rotateSpeed;
    t.velo = o.velo;
    t.speedH = o.speedH;
    t.speedV = o.speedV;
    t.moveV = o.moveV;
    t.moveH = o.moveH;
    t.state = o.state;
    t.useWeapon = o.useWeapon;
    t.idString = o.idString;
    t.lifeTime = o.lifeTime;
    t.timerMS = o.timerMS;
    t.lifeMark = o.lifeMark;
}

void ApplyHideOnStart(int objectIndex) {
    WorldObject& o = gWorld.objects[objectIndex];
    if (o.hideOnStart == 1) o.state = 0;
    if (o.hideOnStart == 2) o.alpha = 0;
}
