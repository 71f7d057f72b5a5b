// Bringing a started program's window forward on Windows: its visible top-level window is the
// one whose thread belongs to the process; it is restored when minimised and made the
// foreground window (plom may do so, since the user's key press just went to it).
#include <windows.h>

#include "platform/process.h"

namespace plat {
namespace {

struct Search {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK TakeProcessWindow(HWND window, LPARAM data) {
    Search& search = *reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

bool BringProgramToFront(const Process& process) {
    Process running = process;
    if (!ProgramRunning(running)) return false;
    Search search;
    search.process = static_cast<DWORD>(process.id);
    EnumWindows(TakeProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return false;
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    return SetForegroundWindow(search.found) != 0;
}

}  // namespace plat
