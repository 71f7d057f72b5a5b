// basevars: initialisation of the platform services and opening of the world screen.
// Only the joystick's result matters; a display that cannot be opened is fatal (code 7).
#include "engine/basevars.h"

#include "engine/RECORDS.h"
#include "engine/systemcore.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/input.h"
#include "platform/sound.h"

void InitSubsystems() {
    PLAT_MARK("basevars");
    plat::InitSprites();
    plat::Init3D();
    plat::InitMouse();
    plat::InitKeyboard();
    gState.joystickPresent = plat::InitJoystick() ? 1 : 0;
    plat::InitSound();
}

void OpenWorldScreen() {
    PLAT_MARK("basevars");
    const plat::DesktopInfo desktop = plat::QueryDesktop();
    gState.desktopWidth = static_cast<float>(desktop.width);
    gState.desktopHeight = static_cast<float>(desktop.height);
    if (!plat::OpenScreen(desktop.width, desktop.height, gState.desktopDepth, "KORVANE")) {
        ShowFatalError(kErrorOpenWorldScreen);
    }
    gState.screenOpen = 1;
    gState.SCRW = gState.desktopWidth;
    gState.SCRH = gState.desktopHeight;
}
