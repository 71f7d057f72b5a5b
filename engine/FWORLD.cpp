// FWORLD: the world tables and the per-frame world update.
// Objects act and are drawn in index order, so higher layers are drawn over lower ones, and an
// object sees the already updated state of the lower-indexed objects in the same frame.
#include "engine/FWORLD.h"

#include <algorithm>

#include "engine/ACTIONS.h"
#include "engine/COLLISION.h"
#include "engine/RECORDS.h"
#include "engine/SGFXCORE.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"

namespace {

constexpr float kTouchSpinDecay = 0.05f;  // radians per frame a touched spinner slows down

// One life step: an object with a life time loses a step once its mark has passed; the mark is
// set one interval ahead, so after the first step (at once) they come every two intervals.
void LifeStep(int index) {
    WorldObject& o = gWorld.objects[index];
    if (o.lifeTime <= 0) return;
    const int64_t now = plat::Milliseconds();
    if (o.lifeMark + o.timerMS >= now) return;
    o.lifeMark = now + o.timerMS;
    o.lifeTime -= 1;
    if (o.lifeTime < 1) o.state = 0;
}

// Objects in play are simulated: all of them with the MAP scope, only those in view with REGION.
bool PassesSimulationGate(int index) {
    const WorldObject& o = gWorld.objects[index];
    if (o.state == 0) return false;
    return gSettings.simulationScope == kScopeMap || ObjectInView(o);
}

// Animation frames by direction of motion; the folders are used crossed over (moving right
// shows LEFT). The frame index is shared by the folders and holds at a folder's last frame.
enum Folder { kFolderLeft = 0, kFolderRight = 1, kFolderUp = 2, kFolderDown = 3 };

void AdvanceAnimation(WorldObject& o, int folder) {
    if (o.animFrame >= o.animCount[folder]) return;
    o.animFrame = AnimationSlot(o, folder, o.animFrame + 1).drawable.Valid() ? o.animFrame + 1 : 1;
    // A gap at frame 1 has no drawable: the object keeps what it shows.
    const plat::Drawable frame = AnimationSlot(o, folder, o.animFrame).drawable;
    if (frame.Valid()) o.sprite = frame;
}

// Stall (non-players lose each axis one frame in six), move by the open steps, animate.
void MoveAndAnimate(int index) {
    WorldObject& o = gWorld.objects[index];
    if (o.playerID == 0) {
        const int r = plat::Random(5);
        if (r == 1) o.stepH = 0;
        if (r == 2) o.stepV = 0;
    }
    o.x += o.moveH * o.speedH * o.stepH;
    o.y += o.moveV * o.speedV * o.stepV;
    // Direction and speed decide, not the steps: a blocked or stalled object still animates.
    if (o.moveH * o.speedH > 0) AdvanceAnimation(o, kFolderLeft);
    if (o.moveV * o.speedV > 0) AdvanceAnimation(o, kFolderUp);
    if (o.moveV * o.speedV < 0) AdvanceAnimation(o, kFolderDown);
    if (o.moveH * o.speedH < 0) AdvanceAnimation(o, kFolderRight);
}

// The world offset moves by exactly the player's step, so the player stays put on the screen.
void ScrollWithPlayer(int index) {
    const WorldObject& o = gWorld.objects[index];
    if (o.stepH != 0) gSettings.MATRIX_OFFSET_X -= o.moveH * o.speedH * o.stepH;
    if (o.stepV != 0) gSettings.MATRIX_OFFSET_Y -= o.moveV * o.speedV * o.stepV;
}

// One object's behaviours for this frame, in their fixed order. The random step runs twice:
// the first run steers this object's collision check and move, the second leaves the
// directions and visibility that drawing and the later objects see.
void SimulateObject(int index) {
    WorldObject& o = gWorld.objects[index];
    if (!o.useWeapon.empty()) {
        const int launched = FireWeapon(index, o.x, o.y);
        if (launched >= 0) ColliderChanged(launched);
    }
    FadeIn(index);
    if (o.followObject != 0) FollowTarget(index);
    if (o.rotateSpeed != 0) TransformRotation(index, o.width, o.height, o.angle);
    if (o.playerID != 0) SteerPlayer(index);
    RandomStep(index);
    if (o.collision != 0) CheckCollision(index);
    MoveAndAnimate(index);
    if (o.playerID != 0 && gSettings.DYNAMICSCROLL != 0) ScrollWithPlayer(index);
    RandomStep(index);
}

// The collision grid follows every object right after its turn (and a projectile at its launch),
// so the later movers of the pass find it where the plain scan would.
void SimulateWorld() {
    BeginCollisionPass();
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        LifeStep(i);
        if (PassesSimulationGate(i)) SimulateObject(i);
        ColliderChanged(i);
    }
    EndCollisionPass();
}

void DrawWorld() {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) DrawObject(i);
}

void DrawScreenEffects() {
    if (gSettings.APPSMOOTH != 0) DrawSmoothing();
    if (gSettings.PIP != 0) DrawPictureInPicture();
}

// Every object, every frame (also when paused): steps open again, touch transparency is undone,
// a touched spinner slows down. The two spin tests run one after the other, so a positive
// remainder below the decay goes below 0 and straight back.
void EndFrameStep(int index) {
    WorldObject& o = gWorld.objects[index];
    o.stepH = 1;
    o.stepV = 1;
    if (o.touchTransparency != 0) o.alpha = static_cast<float>(o.baseAlpha);
    if (o.touchRotate != 0) {
        if (o.rotateSpeed > 0) o.rotateSpeed += -kTouchSpinDecay;
        if (o.rotateSpeed < 0) o.rotateSpeed += kTouchSpinDecay;
    }
}

// The life step runs twice per frame: once in the simulation pass, once here.
void EndFrame() {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        EndFrameStep(i);
        DrawMirror(i);
        LifeStep(i);
    }
}

}  // namespace

void SetUpWorldTables() {
    PLAT_MARK("FWORLD");
    // A negative MAXOBJECTS still leaves slot 0, which the world update always visits.
    const size_t entries = static_cast<size_t>(std::max(gSettings.MAXOBJECTS, 0)) + 1;
    gWorld.objects.assign(entries, WorldObject{});
    gWorld.templates.clear();
    gWorld.collisionList.entries.assign(entries, 0);
    gWorld.collisionList.count = 0;
}

void UpdateWorld() {
    PLAT_MARK("FWORLD");
    plat::ClearScreen({1, 1, 1});
    if (gState.pause == 0 && gState.overviewMode == 0) SimulateWorld();
    DrawWorld();
    DrawScreenEffects();
    CountFrame();
    EndFrame();
}

void CountFrame() {
    gState.frameCount += 1;
    const int64_t now = plat::Milliseconds();
    if (now > gState.nextSecond) {
        gState.frameRateText = wf::IntText(gState.frameCount);
        if (gState.frameCount < 50 && gSettings.MULTITASK >= 1) gSettings.MULTITASK -= 1;
        gState.frameCount = 0;
        gState.nextSecond = now + 1000;
    }
}
