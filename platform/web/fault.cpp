// Faults in a browser page: wasm has no signals. A trap of the wasm code (an access out of
// bounds, "unreachable", a division by zero) ends the running step with a JavaScript error;
// the page catches it and calls TaskoWebFault, which runs the installed routine as a trap
// handler would. Fault routines write with the plain file calls of posix/fault_files.cpp; each
// entry is also shown in the browser's console.
#include <emscripten.h>

#include "platform/core/system.h"
#include "platform/fault.h"

namespace plat {
namespace sys {

// Nothing to put in place: the page reports traps (TaskoWebFault).
void InstallFaultTraps() {}
void RemoveFaultTraps() {}
// The page runs nothing after the step that faulted: there is nothing that could hang.
void StartFaultWatchdog(unsigned) {}

}  // namespace sys
}  // namespace plat

// Called by the page after a trap of the wasm code ended a step: `kind` is the FaultKind the
// page made of the error's message. Runs the routine with the last position mark, as a signal
// would; without a routine (or when it returns) the process ends.
extern "C" EMSCRIPTEN_KEEPALIVE void TaskoWebFault(int kind) {
    const plat::FaultKind fault =
        kind >= 0 && kind <= static_cast<int>(plat::FaultKind::Unknown) ? static_cast<plat::FaultKind>(kind)
                                                                      : plat::FaultKind::Unknown;
    if (plat::FaultRoutine routine = plat::TakeFaultRoutine()) {
        routine(plat::DescribeFault(fault), plat::FaultModule(), plat::g_faultLine);
    }
    plat::EndProcessNow();
}
