// A world as a web page: the files of a world that the engine reads, packed into world.json
// (the list of paths, offsets and sizes) and world.data (their bytes), beside the web runtime.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace wf {

// The runtime files an exported folder needs, and the ones copied along when the runtime has
// them (a font file, an emscripten preload file).
const std::vector<std::string>& WebRuntimeFiles();
const std::vector<std::string>& OptionalWebRuntimeFiles();

// The web runtime installed with the programs: "../share/tasko/web" from the directory of the
// program's own binary (in the build tree a link to the runtime scripts/web-build.sh makes), or
// "web" beside the programs (the Windows package); "" when that directory is unknown.
std::string WebRuntimeDirectory();
// True when `directory` holds every file of WebRuntimeFiles().
bool WebRuntimePresent(const std::string& directory);

// One file of a world package: its path inside the world ("/" separated, relative) and where its
// bytes are in world.data.
struct PackedFile {
    std::string path;
    uint64_t offset = 0;
    uint64_t size = 0;
};

// What a world's configuration names, as paths relative to the world directory.
struct WorldFileList {
    std::vector<std::string> files;    // existing files to pack, in packing order, no duplicates
    std::vector<std::string> missing;  // named files that are not there (the page reports them as the desktop does)
    std::string startMapPath;          // the start area's map file
};

// Reads `world`/CORE/ini.crc and lists every file it names: the configuration itself, the system
// texts, the codec file, the tile graphics and descriptors, the area maps, the area sounds, the
// animation frames and the atom directory. Logs, undo snapshots, crash backups and temporaries of
// interrupted writes are left out. False with the reason in `problem` when `world` holds no
// configuration or one of its paths leads outside the world.
bool ListWorldFiles(const std::string& world, WorldFileList& list, std::string& problem);

// world.json of a package: the format name, the size of world.data, the files and the extra
// command-line arguments of the engine (may be empty). One file per line.
std::string WorldPackageJson(const std::vector<PackedFile>& files, uint64_t totalSize,
                             const std::vector<std::string>& arguments);

struct WebExportRequest {
    std::string world;            // the world directory ("" the working directory)
    std::string runtime;          // the directory holding the runtime files
    std::string target;           // the folder to write: new or empty
    std::string startMapFile;     // when set: packed in place of the start area's map
};

struct WebExportReport {
    int files = 0;                       // world files packed
    uint64_t bytes = 0;                  // size of world.data
    std::vector<std::string> missing;    // named world files that were not there
};

// Writes the folder: the runtime files, world.json and world.data. Refuses (false, nothing
// written) a runtime without its files, a target that exists and is not an empty directory, a
// world without a configuration and a start map that cannot be read. A write that fails half
// way removes what it wrote. `problem` is one line without the program's name.
bool ExportWorldForWeb(const WebExportRequest& request, WebExportReport& report, std::string& problem);

}  // namespace wf
