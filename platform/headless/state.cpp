// The headless backend's static record, its reset and the test controls, plus the manual clock
// (Milliseconds reads the clock the test set; SleepMs advances it and counts the sleep).
#include "platform/headless/state.h"

#include <utility>

#include "platform/clock.h"

namespace plat::headless {

HeadlessState g_headless;

void Reset() {
    g_headless = HeadlessState{};
    plat::SeedRandom(1);
}

void SetPollHook(std::function<void(int poll)> hook) { g_headless.pollHook = std::move(hook); }

void SetDesktop(int width, int height, int depth) {
    g_headless.desktop = DesktopInfo{width, height, depth};
}

void SetScreenFails(bool fails) { g_headless.screenFails = fails; }

void SetClock(int64_t milliseconds) { g_headless.clock = milliseconds; }

void AdvanceClock(int64_t milliseconds) { g_headless.clock += milliseconds; }

int64_t SleptMilliseconds() { return g_headless.slept; }

void SetKey(int code, bool down) {
    if (code < 0 || code >= kScanCodeCount) return;
    g_headless.nextKeys[code] = down;
}

void SetMouse(int x, int y, bool left, bool right, int wheel) {
    g_headless.nextMouse = MouseState{x, y, left, right, wheel};
}

void SetJoystick(bool present, int x, int y) {
    g_headless.joystickPresent = present;
    g_headless.nextJoystickX = x;
    g_headless.nextJoystickY = y;
}

void SetJoystickButton(int button, bool down) {
    if (button < 0 || button >= kJoystickButtonCount) return;
    g_headless.nextJoystickButtons[button] = down;
}

const std::vector<SoundRecord>& Sounds() { return g_headless.sounds; }

const std::vector<MessageBoxRecord>& MessageBoxes() { return g_headless.messageBoxes; }

void SetYesNoAnswer(bool yes) { g_headless.yesNoAnswer = yes; }

const std::vector<DrawRecord>& Draws() { return g_headless.draws; }

void ClearDraws() { g_headless.draws.clear(); }

int LiveImages() {
    int count = 0;
    for (const ImageEntry& entry : g_headless.images) count += entry.live ? 1 : 0;
    return count;
}

int LiveDrawables() {
    int count = 0;
    for (const DrawableEntry& entry : g_headless.drawables) count += entry.live ? 1 : 0;
    return count;
}

int ImageLoads() { return g_headless.imageLoads; }

std::string ImagePath(Image image) {
    if (image.id < 0 || image.id >= static_cast<int>(g_headless.images.size())) return "";
    const ImageEntry& entry = g_headless.images[image.id];
    return entry.live ? entry.path : "";
}

bool NearestSampling() { return g_headless.nearestSampling; }

}  // namespace plat::headless

namespace plat {

int64_t Milliseconds() { return headless::g_headless.clock; }

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    headless::g_headless.clock += milliseconds;
    headless::g_headless.slept += milliseconds;
}

}  // namespace plat
