// A program of the end-to-end tests only: tasko or plom (chosen when it is built) with a hook in
// drawing that makes a real access violation at the first GL flush after the process gets SIGUSR1
// (on Windows, which has no such signal: after a file "draw-fault.request" appears in its working
// directory; in a browser page, after the page calls TaskoRequestDrawFault).
#include <signal.h>

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#endif
#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#include <unistd.h>
#endif

#include "platform/draw_hook.h"
#if defined(DRAW_FAULT_ENGINE)
#include "engine/ENV.h"
#else
#include "builder/BUILDERENV.h"
#endif

namespace {

volatile sig_atomic_t g_faultRequested = 0;

void RequestFault(int) { g_faultRequested = 1; }

// Runs inside the renderer's flush, with the GL context current and a batch half handed to GL
// (for plom possibly inside FLTK's own drawing). Strikes once, so the fault path's own drawing
// (the box, a repaint) is not hit again.
// The null write is the point: the undefined-behaviour checker of a sanitizer build must let it
// through to the fault handler.
#if defined(__GNUC__)
__attribute__((no_sanitize_undefined))
#endif
void FaultInDrawing() {
    if (g_faultRequested == 0) return;
    g_faultRequested = 0;
#if defined(__EMSCRIPTEN__)
    // Address 0 is ordinary memory in wasm; an address past the end of memory traps.
    volatile int* volatile nowhere = reinterpret_cast<int*>(UINTPTR_MAX - 15);
#else
    volatile int* volatile nowhere = nullptr;
#endif
    *nowhere = 1;
}

}  // namespace

#if defined(_WIN32)
DWORD WINAPI WatchForRequest(void*) {
    while (GetFileAttributesW(L"draw-fault.request") == INVALID_FILE_ATTRIBUTES) Sleep(100);
    RequestFault(0);
    return 0;
}
#endif

#if defined(__EMSCRIPTEN__)
extern "C" EMSCRIPTEN_KEEPALIVE void TaskoRequestDrawFault() { RequestFault(0); }
#endif

int main(int argc, char** argv) {
#if defined(__EMSCRIPTEN__)
    // The page starts the program with the world's directory as its last argument.
    if (argc > 1 && chdir(argv[argc - 1]) != 0) return 1;
#else
    (void)argc;
    (void)argv;
#endif
#if defined(_WIN32)
    CloseHandle(CreateThread(nullptr, 0, WatchForRequest, nullptr, 0, nullptr));
#elif !defined(__EMSCRIPTEN__)
    struct sigaction action {};
    action.sa_handler = RequestFault;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
#endif
    plat::SetDrawHook(FaultInDrawing);
#if defined(DRAW_FAULT_ENGINE)
    RunEngine();
#else
    RunBuilder();
#endif
}
