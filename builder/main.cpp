// plom: the map builder. Everything lives in builder_lib; main reads the command line (help,
// version, the world directory, an export to Tiled) and starts the builder.
#include <iostream>
#include <string>
#include <vector>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERTILED.h"
#include "platform/process.h"
#include "worldfiles/commandline.h"

int main(int argc, char** argv) {
    wf::CommandLine line = wf::ParseCommandLine(wf::Program::kBuilder, plat::ProgramArguments(argc, argv));
    const int code = wf::PrepareLaunch(wf::Program::kBuilder, line, std::cout, std::cerr);
    if (code >= 0) return code;
    if (line.action == wf::CommandLine::kExportTiled) return ExportTiledMapFile(line.exportFile, line.mapFile, std::cout, std::cerr);
    RunBuilder();
}
