// DDD_NODE: one frame of the engine: frame delay, the 3D pass with the world update, the 2D
// overlay, the flip.
// The frame delay (MULTITASK) is a plain sleep before any drawing.
#include "engine/DDD_NODE.h"

#include "engine/RECORDS.h"
#include "engine/FWORLD.h"
#include "engine/OUTPUT.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"

void RunFrame() {
    PLAT_MARK("DDD_NODE");
    if (gSettings.MULTITASK > 0) plat::SleepMs(gSettings.MULTITASK);
    plat::Begin3D();
    UpdateWorld();
    plat::End3D();
    DrawOverlay();
    PLAT_MARK("DDD_NODE");
    plat::Flip();
}
