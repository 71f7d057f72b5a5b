// The command line of both programs: --help, --version, an optional world directory, and for
// the engine --map FILE and --new-world DIR. Parsing is pure; PrepareLaunch carries it out.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace wf {

enum class Program { kEngine, kBuilder };

struct CommandLine {
    enum Action { kRun, kHelp, kVersion, kNewWorld, kUsageError };
    Action action = kRun;
    std::string worldDirectory;  // kRun: "" for the working directory; kNewWorld: the new world
    std::string mapFile;         // engine, kRun: --map FILE, "" for the configured map
    std::string error;           // kUsageError: one line saying what is wrong
};

// The arguments after the program name. The first of --help and --version wins over anything
// else; otherwise the first fault (unknown option, missing option value, extra argument) is
// reported. "--" ends the options.
CommandLine ParseCommandLine(Program program, const std::vector<std::string>& arguments);

std::string ProgramName(Program program);
std::string UsageText(Program program);    // the usage lines, ending with a line break
std::string HelpText(Program program);     // what --help prints
std::string VersionText(Program program);  // what --version prints

// Carries out everything but running the program: prints help or version to `out`; for a
// usage error or a world directory that does not exist prints one line and the usage to
// `err`; writes a new world; changes into the world directory and turns mapFile into a path
// from there. Returns -1 when the program is to run, otherwise its exit code
// (0 help, version, new world; 2 a usage error or a refused directory).
int PrepareLaunch(Program program, CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace wf
