// gui: the user's input each frame: keyboard, mouse and joystick polling and the mouse position.
// Object steering reads the same polled state later in the frame.
#include "engine/gui.h"

#include "engine/ENV.h"
#include "platform/fault.h"
#include "platform/input.h"
#include "worldfiles/convert.h"

namespace {

int8_t DigitalAxis(int value) {
    if (value < -500) return -1;
    if (value > 500) return 1;
    return 0;
}

// Grid cell index of a world coordinate; 0 while the cell size is not positive.
int32_t CellIndex(float position, float cellSize) {
    if (cellSize <= 0) return 0;
    return wf::RoundToInt(wf::RoundUp(position / cellSize));
}

}  // namespace

void HandleInput() {
    PLAT_MARK("gui");
    plat::PollKeyboard();
    plat::PollMouse();
    if (gState.joystickPresent != 0) {
        plat::PollJoystick();
        gState.joystickX = DigitalAxis(plat::JoystickX());
        gState.joystickY = DigitalAxis(plat::JoystickY());
    }
    gState.mouseX = static_cast<float>(plat::MouseX());
    gState.mouseY = static_cast<float>(plat::MouseY());
    gState.mouseWorldX = gState.mouseX + gSettings.MATRIX_OFFSET_X;
    gState.mouseWorldY = gState.mouseY + gSettings.MATRIX_OFFSET_Y;
    gState.mouseAreaX = CellIndex(gState.mouseWorldX, gState.cellWidth);
    gState.mouseAreaY = CellIndex(gState.mouseWorldY, gState.cellHeight);
}
