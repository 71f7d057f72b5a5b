// Writing a read Tiled map into a world: tile graphics and descriptors into the tile directory,
// the placements as a map file, and for tasko --import-tiled a whole new world around them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/files.h"
#include "worldfiles/lines.h"
#include "worldfiles/mapfile.h"
#include "worldfiles/newworld.h"
#include "worldfiles/tiled_decode.h"
#include "worldfiles/tiled_read.h"

namespace wf {
namespace {

// Both programs make pure white transparent when they load a tile graphic; a white pixel of a
// Tiled tile is written one step off white in blue so that it stays visible.
plat::Pixels KeepWhiteVisible(const plat::Pixels& pixels) {
    plat::Pixels out = pixels;
    for (size_t i = 0; i + 3 < out.rgba.size(); i += 4) {
        if (out.rgba[i] == 255 && out.rgba[i + 1] == 255 && out.rgba[i + 2] == 255 && out.rgba[i + 3] != 0) {
            out.rgba[i + 2] = 254;
        }
    }
    return out;
}

bool TemplateRows(const std::string& path, std::vector<DescriptorRow>& rows) {
    return ReadLinePairs(path, [&rows](const std::string& key, const std::string& value) {
        if (key.empty() || key.find(';') != std::string::npos || value.find(';') != std::string::npos) return;
        rows.emplace_back(key, value);
    });
}

// A file of a directory nobody reads yet is written plainly; elsewhere each file is replaced
// atomically (which costs a flush and a listing of the directory per file).
bool WriteFreshFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines, bool fresh) {
    if (!fresh) return plat::WriteLinesAtomically(path, lines);
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return WriteFreshFile(path, bytes);
}

bool WriteGraphic(const std::string& path, const plat::Pixels& pixels, bool fresh) {
    if (!fresh) return plat::WritePngFile(path, pixels);
    std::string png;
    return plat::EncodePng(pixels, png) && WriteFreshFile(path, png);
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

}  // namespace

bool WriteTiledImport(const TiledMap& map, const TiledImportTarget& target, std::string& problem) {
    std::vector<DescriptorRow> templateRows;
    if (!TemplateRows(target.templateDescriptor, templateRows)) {
        problem = "the template descriptor " + target.templateDescriptor + " cannot be read";
        return false;
    }
    if (!plat::DirectoryExists(target.tileDirectory) && !plat::MakeDirectories(target.tileDirectory)) {
        problem = "cannot make the tile directory " + target.tileDirectory;
        return false;
    }
    bool geneseOf = false;
    std::map<std::string, bool> hasGenese;  // type name -> its descriptor carries a geneseID
    for (const TiledTileType& type : map.types) {
        if (!type.hasGraphic) continue;  // its tiles keep its name, as the builder keeps them
        const std::string base = target.tileDirectory + type.name;
        if (!WriteGraphic(base + target.graphicExtension, KeepWhiteVisible(type.pixels), target.freshDirectory)) {
            problem = "cannot write " + base + target.graphicExtension;
            return false;
        }
        std::vector<DescriptorRow> rows = templateRows;
        geneseOf = false;
        for (const DescriptorRow& change : type.descriptor) {
            auto found = std::find_if(rows.begin(), rows.end(), [&](const DescriptorRow& r) { return r.first == change.first; });
            if (found == rows.end()) {
                rows.push_back(change);
            } else {
                found->second = change.second;
            }
        }
        for (const DescriptorRow& row : rows) {
            if (row.first == "geneseID" && !row.second.empty()) geneseOf = true;
        }
        hasGenese[type.name] = geneseOf;
        if (!WriteLines(base + ".dll", DescriptorFileLines(rows), target.freshDirectory)) {
            problem = "cannot write " + base + ".dll";
            return false;
        }
    }
    // The library index written beside each name is the type's place in the tile directory's
    // listing, as the map builder numbers its library.
    std::map<std::string, int> libraryIndex;
    const std::string& extension = target.graphicExtension;
    int next = 0;
    for (const std::string& entry : plat::ListDirectory(target.tileDirectory, "*" + extension + "*")) {
        const std::string name = entry.substr(0, entry.find(extension));
        if (!plat::FileExists(target.tileDirectory + name + ".dll")) continue;
        if (!libraryIndex.count(name)) libraryIndex[name] = next;
        ++next;
    }
    std::vector<MapFileTile> tiles;
    tiles.reserve(map.placements.size());
    for (const TiledPlacement& placement : map.placements) {
        MapFileTile tile;
        tile.tileName = placement.typeName;
        if (placement.libraryIndex >= 0) {
            tile.libraryIndex = placement.libraryIndex;
        } else {
            tile.libraryIndex = libraryIndex.count(placement.typeName) ? libraryIndex[placement.typeName] : 0;
        }
        tile.x = static_cast<float>(placement.x);
        tile.y = static_cast<float>(placement.y);
        tile.width = static_cast<float>(placement.width);
        tile.height = static_cast<float>(placement.height);
        tile.layer = placement.layer;
        tile.hasGeneseID = hasGenese[placement.typeName];
        tiles.push_back(std::move(tile));
    }
    if (!WriteLines(target.mapPath, MapFileLines(tiles), target.freshDirectory)) {
        problem = "cannot write " + target.mapPath;
        return false;
    }
    return true;
}

bool ImportTiledWorld(const std::string& mapPath, const std::string& directory, std::vector<std::string>& notes,
                      std::string& problem) {
    if (directory.empty()) {
        problem = "no directory given for the world";
        return false;
    }
    if (plat::FileExists(directory)) {
        problem = "'" + directory + "' is not a directory; nothing was written";
        return false;
    }
    const bool existed = plat::DirectoryExists(directory);
    if (existed && !plat::DirectoryIsEmpty(directory)) {
        problem = "the directory '" + directory + "' is not empty; nothing was written";
        return false;
    }
    // Everything is read and checked before anything is written.
    TiledMap map;
    if (!ReadTiledMap(mapPath, map, problem)) {
        problem += "; nothing was written";
        return false;
    }
    notes = map.notes;
    const std::string final = WithoutTrailingSeparator(directory);
    const std::string staging = plat::AtomicTempPath(final);
    plat::RemoveDirectoryTree(staging);
    auto fail = [&](const std::string& why) {
        problem = why + "; nothing was written";
        plat::RemoveDirectoryTree(staging);
        return false;
    };
    if (!plat::MakeDirectories(staging)) return fail("cannot make the directory '" + staging + "'");
    const std::string root = staging + "/";
    WorldSettings settings;
    settings.starterTiles = false;
    settings.maxObjects = std::max<int>(2000, static_cast<int>(map.placements.size()) + 16);
    settings.maxTiles = std::max<int>(4000, static_cast<int>(map.placements.size()) + 16);
    settings.userScroll = true;
    settings.dynamicScroll = false;
    settings.version = "TILED MAP 1";
    std::string why;
    if (!WriteWorldFiles(root, settings, why)) return fail(why);
    TiledImportTarget target;
    target.tileDirectory = root + "GFX/";
    target.templateDescriptor = root + "_DATA/DNA.dll";
    target.mapPath = root + "MAPS/LVL0.dll";
    target.freshDirectory = true;
    if (!WriteTiledImport(map, target, why)) return fail(why);
    // The builder's start-up map is the same map.
    std::string bytes;
    if (!tiled::ReadFileBytes(target.mapPath, bytes, size_t{1} << 31) || !WriteFreshFile(root + "1", bytes)) {
        return fail("cannot write " + root + "1");
    }
    if (existed && !plat::RemoveDirectoryTree(final)) return fail("cannot replace the empty directory '" + final + "'");
    if (!plat::RenamePath(staging, final)) return fail("cannot move '" + staging + "' to '" + final + "'");
    return true;
}

}  // namespace wf
