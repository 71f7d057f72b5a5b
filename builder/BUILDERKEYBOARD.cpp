// BUILDERKEYBOARD: the keyboard step: the keys are polled once per handled event and tested by
// scan code with the held/released rules of the platform. A row's mode condition is checked
// before its key, so a release is only taken by the row of the mode in force; a mode key let go
// in the same step takes effect at once.
#include "builder/BUILDERKEYBOARD.h"

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERPLAY.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "platform/fault.h"
#include "platform/input.h"
#include "worldfiles/convert.h"

namespace {

constexpr int kTopLayer = 64;

void ScrollBy(int step, void (*scroll)()) {
    gBuilder.scrollStep = step;
    scroll();
}

// Modes 0 and 1 scroll by a pixel while held and by the selected type's size on release;
// the positive directions move one pixel less than the negative ones.
void ScrollKeys() {
    using namespace plat;
    const int mode = gBuilder.rasterMode;
    if (mode == 0 && KeyHeld(kKeyLeft)) ScrollBy(-1, ScrollHorizontally);
    if (mode == 0 && KeyHeld(kKeyUp)) ScrollBy(-1, ScrollVertically);
    if (mode == 0 && KeyHeld(kKeyDown)) ScrollBy(1, ScrollVertically);
    if (mode == 0 && KeyHeld(kKeyRight)) ScrollBy(1, ScrollHorizontally);
    const TileType* type = SelectedTileType();
    const float width = type != nullptr ? type->width : 0;
    const float height = type != nullptr ? type->height : 0;
    if (gBuilder.rasterMode == 1 && KeyReleased(kKeyUp)) ScrollBy(wf::RoundToInt(-height), ScrollVertically);
    if (gBuilder.rasterMode == 1 && KeyReleased(kKeyDown)) ScrollBy(wf::RoundToInt(height - 1), ScrollVertically);
    if (gBuilder.rasterMode == 1 && KeyReleased(kKeyLeft)) ScrollBy(wf::RoundToInt(-width), ScrollHorizontally);
    if (gBuilder.rasterMode == 1 && KeyReleased(kKeyRight)) ScrollBy(wf::RoundToInt(width - 1), ScrollHorizontally);
}

void GridScrollKeys() {
    using namespace plat;
    const int grid = gBuilder.gridSize;
    if (gBuilder.rasterMode == 2 && KeyReleased(kKeyUp)) ScrollBy(-grid, ScrollVertically);
    if (gBuilder.rasterMode == 2 && KeyReleased(kKeyDown)) ScrollBy(grid, ScrollVertically);
    if (gBuilder.rasterMode == 2 && KeyReleased(kKeyLeft)) ScrollBy(-grid, ScrollHorizontally);
    if (gBuilder.rasterMode == 2 && KeyReleased(kKeyRight)) ScrollBy(grid, ScrollHorizontally);
}

}  // namespace

void KeyboardStep() {
    PLAT_MARK("BUILDERKEYBOARD");
    using namespace plat;
    PollKeyboard();
    if (KeyReleased(kKeyLeftAlt)) gBuilder.rasterMode = 1;
    if (KeyReleased(kKeyC)) gBuilder.rasterMode = 0;
    if (KeyReleased(kKeyG)) {
        gBuilder.rasterMode = 2;
        gBuilder.mouseX = 0;
        gBuilder.mouseY = 0;
    }
    ScrollKeys();
    if (KeyReleased(kKeyTab)) {
        DrawThumbnails();
        gBuilder.tileWindowHidden = 1 - gBuilder.tileWindowHidden;
    }
    GridScrollKeys();
    if (KeyReleased(kKeyU)) StepUndo();
    if (KeyReleased(kKeyR)) StepRedo();
    if (KeyReleased(kKeyH)) gBuilder.quickHelp = 1 - gBuilder.quickHelp;
    if (KeyReleased(kKeyPageUp) && gBuilder.actualLayer < kTopLayer) {
        gBuilder.actualLayer += 1;
        if (gBuilder.maxUsedLayer < gBuilder.actualLayer) gBuilder.maxUsedLayer = gBuilder.actualLayer;
    }
    if (KeyReleased(kKeyPageDown) && gBuilder.actualLayer - 1 >= 0) gBuilder.actualLayer -= 1;
    if (KeyReleased(kKeyF5)) PlayMapInEngine();
}
