// The command line of both programs: --help, --version, an optional world directory or --demo,
// for the engine --map FILE, --new-world DIR, --export-web DIR and --import-tiled MAP DIR, for
// the builder --export-tiled OUT [--map FILE]. Parsing is pure; PrepareLaunch carries it out.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace wf {

enum class Program { kEngine, kBuilder };

struct CommandLine {
    enum Action { kRun, kHelp, kVersion, kNewWorld, kExportWeb, kImportTiled, kExportTiled, kUsageError };
    Action action = kRun;
    std::string worldDirectory;  // kRun, kExportWeb: "" for the working directory; kNewWorld, kImportTiled: the new world
    std::string mapFile;         // engine, kRun, kExportWeb: --map FILE, "" for the configured map;
                                 // builder, kExportTiled: --map FILE, "" for the start-up map "1"
    std::string exportFile;      // kExportTiled: the TMX file to write
    std::string error;           // kUsageError: one line saying what is wrong
    bool demo = false;           // kRun, kExportWeb: --demo, the user's own copy of the demo world
    std::string exportDirectory; // kExportWeb: the folder to write the web page into
    std::string tiledMap;        // kImportTiled: the Tiled map (.tmx, .tmx.gz) to import
};

// The arguments after the program name. The first of --help and --version wins over anything
// else; otherwise the first fault (unknown option, missing option value, extra argument) is
// reported. "--" ends the options.
CommandLine ParseCommandLine(Program program, const std::vector<std::string>& arguments);

std::string ProgramName(Program program);
std::string UsageText(Program program);    // the usage lines, ending with a line break
std::string HelpText(Program program);     // what --help prints
std::string VersionText(Program program);  // what --version prints

// The file whose absence shows that a directory holds no world for the program: the engine's
// "CORE/ini.crc", the builder's "_DATA/ini.txt".
std::string WorldMarkerFile(Program program);

// Carries out everything but running the program: prints help or version to `out`; for a
// usage error or a world directory that does not exist prints one line and the usage to
// `err`; writes a new world; exports a world for the web (the start area's map replaced by
// --map FILE when given); for --demo makes the user's copy of the demo when it is missing
// and takes it as the world directory; changes into the world directory and turns mapFile into
// a path from there. Started without a world in a directory that holds none, it writes one line
// to `err` saying so and what to run instead, and lets the program run (and show its box).
// For --export-tiled it does the same as for a run (the paths are taken from where the program
// was started) and leaves the export to the builder.
// Returns -1 when the program is to run (or export a Tiled map), otherwise its exit code (0 help,
// version, new world, web export, Tiled import; 2 a usage error, a refused directory, a missing
// web runtime or a demo copy that cannot be made).
int PrepareLaunch(Program program, CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace wf
