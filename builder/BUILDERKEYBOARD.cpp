// BUILDERKEYBOARD: the keyboard step: the keys are polled once per handled event and tested
// by scan code with the held/released rules of the platform.
#include "builder/BUILDERKEYBOARD.h"

#include "builder/BUILDERio.h"
#include "platform/fault.h"
#include "platform/input.h"

void KeyboardStep() {
    PLAT_MARK("BUILDERKEYBOARD");
    plat::PollKeyboard();
    if (plat::KeyReleased(plat::kKeyU)) StepUndo();
    if (plat::KeyReleased(plat::kKeyR)) StepRedo();
}
