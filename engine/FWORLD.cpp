// FWORLD: the world tables and the per-frame world update.
// Objects act and are drawn in index order, so higher layers are drawn over lower ones.
#include "engine/FWORLD.h"

#include <algorithm>

#include "engine/ENV.h"
#include "engine/SGFXCORE.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"

void SetUpWorldTables() {
    PLAT_MARK("FWORLD");
    // A negative MAXOBJECTS still leaves slot 0, which the world update always visits.
    const size_t entries = static_cast<size_t>(std::max(gSettings.MAXOBJECTS, 0)) + 1;
    gWorld.objects.assign(entries, WorldObject{});
    gWorld.templates.assign(entries, ObjectTemplate{});
    gWorld.collisionList.entries.assign(entries, 0);
    gWorld.collisionList.count = 0;
}

int ObjectCapacity() { return static_cast<int>(gWorld.objects.size()); }

void UpdateWorld() {
    PLAT_MARK("FWORLD");
    plat::ClearScreen({1, 1, 1});
    const int last = std::min(gState.lastObjectIndex, ObjectCapacity() - 1);
    for (int i = 0; i <= last; ++i) DrawObject(i);
    CountFrame();
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
