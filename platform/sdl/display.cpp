// The SDL window of the engine: desktop query, the full-screen window (which keeps the keyboard
// while it has the focus) with its GL context, closing it and flipping the buffers.
#include "platform/display.h"

#include <cstdlib>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#include <emscripten/html5.h>
#endif
#include "platform/gl/renderer.h"
#include "platform/sdl/sdl_state.h"

namespace plat::sdl {

Backend g_sdl;

bool StartSubsystem(Uint32 flags) {
    if (SDL_WasInit(flags) == flags) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetMainReady();  // the programs have their own main, not SDL's
    return SDL_InitSubSystem(flags) == 0;
}

bool StartVideo() { return StartSubsystem(SDL_INIT_VIDEO); }

void DestroyWindow() {
    if (g_sdl.context != nullptr) {
        SDL_GL_MakeCurrent(g_sdl.window, g_sdl.context);
        gl::StopRenderer();
        SDL_GL_MakeCurrent(g_sdl.window, nullptr);
        SDL_GL_DeleteContext(g_sdl.context);
        g_sdl.context = nullptr;
    }
    if (g_sdl.window != nullptr) {
        SDL_DestroyWindow(g_sdl.window);
        g_sdl.window = nullptr;
    }
}

}  // namespace plat::sdl

namespace plat {

using sdl::g_sdl;

DesktopInfo QueryDesktop() {
    DesktopInfo info;
    if (!sdl::StartVideo()) return info;
#ifdef __EMSCRIPTEN__
    // In a page the world fills the page: the page's area in device pixels is the desktop,
    // so a high-density screen gets one world pixel per device pixel.
    double cssWidth = 0;
    double cssHeight = 0;
    if (emscripten_get_element_css_size("#canvas", &cssWidth, &cssHeight) == EMSCRIPTEN_RESULT_SUCCESS &&
        cssWidth >= 1 && cssHeight >= 1) {
        const double ratio = emscripten_get_device_pixel_ratio();
        info.width = static_cast<int>(cssWidth * ratio + 0.5);
        info.height = static_cast<int>(cssHeight * ratio + 0.5);
        info.depth = 32;
        return info;
    }
#endif
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return info;
    info.width = mode.w;
    info.height = mode.h;
    info.depth = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    return info;
}

bool OpenScreen(int width, int height, int depth, const std::string& title) {
    // The depth is the desktop's; the window always gets the desktop's pixel format.
    (void)depth;
    if (g_sdl.window != nullptr) sdl::DestroyWindow();
    if (width <= 0 || height <= 0 || !sdl::StartVideo()) return false;

    SDL_GL_ResetAttributes();
    // The renderer draws with shaders and vertex arrays only: OpenGL 3.3 core on the desktop,
    // OpenGL ES 3.0 (WebGL 2) in the browser.
#if defined(__EMSCRIPTEN__)
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
#endif
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // Everything is drawn in order without depth or stencil tests, so the window needs neither
    // buffer (SDL would ask for a 16-bit depth buffer otherwise).
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    // At (0, 0) with the exact size and no frame: a plain full-screen request gives a 1x1
    // window when no window manager runs. A window of the desktop's size also asks to be
    // full-screen, so a window manager gives it the whole desktop, above its panels and
    // without a title bar.
    const DesktopInfo desktop = QueryDesktop();
    const bool wholeDesktop = width == desktop.width && height == desktop.height;
#ifdef __EMSCRIPTEN__
    // The page's canvas: its drawing buffer gets the size, the page's style keeps it filling the
    // page; full screen is the page's to ask for (only a key press or click may).
    const Uint32 fullScreen = 0;
#else
    const Uint32 fullScreen = wholeDesktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
#endif
    g_sdl.window = SDL_CreateWindow(title.c_str(), 0, 0, width, height,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN | fullScreen);
    if (g_sdl.window == nullptr) return false;
    // While the window has the focus, every key comes to the engine: a window manager's own
    // key bindings (Alt+Escape, Alt+Tab) would take the quit keys and the controls otherwise.
    // SDL lets the keyboard go whenever the window loses the focus.
    if (wholeDesktop) SDL_SetWindowKeyboardGrab(g_sdl.window, SDL_TRUE);
    g_sdl.context = SDL_GL_CreateContext(g_sdl.window);
    if (g_sdl.context == nullptr || SDL_GL_MakeCurrent(g_sdl.window, g_sdl.context) != 0) {
        sdl::DestroyWindow();
        return false;
    }
    SDL_GL_SetSwapInterval(1);  // vsync when the driver offers it

    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(g_sdl.window, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) {
        drawableWidth = width;
        drawableHeight = height;
    }
    if (!gl::StartRenderer(drawableWidth, drawableHeight)) {
        sdl::DestroyWindow();
        return false;
    }
    ClearScreen(Colour{});
    return true;
}

#ifdef __EMSCRIPTEN__
namespace {
// The frame loop's step and what follows it, for the page's animation-frame callback.
struct FrameLoop {
    bool (*step)() = nullptr;
    void (*finish)() = nullptr;
};
FrameLoop g_frameLoop;

void RunOneFrame() {
    if (g_frameLoop.step()) return;
    emscripten_cancel_main_loop();
    g_frameLoop.finish();
}
}  // namespace

void RunFrameLoop(bool (*step)(), void (*finish)()) {
    g_frameLoop = FrameLoop{step, finish};
    // Frame rate 0: once per animation frame. Simulating an endless loop leaves this call for
    // good, so start-up's stack frames are gone while the page runs the steps. (Keeping the
    // blocking loop through emscripten's ASYNCIFY would instead rewrite every function that can
    // be on the stack when the loop yields, making the code larger and slower.)
    emscripten_set_main_loop(RunOneFrame, 0, 1);
    std::abort();  // not reached
}
#else
void RunFrameLoop(bool (*step)(), void (*finish)()) {
    while (step()) {
    }
    finish();
    std::abort();  // `finish` does not return
}
#endif

void CloseScreen() { sdl::DestroyWindow(); }

bool ScreenOpen() { return g_sdl.window != nullptr && gl::RendererRunning(); }

void Flip() {
    if (g_sdl.window == nullptr) return;
    gl::SubmitFrame([] {
        if (g_sdl.window != nullptr) SDL_GL_SwapWindow(g_sdl.window);
    });
}

}  // namespace plat
