// Starting programs in the headless backend: each request is recorded with its arguments and
// directory and counts as running until the test ends it, so nothing is ever executed.
#include "platform/headless/state.h"
#include "platform/process.h"

namespace plat {

Process StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                     const std::string& directory) {
    if (headless::g_headless.startFails) return {};
    headless::g_headless.started.push_back(headless::StartRecord{path, arguments, directory, true});
    return Process{static_cast<int>(headless::g_headless.started.size()) - 1};
}

bool ProgramRunning(Process& process) {
    auto& started = headless::g_headless.started;
    if (!process.Valid() || process.id >= static_cast<int>(started.size()) || !started[process.id].running) {
        process = Process{};
        return false;
    }
    return true;
}

bool BringProgramToFront(const Process& process) {
    Process running = process;
    if (!ProgramRunning(running)) return false;
    headless::g_headless.broughtToFront.push_back(process.id);
    return true;
}

}  // namespace plat

namespace plat::headless {

const std::vector<int>& ProgramsBroughtToFront() { return g_headless.broughtToFront; }

const std::vector<StartRecord>& StartedPrograms() { return g_headless.started; }

void SetStartFails(bool fails) { g_headless.startFails = fails; }

void EndStartedPrograms() {
    for (StartRecord& record : g_headless.started) record.running = false;
}

}  // namespace plat::headless
