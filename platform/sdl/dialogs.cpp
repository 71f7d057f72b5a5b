// Message boxes through SDL (on stderr when no display can show them) and the release of
// everything the SDL backend and the renderer hold.
#include <cstdio>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/gl/renderer.h"
#include "platform/sdl/sdl_state.h"

namespace plat {

using sdl::g_sdl;

namespace {
// A box needs the keyboard that the full-screen window keeps while it has the focus.
void LetKeyboardGo() {
    if (g_sdl.window != nullptr) SDL_SetWindowKeyboardGrab(g_sdl.window, SDL_FALSE);
}
}  // namespace

void MessageBox(const std::string& title, const std::string& text) {
#ifdef __EMSCRIPTEN__
    // A page's alert() would stop the page until answered; the page shows the box's text
    // itself (and in its console) and goes on.
    EM_ASM({ Module.showMessageBox(UTF8ToString($0), UTF8ToString($1)); }, title.c_str(), text.c_str());
    return;
#endif
    LetKeyboardGo();
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(),
                                 g_sdl.window) != 0) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
}

bool AskYesNo(const std::string& title, const std::string& text) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.window = g_sdl.window;
    box.title = title.c_str();
    box.message = text.c_str();
    box.numbuttons = 2;
    box.buttons = buttons;
    int pressed = -1;
    LetKeyboardGo();
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        // Nobody can answer: say so and take the cautious answer.
        std::fprintf(stderr, "%s: %s (no)\n", title.c_str(), text.c_str());
        return false;
    }
    return pressed == 1;
}

void ReleaseAll() {
    if (g_sdl.context != nullptr) SDL_GL_MakeCurrent(g_sdl.window, g_sdl.context);
    gl::FreeAllGraphics();
    sdl::DestroyWindow();
    sdl::CloseAudio();
    sdl::CloseJoystick();
    g_sdl.keyboard = KeyboardState{};
    CloseAllFiles();
    RemoveFaultHandler();
    SDL_Quit();
}

}  // namespace plat
