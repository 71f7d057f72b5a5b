// BUILDERTILED: exporting to Tiled from the menu and from the command line. Both go through the
// shared writer with the tile directory, graphics extension and grid step of the world.
#include "builder/BUILDERTILED.h"

#include <vector>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERIMPORT.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERPARSER.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/tiled_read.h"
#include "worldfiles/tiled_write.h"

namespace {

constexpr const char* kExportTitle = "MAP BUILDER: Export Tiled Map";
constexpr const char* kImportTitle = "MAP BUILDER: Import Tiled Map";
constexpr size_t kNamesShown = 8;  // missing names listed in a box before "and N more"

wf::TiledExportWorld ExportWorld() {
    wf::TiledExportWorld world;
    world.tileDirectory = gBuilderSettings.GFXPATH;
    world.graphicsExtension = gBuilderSettings.GFXCODEC;
    world.gridSize = gBuilderSettings.MATRIXRASTER;
    return world;
}

std::string Summary(const wf::TiledExportResult& result, const std::string& path) {
    return wf::IntText(result.objects) + " tile(s) on " + wf::IntText(result.layers) + " layer(s), " +
           wf::IntText(result.types) + " tile type(s) written to " + path;
}

std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (size_t i = 0; i < names.size() && i < kNamesShown; ++i) list += (i > 0 ? ", " : "") + names[i];
    if (names.size() > kNamesShown) list += " and " + wf::IntText(static_cast<int64_t>(names.size() - kNamesShown)) + " more";
    return list;
}

bool Refuse(const std::string& text) {
    plat::MessageBox(kBuilderErrorTitle, text);
    return false;
}

}  // namespace

bool ExportTiledMap(const std::string& tmxPath) {
    PLAT_MARK("BUILDERTILED");
    const wf::TiledExportResult result = wf::ExportTiledMap(ExportWorld(), EditedMapLines(), tmxPath);
    if (!result.written) {
        plat::MessageBox(kBuilderErrorTitle, "Could not export the map to Tiled: " + result.problem + ".");
        return false;
    }
    std::string text = Summary(result, tmxPath) + ".";
    if (!result.missingTypes.empty()) {
        text += "\nWithout a graphic (kept by name, drawn by nothing): " + NameList(result.missingTypes) + ".";
    }
    plat::MessageBox(kExportTitle, text);
    return true;
}

void ExportTiledMapCommand() {
    const std::string chosen = plat::RequestSaveFile("MAP-BUILDER: Export Tiled Map:", "", "*.tmx");
    if (!chosen.empty()) ExportTiledMap(chosen);
}

int ExportTiledMapFile(const std::string& tmxPath, const std::string& mapFile, std::ostream& out,
                       std::ostream& err) {
    SetBuilderStartValues();
    // The configuration readers end the builder with a box on a missing file: here each file is
    // looked for first, so a command line run ends with a line instead.
    const auto missing = [&err](const std::string& path) {
        err << "plom: cannot export: " << path << " is missing\n";
        return 1;
    };
    if (!plat::FileExists(gBuilder.mainConfigurationPath)) return missing(gBuilder.mainConfigurationPath);
    ReadMainConfiguration();
    if (!plat::FileExists(gBuilderSettings.DEFAULTINISCRIPT)) return missing(gBuilderSettings.DEFAULTINISCRIPT);
    ReadApplicationScript(gBuilderSettings.DEFAULTINISCRIPT);
    if (!plat::FileExists(gBuilderSettings.APPINIFILE)) return missing(gBuilderSettings.APPINIFILE);
    ReadApplicationFile(gBuilderSettings.APPINIFILE);
    ReadCodecFile(gBuilderSettings.CODECS);

    const std::string source = mapFile.empty() ? "1" : mapFile;
    std::vector<std::string> lines;
    if (!plat::ReadAllLines(source, lines)) {
        err << "plom: cannot export: the map file " << source << " cannot be read\n";
        return 1;
    }
    const wf::TiledExportResult result = wf::ExportTiledMap(ExportWorld(), lines, tmxPath);
    if (!result.written) {
        err << "plom: cannot export " << source << ": " << result.problem << "\n";
        return 1;
    }
    for (const std::string& name : result.missingTypes) {
        err << "plom: " << source << ": the tile type \"" << name
            << "\" has no graphic that reads in the tile directory; its tiles are kept by name\n";
    }
    out << "plom: " << Summary(result, tmxPath) << "\n";
    return 0;
}

std::string TiledImportMapPath() { return gBuilderSettings.LOGFILE + "_TILEDMAP"; }

bool ImportTiledMap(const std::string& tmxPath) {
    PLAT_MARK("BUILDERTILED");
    if (gBuilderSettings.GFXCODEC != ".png") {
        return Refuse("This world's tile graphics are " + gBuilderSettings.GFXCODEC +
                      " files, and plom writes imported tiles as PNG only.\nNothing was imported.");
    }
    wf::TiledMap map;
    std::string problem;
    if (!wf::ReadTiledMap(tmxPath, map, problem)) return Refuse("Could not import the Tiled map:\n" + problem);
    std::vector<std::string> existing;
    for (const wf::TiledTileType& type : map.types) {
        const std::string nameProblem = TileNameProblem(type.name);
        if (!nameProblem.empty()) {
            return Refuse("The Tiled map's tile \"" + type.name + "\" cannot be a tile type here: " + nameProblem +
                          ".\nNothing was imported.");
        }
        if (plat::FileExists(gBuilderSettings.GFXPATH + type.name + gBuilderSettings.GFXCODEC)) existing.push_back(type.name);
    }
    if (!existing.empty() &&
        !plat::AskYesNo(kImportTitle, wf::IntText(static_cast<int64_t>(existing.size())) +
                                          " tile type(s) of the map exist already: " + NameList(existing) +
                                          ".\nReplace their graphics and descriptors with the map's?")) {
        return false;
    }
    wf::TiledImportTarget target;
    target.tileDirectory = gBuilderSettings.GFXPATH;
    target.templateDescriptor = gBuilder.defaultDescriptorPath;
    target.mapPath = TiledImportMapPath();
    target.graphicExtension = gBuilderSettings.GFXCODEC;
    if (!wf::WriteTiledImport(map, target, problem)) {
        return Refuse("Could not write the imported map:\n" + problem + "\nThe map being edited is unchanged.");
    }
    ReadMapFile(target.mapPath);
    gBuilder.currentMapFile = target.mapPath;
    TakeUndoSnapshot();
    std::string text = wf::IntText(static_cast<int64_t>(map.placements.size())) + " tile(s) of " +
                       wf::IntText(static_cast<int64_t>(map.types.size())) + " tile type(s) imported from " +
                       tmxPath + ".";
    for (const std::string& note : map.notes) text += "\n" + note;
    plat::MessageBox(kImportTitle, text);
    return true;
}

void ImportTiledMapCommand() {
    const std::string chosen = plat::RequestOpenFile("MAP-BUILDER: Import Tiled Map:", "", "*.tmx");
    if (!chosen.empty()) ImportTiledMap(chosen);
}
