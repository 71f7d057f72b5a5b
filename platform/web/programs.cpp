// Starting programs in a browser page: a page starts no processes, so none can be started.
#include "platform/process.h"

namespace plat {

Process StartProgram(const std::string&, const std::vector<std::string>&, const std::string&) { return {}; }

bool ProgramRunning(Process& process) {
    process = Process{};
    return false;
}

}  // namespace plat
