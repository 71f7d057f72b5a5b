// The drawing screen of the Win32 backend: WGL drawing into a numbered window's client area,
// sharing the platform/gl renderer with the engine; the desktop query and the buffer flip.
// The screen is the window's own surface rather than a child window: Wine shows a GL child
// window only through an off-screen copy that did not reach the screen here, while a top-level
// window's GL surface is shown as on Windows.
#include "platform/win32ui/win32ui_state.h"
// The GL calls go through libepoxy; the WGL calls are opengl32's own (wingdi.h). Linked
// statically, libepoxy cannot follow a context switch made through its wglMakeCurrent (its
// per-thread tables are set up by its DLL entry point, which a static library never runs), and
// one context needs none of that.
#include <epoxy/gl.h>

#include "platform/display.h"
#include "platform/gl/renderer.h"

namespace plat::win32ui {

namespace {

// The strips kept free at the right and bottom edges, in the window's colour, go into the back
// buffer just before each swap, after the frame was kept: drawing and grabs never see them.
void DrawScreenEdges() {
    RECT client;
    GetClientRect(g_win.screen, &client);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(GetRValue(face) / 255.0f, GetGValue(face) / 255.0f, GetBValue(face) / 255.0f, 1.0f);
    if (g_win.edgeRight > 0) {
        glScissor(client.right - g_win.edgeRight, 0, g_win.edgeRight, client.bottom);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (g_win.edgeBottom > 0) {
        glScissor(0, 0, client.right, g_win.edgeBottom);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
}

void SwapScreen() {
    DrawScreenEdges();
    SwapBuffers(g_win.screenDc);
}

// A pixel format with a double-buffered 8-bit RGBA surface; nothing is depth-tested.
bool SetScreenPixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof wanted;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.cAlphaBits = 8;
    wanted.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &wanted);
    return format != 0 && SetPixelFormat(dc, format, &wanted) != FALSE;
}

// An OpenGL 3.3 core context through WGL_ARB_create_context where opengl32 offers it (a legacy
// context made current first lends the entry point); otherwise the legacy context itself, of
// whose compatibility profile the renderer uses only the core part.
HGLRC CreateScreenContext(HDC dc) {
    constexpr int kMajorVersion = 0x2091;  // WGL_CONTEXT_MAJOR_VERSION_ARB
    constexpr int kMinorVersion = 0x2092;  // WGL_CONTEXT_MINOR_VERSION_ARB
    constexpr int kProfileMask = 0x9126;   // WGL_CONTEXT_PROFILE_MASK_ARB
    constexpr int kCoreProfile = 0x1;      // WGL_CONTEXT_CORE_PROFILE_BIT_ARB
    HGLRC legacy = wglCreateContext(dc);
    if (legacy == nullptr || !wglMakeCurrent(dc, legacy)) return legacy;
    using CreateContextAttribs = HGLRC(WINAPI*)(HDC, HGLRC, const int*);
    const auto create =
        reinterpret_cast<CreateContextAttribs>(reinterpret_cast<void*>(wglGetProcAddress("wglCreateContextAttribsARB")));
    if (create == nullptr) return legacy;
    const int attributes[] = {kMajorVersion, 3, kMinorVersion, 3, kProfileMask, kCoreProfile, 0};
    HGLRC core = create(dc, nullptr, attributes);
    if (core == nullptr) return legacy;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(legacy);
    return core;
}

}  // namespace

// Repaints the frame last flipped (the program draws only after events).
void RepaintScreen() {
    if (!MakeScreenCurrent() || !gl::RendererRunning()) return;
    if (!g_win.kept.drawable.Valid()) {
        ClearScreen(Colour{});
    } else {
        Begin3D();
        DrawDrawable(g_win.kept.drawable, 0, 0, 255);
        End3D();
    }
    gl::FinishFrame();
    SwapScreen();
}

bool MakeScreenCurrent() {
    if (g_win.context == nullptr) return false;
    if (wglGetCurrentContext() != g_win.context) wglMakeCurrent(g_win.screenDc, g_win.context);
    return true;
}

void DestroyScreen() {
    if (g_win.screen == nullptr) return;
    if (MakeScreenCurrent()) {
        gl::ForgetFrame(g_win.kept);
        gl::StopRenderer();
    }
    if (g_win.context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(g_win.context);
        g_win.context = nullptr;
    }
    if (g_win.screenDc != nullptr) ReleaseDC(g_win.screen, g_win.screenDc);
    g_win.screenDc = nullptr;
    g_win.screen = nullptr;
    g_win.screenWindow = 0;
}

}  // namespace plat::win32ui

namespace plat {

using win32ui::g_win;

DesktopInfo QueryDesktop() {
    DesktopInfo info;
    info.width = GetSystemMetrics(SM_CXSCREEN);
    info.height = GetSystemMetrics(SM_CYSCREEN);
    HDC desktop = GetDC(nullptr);
    info.depth = desktop != nullptr ? GetDeviceCaps(desktop, BITSPIXEL) : 24;
    if (desktop != nullptr) ReleaseDC(nullptr, desktop);
    return info;
}

// The screen fills the window from its top-left corner (x and y 0); the window's own surface
// carries it.
bool OpenWindowScreen(int number, int x, int y, int width, int height, int rightOffset,
                      int bottomOffset) {
    win32ui::WindowEntry* window = win32ui::FindEntry(number);
    if (window == nullptr || g_win.screen != nullptr || x != 0 || y != 0 || width <= 0 || height <= 0) return false;
    g_win.screen = window->hwnd;
    g_win.screenWindow = number;
    g_win.edgeRight = rightOffset > 0 ? rightOffset : 0;
    g_win.edgeBottom = bottomOffset > 0 ? bottomOffset : 0;
    g_win.screenDc = GetDC(g_win.screen);
    if (g_win.screenDc == nullptr || !win32ui::SetScreenPixelFormat(g_win.screenDc) ||
        (g_win.context = win32ui::CreateScreenContext(g_win.screenDc)) == nullptr || !win32ui::MakeScreenCurrent() ||
        !gl::StartRenderer(width, height)) {
        win32ui::DestroyScreen();
        return false;
    }
    ClearScreen(Colour{});
    return true;
}

bool OpenScreen(int width, int height, int depth, const std::string& title) {
    // The builder's screen always lives in a window (OpenWindowScreen).
    (void)width;
    (void)height;
    (void)depth;
    (void)title;
    return false;
}

void CloseScreen() { win32ui::DestroyScreen(); }

bool ScreenOpen() { return g_win.screen != nullptr && gl::RendererRunning(); }

// The back buffer is kept as a texture before the swap, so an expose can show it again.
void Flip() {
    if (!win32ui::MakeScreenCurrent()) return;
    gl::FinishFrame();
    gl::KeepFrame(g_win.kept);
    win32ui::SwapScreen();
}

}  // namespace plat
