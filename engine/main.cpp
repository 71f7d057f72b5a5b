// tasko: the tile-world engine. Everything lives in engine_lib; main reads the command line
// (help, version, a new world, the world directory and --map) and starts the engine.
#include <iostream>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "platform/process.h"
#include "worldfiles/commandline.h"

int main(int argc, char** argv) {
    wf::CommandLine line = wf::ParseCommandLine(wf::Program::kEngine, plat::ProgramArguments(argc, argv));
    const int code = wf::PrepareLaunch(wf::Program::kEngine, line, std::cout, std::cerr);
    if (code >= 0) return code;
    RunEngine(line.mapFile);
}
