// A program of the end-to-end tests only: tasko or plom (chosen when it is built) with a hook in
// drawing that makes a real access violation at the first GL flush after the process gets SIGUSR1.
#include <signal.h>

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
void FaultInDrawing() {
    if (g_faultRequested == 0) return;
    g_faultRequested = 0;
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

}  // namespace

int main() {
    struct sigaction action {};
    action.sa_handler = RequestFault;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, nullptr);
    plat::SetDrawHook(FaultInDrawing);
#if defined(DRAW_FAULT_ENGINE)
    RunEngine();
#else
    RunBuilder();
#endif
}
