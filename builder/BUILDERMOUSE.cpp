// BUILDERMOUSE: the mouse as the builder reads it, once per handled event of one of its windows.
// The button latch makes one press build or delete exactly once, however long it is held.
#include "builder/BUILDERMOUSE.h"

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "platform/fault.h"
#include "platform/input.h"
#include "platform/windows.h"

namespace {

// One grid step in the direction of the motion (only its sign counts), kept on the screen.
// Without a positive grid size the cursor stays where it is.
void StepGridCursor() {
    const int grid = gBuilder.gridSize;
    if (grid <= 0) return;
    const int dx = plat::MouseMotionX();
    const int dy = plat::MouseMotionY();
    if (dx > 0 && gBuilder.mouseX + grid < gBuilder.screenWidth) gBuilder.mouseX += grid;
    if (dx < 0 && gBuilder.mouseX - grid > -1) gBuilder.mouseX -= grid;
    if (dy > 0 && gBuilder.mouseY + grid < gBuilder.screenHeight) gBuilder.mouseY += grid;
    if (dy < 0 && gBuilder.mouseY - grid > -1) gBuilder.mouseY -= grid;
}

}  // namespace

void MouseStep(int window) {
    PLAT_MARK("BUILDERMOUSE");
    plat::PollMouse();
    gBuilder.resizeDelta = plat::MouseWheel();
    if (gBuilder.rasterMode == 2) {
        StepGridCursor();
    } else {
        gBuilder.mouseX = plat::WindowMouseX(window);
        gBuilder.mouseY = plat::WindowMouseY(window);
    }
}

void MouseButtons() {
    PLAT_MARK("BUILDERMOUSE");
    const bool left = plat::MouseLeft();
    const bool right = plat::MouseRight();
    if (left && gBuilder.buttonLatch == 0) {
        PlaceTile();
        gBuilder.buttonLatch = 1;
        TakeUndoSnapshot();
    }
    if (right && gBuilder.buttonLatch == 0) {
        if (DeleteTileAtCursor()) TakeUndoSnapshot();
        gBuilder.buttonLatch = 1;
    }
    if (!left && !right) gBuilder.buttonLatch = 0;
    RedrawMainWindow();
}
