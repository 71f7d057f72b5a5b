// The drawing screen of the map builder's window backends, as far as no toolkit is involved:
// the flip keeps the finished frame for exposes before the toolkit swaps; the screen lives only
// in a window; the release of everything at the end.
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/ui/ui_state.h"

namespace plat::ui {

bool StartScreen(bool contextMade, int width, int height) {
    if (!contextMade || !MakeScreenCurrent() || !gl::StartRenderer(width, height)) {
        ReleaseScreen();
        return false;
    }
    ClearScreen(Colour{});
    return true;
}

void ReleaseScreen() {
    if (!ScreenExists()) return;
    if (MakeScreenCurrent()) {
        gl::ForgetFrame(g_ui.kept);
        gl::StopRenderer();
    }
    DestroyScreen();
}

}  // namespace plat::ui

namespace plat {

using ui::g_ui;

bool OpenScreen(int width, int height, int depth, const std::string& title) {
    // The builder's screen always lives in a window (OpenWindowScreen).
    (void)width;
    (void)height;
    (void)depth;
    (void)title;
    return false;
}

void CloseScreen() { ui::ReleaseScreen(); }

bool ScreenOpen() { return ui::ScreenExists() && gl::RendererRunning(); }

// The back buffer is kept as a texture before the swap, so an expose can show it again.
void Flip() {
    if (!ui::MakeScreenCurrent()) return;
    gl::FinishFrame();
    gl::KeepFrame(g_ui.kept);
    ui::SwapScreen();
}

// Queued events and their input states go together: a later start sees neither.
void ReleaseAll() {
    if (ui::MakeScreenCurrent()) gl::FreeAllGraphics();
    g_ui.kept = gl::KeptFrame{};
    ui::ReleaseScreen();
    ui::DestroyWindows();
    g_ui.events.clear();
    g_ui.snapshots.clear();
    g_ui.current = ui::InputSnapshot{};
    g_ui.haveCurrent = false;
    g_ui.keyboard = KeyboardState{};
    CloseAllFiles();
    RemoveFaultHandler();
}

}  // namespace plat
