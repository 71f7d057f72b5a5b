// ACTIONS: what single objects do within a frame: weapon, fade-in, follow, player steering,
// the random step and the reactions to a touch. Names in quotes are the world's special tiles.
#include "engine/ACTIONS.h"

#include <algorithm>

#include "engine/AI.h"
#include "engine/RECORDS.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "worldfiles/convert.h"

namespace {

constexpr float kFullOpacity = 255;
constexpr float kTouchSpinLimit = 1;

// The first object with this name that is out of play (a projectile waiting in its pool); -1 if none.
int FindWaitingProjectile(const std::string& name) {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        const WorldObject& o = gWorld.objects[i];
        if (o.state == 0 && o.idString == name) return i;
    }
    return -1;
}

// The first object in play with this name; -1 if none.
int FindActiveObject(const std::string& name) {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        const WorldObject& o = gWorld.objects[i];
        if (o.state != 0 && o.idString == name) return i;
    }
    return -1;
}

int FindFirstPlayer() {
    const int last = LastObjectIndex();
    for (int i = 0; i <= last; ++i) {
        if (gWorld.objects[i].playerID != 0) return i;
    }
    return -1;
}

// The template of the first object of this name (every object leaves one when it is made, so a
// projectile finds at least its own); initial values of nothing for a name no object had.
const ObjectTemplate& TemplateNamed(const std::string& name) {
    static const ObjectTemplate kNone{};
    const auto found = gWorld.templates.find(name);
    return found != gWorld.templates.end() ? found->second : kNone;
}

// Brings projectile i back into play with its initial values, at (px, py), aimed at the first player.
void LaunchProjectile(int projectile, float px, float py) {
    WorldObject& p = gWorld.objects[projectile];
    const ObjectTemplate& t = TemplateNamed(p.idString);
    p.state = 1;
    p.collision = t.collision;
    p.alpha = static_cast<float>(t.opacity);
    p.moveV = t.moveV;
    p.moveH = t.moveH;
    p.speedV = t.speedV;
    p.speedH = t.speedH;
    p.velo = t.velo;
    p.rotateSpeed = t.rotateSpeed;
    p.useWeapon = t.useWeapon;
    p.lifeTime = t.lifeTime;
    p.lifeMark = t.lifeMark;
    p.timerMS = t.timerMS;
    p.x = px;
    p.y = py;
    const int player = FindFirstPlayer();
    if (player < 0) return;
    if (px > gWorld.objects[player].x) p.moveH = -1;
    if (py > gWorld.objects[player].y) p.moveV = -1;
}

// A conveyor carries the mover along one axis and holds the other.
void ApplyConveyor(WorldObject& mover, const std::string& conveyor) {
    if (conveyor == "WALKDOWN" || conveyor == "WALKUP") {
        mover.stepH = 0;
        mover.stepV = 1;
        mover.moveV = conveyor == "WALKDOWN" ? 1.0f : -1.0f;
    } else if (conveyor == "WALKLEFT" || conveyor == "WALKRIGHT") {
        mover.stepH = 1;
        mover.stepV = 0;
        mover.moveH = conveyor == "WALKRIGHT" ? 1.0f : -1.0f;
    }
}

// Sets every non-zero direction to `sign`.
void SetNonZeroDirections(WorldObject& o, float sign) {
    if (o.moveH != 0) o.moveH = sign;
    if (o.moveV != 0) o.moveV = sign;
}

}  // namespace

int FireWeapon(int shooter, float px, float py) {
    WorldObject& s = gWorld.objects[shooter];
    const int projectile = FindWaitingProjectile(s.useWeapon);
    if (projectile < 0) return -1;
    // The search runs every frame, but only a shooter that has not fired yet launches.
    int launched = -1;
    if (s.hasFired == 0 && gWorld.objects[projectile].idString == "DEMOBULLET") {
        LaunchProjectile(projectile, px, py);
        launched = projectile;
    }
    gWorld.objects[projectile].firedBy = shooter;
    s.hasFired = 1;
    return launched;
}

void FadeIn(int index) {
    WorldObject& o = gWorld.objects[index];
    if (o.fadeIn == 0 || o.alpha >= kFullOpacity) return;
    o.alpha = std::min(o.alpha + o.fadeIn, kFullOpacity);
}

void FollowTarget(int follower) {
    WorldObject& f = gWorld.objects[follower];
    const int target = FindActiveObject(f.followName);
    if (target < 0) return;
    if (f.ai != 0) {
        RunAI(target, follower, kAiModeFollow);
        return;
    }
    const WorldObject& t = gWorld.objects[target];
    // Following turns a moving axis around but never starts a resting one.
    if (f.moveH != 0) {
        if (t.x > f.x) f.moveH = 1;
        if (t.x < f.x) f.moveH = -1;
    }
    if (f.moveV != 0) {
        if (t.y > f.y) f.moveV = 1;
        if (t.y < f.y) f.moveV = -1;
    }
}

void SteerPlayer(int player) {
    WorldObject& p = gWorld.objects[player];
    if (p.useJoyStick != 0 && gState.joystickPresent != 0) {
        p.moveH = gState.joystickX;
        p.moveV = gState.joystickY;
        return;
    }
    p.moveH = 0;
    p.moveV = 0;
    // A hidden (flickering) player stands still; right wins over left, down over up.
    if (p.state != 1) return;
    if (plat::KeyHeld(plat::kKeyLeft)) p.moveH = -1;
    if (plat::KeyHeld(plat::kKeyRight)) p.moveH = 1;
    if (plat::KeyHeld(plat::kKeyUp)) p.moveV = -1;
    if (plat::KeyHeld(plat::kKeyDown)) p.moveV = 1;
}

void RandomStep(int index) {
    WorldObject& o = gWorld.objects[index];
    if (o.idString == "DEFAULTROTOR" && plat::Random(100) == 5) {
        o.rotateSpeed = static_cast<float>(plat::Random(10)) / 100;
    }
    if (o.flicker != 0) o.state = plat::Random(wf::RoundToInt(o.flicker)) == 0 ? -1 : 1;
    if (o.randomMove != 0) {
        const int r = plat::Random(o.randomMove);
        SetNonZeroDirections(o, r > o.randomMove / 2 ? 1.0f : -1.0f);
    }
}

void TouchReaction(int mover, int touched) {
    WorldObject& a = gWorld.objects[mover];
    WorldObject& o = gWorld.objects[touched];
    if (o.transport != 0) ApplyConveyor(a, o.idString);
    if (o.touchTransparency != 0 && a.velo != 0) o.alpha = o.alpha / 2;
    if (o.touchRotate != 0 && a.velo != 0) {
        o.rotateSpeed = std::clamp(o.rotateSpeed + (a.moveH + a.moveV) / 10, -kTouchSpinLimit, kTouchSpinLimit);
    }
    if (a.idString == "LIGHTBLUE") {
        if (o.idString != "LIGHTBLUE") return;
        a.stepH = 1;
        a.stepV = 1;
        // Bounce back 5 times in 11.
        if (plat::Random(10) > 5) {
            a.moveH = -a.moveH;
            a.moveV = -a.moveV;
        }
    } else if (o.playerID != 0 && (o.idString == "TRANSWRECKTILE" || o.idString == "TRANSVEGI")) {
        a.stepH = 1;
        a.stepV = 1;
    }
}
