// The command line of both programs: the option table, the help and usage texts, and the
// launch step that prints, writes a new world, exports one for the web or enters the world
// directory before a run.
#include "worldfiles/commandline.h"

#include "platform/files.h"
#include "worldfiles/democopy.h"
#include "worldfiles/newworld.h"
#include "worldfiles/webexport.h"
#include "worldfiles/tiled_read.h"

#ifndef TOOLS_VERSION
#define TOOLS_VERSION "0"
#endif

namespace wf {
namespace {

bool IsOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

CommandLine UsageError(const std::string& text) {
    CommandLine line;
    line.action = CommandLine::kUsageError;
    line.error = text;
    return line;
}

// --export-web: the world (the working directory, WORLD or the demo copy) packed beside the
// runtime installed with the programs.
int ExportWeb(const std::string& name, CommandLine& line, std::ostream& out, std::ostream& err) {
    std::string problem;
    std::string world = line.worldDirectory;
    if (line.demo) {
        world = UserDemoDirectory();
        if (!EnsureDemoCopy(DemoTemplateDirectory(), world, problem)) {
            err << name << ": " << problem << "\n";
            return 2;
        }
    }
    if (!world.empty() && !plat::DirectoryExists(world)) {
        err << name << ": the world directory '" << world << "' does not exist\n" << UsageText(Program::kEngine);
        return 2;
    }
    WebExportRequest request{world, WebRuntimeDirectory(), line.exportDirectory, line.mapFile};
    WebExportReport report;
    if (!ExportWorldForWeb(request, report, problem)) {
        err << name << ": " << problem << "\n";
        return 2;
    }
    for (const std::string& path : report.missing) {
        err << name << ": the world names '" << path << "', which is not there; the page reports it as tasko does\n";
    }
    out << name << ": the world is a web page in " << line.exportDirectory << " (" << report.files << " files, "
        << report.bytes << " bytes); try it with 'python3 -m http.server' in that folder and http://localhost:8000/\n";
    return 0;
}

}  // namespace

std::string ProgramName(Program program) { return program == Program::kEngine ? "tasko" : "plom"; }

CommandLine ParseCommandLine(Program program, const std::vector<std::string>& arguments) {
    const std::string name = ProgramName(program);
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") {
            CommandLine help;
            help.action = CommandLine::kHelp;
            return help;
        }
        if (argument == "--version") {
            CommandLine version;
            version.action = CommandLine::kVersion;
            return version;
        }
    }
    CommandLine line;
    bool optionsEnded = false;
    bool haveDirectory = false;  // a world directory or --demo
    bool newWorld = false;
    bool exportWeb = false;
    bool importTiled = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        const bool engine = program == Program::kEngine;
        if (!optionsEnded && engine && argument == "--import-tiled") {
            if (i + 2 >= arguments.size() || arguments[i + 1].empty() || arguments[i + 2].empty()) {
                return UsageError(name + ": the option --import-tiled needs a Tiled map and a directory");
            }
            if (exportWeb) return UsageError(name + ": --import-tiled and --export-web cannot be combined");
            if (newWorld || haveDirectory || importTiled) {
                return UsageError(name + ": extra argument '" + arguments[i + 1] + "'");
            }
            importTiled = true;
            line.tiledMap = arguments[++i];
            line.worldDirectory = arguments[++i];
            continue;
        }
        const bool valued = engine ? argument == "--map" || argument == "--new-world" || argument == "--export-web"
                                   : argument == "--map" || argument == "--export-tiled";
        if (!optionsEnded && valued) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                return UsageError(name + ": the option " + argument + " needs a value");
            }
            const std::string& value = arguments[++i];
            if (argument == "--map") {
                line.mapFile = value;
            } else if (argument == "--export-web") {
                if (exportWeb) return UsageError(name + ": extra argument '" + value + "'");
                if (newWorld) return UsageError(name + ": --new-world and --export-web cannot be combined");
                if (importTiled) return UsageError(name + ": --import-tiled and --export-web cannot be combined");
                exportWeb = true;
                line.exportDirectory = value;
            } else if (argument == "--export-tiled") {
                line.exportFile = value;
            } else {
                if (exportWeb) return UsageError(name + ": --new-world and --export-web cannot be combined");
                if (newWorld || haveDirectory || importTiled) return UsageError(name + ": extra argument '" + value + "'");
                newWorld = true;
                line.worldDirectory = value;
            }
            continue;
        }
        if (!optionsEnded && argument == "--demo") {
            if (haveDirectory || newWorld || importTiled) {
                return UsageError(name + ": extra argument '" + argument + "'");
            }
            haveDirectory = true;
            line.demo = true;
            continue;
        }
        if (!optionsEnded && IsOption(argument)) {
            return UsageError(name + ": unknown option '" + argument + "'");
        }
        if (haveDirectory || newWorld || importTiled || argument.empty()) {
            return UsageError(name + ": extra argument '" + argument + "'");
        }
        haveDirectory = true;
        line.worldDirectory = argument;
    }
    if (program == Program::kBuilder) {
        if (!line.exportFile.empty()) {
            line.action = CommandLine::kExportTiled;
        } else if (!line.mapFile.empty()) {
            return UsageError(name + ": unknown option '--map' without --export-tiled");
        }
    }
    if (newWorld) {
        if (!line.mapFile.empty()) return UsageError(name + ": --new-world and --map cannot be combined");
        line.action = CommandLine::kNewWorld;
    }
    if (importTiled) {
        if (!line.mapFile.empty()) return UsageError(name + ": --import-tiled and --map cannot be combined");
        line.action = CommandLine::kImportTiled;
    }
    if (exportWeb) line.action = CommandLine::kExportWeb;
    return line;
}

std::string UsageText(Program program) {
    if (program == Program::kEngine) {
        return "usage: tasko [--map FILE] [WORLD | --demo]\n"
               "       tasko --new-world DIR\n"
               "       tasko --export-web DIR [--map FILE] [WORLD | --demo]\n"
               "       tasko --import-tiled MAP DIR\n"
               "       tasko --help | --version\n";
    }
    return "usage: plom [WORLD | --demo]\n"
           "       plom --export-tiled OUT.tmx [--map FILE] [WORLD | --demo]\n"
           "       plom --help | --version\n";
}

std::string HelpText(Program program) {
    if (program == Program::kEngine) {
        return "tasko runs a tile world full-screen; hold Escape and left Alt together to end it.\n\n" +
               UsageText(program) +
               "\n"
               "  WORLD            the world directory (default: the working directory); tasko\n"
               "                   runs as if started in it and reads CORE/ini.crc there\n"
               "  --demo           play your own copy of the demo world, made on first use from\n"
               "                   the installed one in ~/.local/share/tasko/demo\n"
               "  --map FILE       play FILE as the start area's map instead of the configured one\n"
               "                   (a relative FILE is taken from where tasko is started)\n"
               "  --new-world DIR  write a small world of your own into DIR (new or empty), then\n"
               "                   start it with 'tasko DIR' and edit it with 'plom DIR'\n"
               "  --export-web DIR write the world as a web page into DIR (new or empty): the\n"
               "                   page, the web runtime installed with tasko, world.json and\n"
               "                   world.data; serve DIR with any static web server (with --map,\n"
               "                   FILE is packed as the start area's map)\n"
               "  --import-tiled MAP DIR\n"
               "                   write a new world into DIR (new or empty) that plays the\n"
               "                   orthogonal Tiled map MAP (.tmx or .tmx.gz) as area 0 at one\n"
               "                   Tiled pixel per screen pixel; the cursor keys scroll it\n"
               "  -h, --help       show this help and end\n"
               "  --version        show the version and end\n";
    }
    return "plom edits the maps and tile descriptors of a tile world.\n\n" + UsageText(program) +
           "\n"
           "  WORLD            the world directory (default: the working directory); plom runs\n"
           "                   as if started in it and reads _DATA/ini.txt there\n"
           "  --demo           edit your own copy of the demo world (the one tasko --demo plays),\n"
           "                   made on first use in ~/.local/share/tasko/demo\n"
           "  --export-tiled OUT.tmx\n"
           "                   write the world's start-up map \"1\" as a Tiled map (with its\n"
           "                   tileset embedded) and end; no window opens\n"
           "  --map FILE       with --export-tiled: export FILE instead of \"1\" (a relative\n"
           "                   FILE is taken from where plom is started)\n"
           "  -h, --help       show this help and end\n"
           "  --version        show the version and end\n"
           "\n"
           "F5 in the main window writes the map to USER/_PLAYMAP and plays it in tasko; F5 again\n"
           "while that tasko runs shows the edited map in it.\n";
}

std::string WorldMarkerFile(Program program) {
    return plat::NativePath(program == Program::kEngine ? "CORE\\ini.crc" : "_DATA\\ini.txt");
}

std::string VersionText(Program program) { return ProgramName(program) + " " + TOOLS_VERSION + "\n"; }

int PrepareLaunch(Program program, CommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string name = ProgramName(program);
    switch (line.action) {
        case CommandLine::kHelp:
            out << HelpText(program);
            return 0;
        case CommandLine::kVersion:
            out << VersionText(program);
            return 0;
        case CommandLine::kUsageError:
            err << line.error << "\n" << UsageText(program);
            return 2;
        case CommandLine::kNewWorld: {
            std::string problem;
            if (!WriteNewWorld(line.worldDirectory, problem)) {
                err << name << ": " << problem << "\n";
                return 2;
            }
            out << name << ": a new world is in " << line.worldDirectory << "; start it with: tasko "
                << line.worldDirectory << "\n";
            return 0;
        }
        case CommandLine::kExportWeb:
            return ExportWeb(name, line, out, err);
        case CommandLine::kImportTiled: {
            std::string problem;
            std::vector<std::string> notes;
            if (!ImportTiledWorld(line.tiledMap, line.worldDirectory, notes, problem)) {
                err << name << ": " << problem << "\n";
                return 2;
            }
            for (const std::string& note : notes) out << name << ": " << note << "\n";
            out << name << ": the Tiled map " << line.tiledMap << " is in " << line.worldDirectory
                << " as area 0; play it with: tasko " << line.worldDirectory << "\n";
            return 0;
        }
        case CommandLine::kRun:
        case CommandLine::kExportTiled:
            break;
    }
    // The map file is named from where the program was started, before moving into the world.
    if (!line.mapFile.empty()) line.mapFile = plat::AbsolutePath(line.mapFile);
    if (!line.exportFile.empty()) line.exportFile = plat::AbsolutePath(line.exportFile);
    if (line.demo) {
        std::string problem;
        line.worldDirectory = UserDemoDirectory();
        if (!EnsureDemoCopy(DemoTemplateDirectory(), line.worldDirectory, problem)) {
            err << name << ": " << problem << "\n";
            return 2;
        }
    }
    if (line.worldDirectory.empty()) {
        const std::string marker = WorldMarkerFile(program);
        // An export names what it misses itself, and opens no box.
        if (!plat::FileExists(marker) && line.action != CommandLine::kExportTiled) {
            const bool engine = program == Program::kEngine;
            err << name << ": no world here (" << plat::CurrentDirectory() << marker << " is missing); "
                << (engine ? "play one with 'tasko DIR'" : "edit one with 'plom DIR'")
                << ", make one with 'tasko --new-world DIR', or " << (engine ? "play" : "edit")
                << " the demo with '" << name << " --demo'\n";
        }
        return -1;
    }
    if (!plat::DirectoryExists(line.worldDirectory)) {
        err << name << ": the world directory '" << line.worldDirectory << "' does not exist\n"
            << UsageText(program);
        return 2;
    }
    if (!plat::ChangeDirectory(line.worldDirectory)) {
        err << name << ": cannot enter the world directory '" << line.worldDirectory << "'\n"
            << UsageText(program);
        return 2;
    }
    return -1;
}

}  // namespace wf
