// gui: the user's input each frame: keyboard, mouse and joystick polling, the engine's own
// controls (scrolling, overlay, frame delay, overview, pause, players out) and the mouse position.
// Object steering reads the same polled state later in the frame.
#include "engine/gui.h"

#include <algorithm>

#include "engine/RECORDS.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/input.h"
#include "worldfiles/convert.h"

namespace {

constexpr int kOverviewButton = 9;  // joystick button that toggles the overview
constexpr int kPauseButton = 10;    // joystick button that toggles the pause
constexpr float kOverviewZoom = 0.2f;

int8_t DigitalAxis(int value) {
    if (value < -500) return -1;
    if (value > 500) return 1;
    return 0;
}

// Grid cell index of a world coordinate: the ceiling of position / cell size, also for a
// negative cell size (a negative GRIDSIZE); 0 while the cell size is 0.
int32_t CellIndex(float position, float cellSize) {
    if (cellSize == 0) return 0;
    return wf::RoundToInt(wf::RoundUp(position / cellSize));
}

int LastObject() { return std::min(gState.lastObjectIndex, static_cast<int>(gWorld.objects.size()) - 1); }

void ZoomObjects(float factor) {
    for (int i = 0; i <= LastObject(); ++i) {
        const WorldObject& o = gWorld.objects[i];
        plat::ZoomDrawable(o.sprite, wf::RoundToInt(o.width * factor), wf::RoundToInt(o.height * factor));
    }
}

// Every object's drawable shrinks to a fifth; leaving the overview gives each its own current
// width and height back.
void ToggleOverview() {
    gState.overviewMode = static_cast<int8_t>(1 - gState.overviewMode);
    gState.zoomX = gState.zoomY = kOverviewZoom;
    ZoomObjects(kOverviewZoom);
    if (gState.overviewMode == 0) {
        gState.zoomX = gState.zoomY = 1.0f;
        ZoomObjects(1.0f);
    }
}

// The pause cannot change while the overview is shown.
void TogglePause() {
    if (gState.overviewMode == 0) gState.pause = 1 - gState.pause;
}

void TakePlayersOutOfPlay() {
    for (int i = 0; i <= LastObject(); ++i) {
        if (gWorld.objects[i].playerID != 0) gWorld.objects[i].state = 0;
    }
}


// The controls in their fixed order. Each && chain stops at the first failing test, so a
// skipped released test neither sees its key down nor uses up its release.
void ApplyControls() {
    using namespace plat;
    const bool scroll = gSettings.USRSCROLL != 0;
    if (scroll && (KeyHeld(kKeyLeft) || gState.joystickX < 0)) gSettings.MATRIX_OFFSET_X -= 1;
    if (scroll && (KeyHeld(kKeyRight) || gState.joystickX > 0)) gSettings.MATRIX_OFFSET_X += 1;
    if (scroll && (KeyHeld(kKeyUp) || gState.joystickY > 0)) gSettings.MATRIX_OFFSET_Y += 1;
    if (scroll && (KeyHeld(kKeyDown) || gState.joystickY < 0)) gSettings.MATRIX_OFFSET_Y -= 1;
    if (KeyHeld(kKeyLeftAlt) && KeyHeld(kKeyLeftCtrl) && KeyReleased(kKeyD)) gSettings.APPMODE = 1 - gSettings.APPMODE;
    if (KeyHeld(kKeyLeftAlt) && KeyReleased(kKeyM) && KeyHeld(kKeyLeftCtrl)) gSettings.MULTITASK = 0;
    if (KeyReleased(kKeyM) && gState.pause == 0) ToggleOverview();
    if (JoystickButton(kOverviewButton) && gState.joystickPresent != 0 && gState.pause == 0) ToggleOverview();
    if (KeyReleased(kKeyP)) TogglePause();
    if (JoystickButton(kPauseButton) && gState.joystickPresent != 0) TogglePause();
    if (KeyHeld(kKeyLeftAlt) && KeyHeld(kKeyLeftCtrl) && KeyReleased(kKeyK)) TakePlayersOutOfPlay();
}

void TrackMouse() {
    gState.mouseX = static_cast<float>(plat::MouseX());
    gState.mouseY = static_cast<float>(plat::MouseY());
    gState.mouseWorldX = gState.mouseX + gSettings.MATRIX_OFFSET_X;
    gState.mouseWorldY = gState.mouseY + gSettings.MATRIX_OFFSET_Y;
    gState.mouseAreaX = CellIndex(gState.mouseWorldX, gState.cellWidth);
    gState.mouseAreaY = CellIndex(gState.mouseWorldY, gState.cellHeight);
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
    ApplyControls();
    TrackMouse();
}
