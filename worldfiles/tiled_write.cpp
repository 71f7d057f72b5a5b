// Writing Tiled maps: the TMX document built with pugixml, the tile library gathered from the
// tile directory (graphics, sizes, descriptor pairs) and the keyed copies of white-backed graphics.
#include "worldfiles/tiled_write.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <set>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "platform/files.h"
#include "platform/images.h"
#include "worldfiles/lines.h"

namespace wf {

namespace {

constexpr int kDefaultGrid = 32;

void AddProperty(pugi::xml_node properties, const std::string& name, const char* type, const std::string& value) {
    pugi::xml_node property = properties.append_child("property");
    property.append_attribute("name") = name.c_str();
    if (type != nullptr) property.append_attribute("type") = type;
    property.append_attribute("value") = value.c_str();
}

// Cells of `grid` pixels covering 0..extent; at least one, at most what an int holds.
int CellsCovering(long long extent, int grid) {
    if (extent <= 0) return 1;
    return static_cast<int>(std::min<long long>((extent + grid - 1) / grid, std::numeric_limits<int>::max()));
}

// A record's number as written: the map file holds integers, so this is exact.
long long Whole(float value) { return static_cast<long long>(value); }

void AppendTileset(pugi::xml_node map, const std::vector<TiledExportTile>& types) {
    int widest = 1, tallest = 1;
    for (const TiledExportTile& type : types) {
        widest = std::max(widest, type.imageWidth);
        tallest = std::max(tallest, type.imageHeight);
    }
    pugi::xml_node tileset = map.append_child("tileset");
    tileset.append_attribute("firstgid") = 1;
    tileset.append_attribute("name") = "tiles";
    tileset.append_attribute("tilewidth") = widest;
    tileset.append_attribute("tileheight") = tallest;
    tileset.append_attribute("tilecount") = static_cast<int>(types.size());
    tileset.append_attribute("columns") = 0;
    // Tiles are drawn at their own size whatever the map's grid.
    pugi::xml_node grid = tileset.append_child("grid");
    grid.append_attribute("orientation") = "orthogonal";
    grid.append_attribute("width") = 1;
    grid.append_attribute("height") = 1;
    for (size_t id = 0; id < types.size(); ++id) {
        const TiledExportTile& type = types[id];
        pugi::xml_node tile = tileset.append_child("tile");
        tile.append_attribute("id") = static_cast<int>(id);
        const bool hasImage = !type.imageSource.empty();
        if (!type.properties.empty() || !hasImage) {
            pugi::xml_node properties = tile.append_child("properties");
            for (const DescriptorRow& row : type.properties) AddProperty(properties, row.first, nullptr, row.second);
            if (!hasImage) AddProperty(properties, kTiledNameProperty, nullptr, type.name);
        }
        if (hasImage) {
            pugi::xml_node image = tile.append_child("image");
            image.append_attribute("width") = type.imageWidth;
            image.append_attribute("height") = type.imageHeight;
            image.append_attribute("source") = type.imageSource.c_str();
        }
    }
}

// Splits a path into its parts, dropping "." and empty parts and resolving "..".
std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&]() {
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else {
                parts.push_back(part);
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : path) {
        if (c == '/' || c == '\\') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return parts;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The descriptor's pairs, each key once (in the order keys first appear, with their last
// value); the ";" trailer left out.
std::vector<DescriptorRow> DescriptorProperties(const std::string& path) {
    std::vector<DescriptorRow> rows;
    std::map<std::string, size_t> at;  // key -> index in rows
    ReadLinePairs(path, [&](const std::string& key, const std::string& value) {
        if (key.empty() || key.find(';') != std::string::npos || value.find(';') != std::string::npos) return;
        const auto found = at.find(key);
        if (found != at.end()) {
            rows[found->second].second = value;
            return;
        }
        at[key] = rows.size();
        rows.emplace_back(key, value);
    });
    return rows;
}

bool HoldsPureWhite(const plat::Pixels& pixels) {
    for (size_t i = 0; i + 3 < pixels.rgba.size(); i += 4) {
        const uint8_t* p = pixels.rgba.data() + i;
        if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] != 0) return true;
    }
    return false;
}

// Through the platform's atomic line writer (UTF-8 paths on every system); Tiled reads the CR LF
// line ends it writes as any XML reader does.
bool WriteTextAtomically(const std::string& path, const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return plat::WriteLinesAtomically(path, lines);
}

}  // namespace

std::string TiledMapText(const TiledMapDocument& document) {
    std::map<std::string, int> gidOf;  // type name -> gid (first of a repeated name)
    for (size_t id = 0; id < document.types.size(); ++id) {
        gidOf.emplace(document.types[id].name, static_cast<int>(id) + 1);
    }
    const int gridWidth = document.gridWidth > 0 ? document.gridWidth : kDefaultGrid;
    const int gridHeight = document.gridHeight > 0 ? document.gridHeight : kDefaultGrid;
    long long right = 0, bottom = 0;
    for (const BuilderMapRecord& record : document.records) {
        if (gidOf.find(record.tileName) == gidOf.end()) return "";
        right = std::max(right, Whole(record.x) + Whole(record.width));
        bottom = std::max(bottom, Whole(record.y) + Whole(record.height));
    }
    // Record numbers in layer order, map file order within a layer: one pass over each layer's run.
    std::vector<size_t> order(document.records.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&document](size_t a, size_t b) {
        return document.records[a].layer < document.records[b].layer;
    });
    size_t layerCount = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || document.records[order[i]].layer != document.records[order[i - 1]].layer) ++layerCount;
    }

    pugi::xml_document xml;
    pugi::xml_node declaration = xml.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node map = xml.append_child("map");
    map.append_attribute("version") = "1.8";
    map.append_attribute("tiledversion") = "1.8.2";
    map.append_attribute("orientation") = "orthogonal";
    map.append_attribute("renderorder") = "right-down";
    map.append_attribute("width") = CellsCovering(right, gridWidth);
    map.append_attribute("height") = CellsCovering(bottom, gridHeight);
    map.append_attribute("tilewidth") = gridWidth;
    map.append_attribute("tileheight") = gridHeight;
    map.append_attribute("infinite") = 0;
    map.append_attribute("nextlayerid") = static_cast<long long>(layerCount) + 1;
    map.append_attribute("nextobjectid") = static_cast<long long>(document.records.size()) + 1;
    AddProperty(map.append_child("properties"), kTiledExportProperty, "bool", "true");
    AppendTileset(map, document.types);

    // Layers in drawing order; within one, objects in map file order (draworder "index").
    pugi::xml_node group;
    long long groupId = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        const BuilderMapRecord& record = document.records[i];
        if (k == 0 || record.layer != document.records[order[k - 1]].layer) {
            group = map.append_child("objectgroup");
            group.append_attribute("id") = ++groupId;
            group.append_attribute("name") = ("layer " + std::to_string(record.layer)).c_str();
            group.append_attribute("draworder") = "index";
            AddProperty(group.append_child("properties"), kTiledLayerProperty, "int", std::to_string(record.layer));
        }
        pugi::xml_node object = group.append_child("object");
        object.append_attribute("id") = static_cast<long long>(i) + 1;
        object.append_attribute("gid") = gidOf[record.tileName];
        object.append_attribute("x") = Whole(record.x);
        object.append_attribute("y") = Whole(record.y) + Whole(record.height);  // Tiled's tile objects stand on their bottom edge
        object.append_attribute("width") = Whole(record.width);
        object.append_attribute("height") = Whole(record.height);
        AddProperty(object.append_child("properties"), kTiledLibraryIndexProperty, "int",
                    std::to_string(record.libraryIndex));
    }
    std::ostringstream out;
    xml.save(out, " ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

std::vector<std::string> TileDirectoryNames(const std::string& directory, const std::string& extension) {
    std::vector<std::string> names;
    for (const std::string& entry : plat::ListDirectory(directory, "*" + extension + "*")) {
        const std::string name = entry.substr(0, entry.find(extension));
        plat::TextFile descriptor = plat::OpenRead(directory + name + ".dll");
        if (!descriptor.Valid()) continue;
        plat::Close(descriptor);
        names.push_back(name);
    }
    return names;
}

std::string RelativePath(const std::string& from, const std::string& target) {
    const std::vector<std::string> base = PathParts(plat::AbsolutePath(from.empty() ? "." : from));
    const std::vector<std::string> goal = PathParts(plat::AbsolutePath(target));
    // Two drives ("C:" and "D:") or a ".." above the root: no relative path leads there.
    const auto drive = [](const std::vector<std::string>& parts) {
        return !parts.empty() && parts[0].size() == 2 && parts[0][1] == ':' ? parts[0] : std::string();
    };
    const bool aboveRoot = (!base.empty() && base[0] == "..") || (!goal.empty() && goal[0] == "..");
    if (drive(base) != drive(goal) || aboveRoot) {
        std::string absolute = plat::AbsolutePath(target);
        std::replace(absolute.begin(), absolute.end(), '\\', '/');
        return absolute;
    }
    size_t common = 0;
    while (common < base.size() && common < goal.size() && base[common] == goal[common]) ++common;
    std::string path;
    for (size_t i = common; i < base.size(); ++i) path += "../";
    for (size_t i = common; i < goal.size(); ++i) path += goal[i] + (i + 1 < goal.size() ? "/" : "");
    return path;
}

std::string TiledImageDirectory(const std::string& mapPath) {
    std::string stem = mapPath;
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".tmx") == 0) stem.resize(stem.size() - 4);
    return stem + "-images" + plat::PathSeparator();
}

TiledExportResult ExportTiledMap(const TiledExportWorld& world, const std::vector<std::string>& mapLines,
                                 const std::string& mapPath) {
    TiledExportResult result;
    TiledMapDocument document;
    document.gridWidth = document.gridHeight = world.gridSize > 0 ? world.gridSize : kDefaultGrid;
    document.records = ParseBuilderMap(mapLines).records;
    const std::string mapDirectory = DirectoryOf(mapPath);
    const std::string imageDirectory = TiledImageDirectory(mapPath);

    struct KeyedCopy {
        std::string path;
        plat::Pixels pixels;
    };
    std::vector<KeyedCopy> copies;
    for (const std::string& name : TileDirectoryNames(world.tileDirectory, world.graphicsExtension)) {
        TiledExportTile type;
        type.name = name;
        type.properties = DescriptorProperties(world.tileDirectory + name + ".dll");
        const std::string graphic = world.tileDirectory + name + world.graphicsExtension;
        plat::Pixels pixels;
        if (plat::DecodeImageFile(graphic, pixels)) {
            type.imageWidth = pixels.width;
            type.imageHeight = pixels.height;
            if (HoldsPureWhite(pixels)) {
                plat::MakeColourTransparent(pixels, 255, 255, 255);
                KeyedCopy copy{imageDirectory + name + ".png", std::move(pixels)};
                type.imageSource = RelativePath(mapDirectory, copy.path);
                copies.push_back(std::move(copy));
            } else {
                type.imageSource = RelativePath(mapDirectory, graphic);
            }
        } else {
            result.missingTypes.push_back(name);
        }
        document.types.push_back(std::move(type));
    }
    // Names the map holds that the library lacks keep their records as tiles without an image.
    std::set<std::string> known;
    for (const TiledExportTile& type : document.types) known.insert(type.name);
    for (const BuilderMapRecord& record : document.records) {
        if (!known.insert(record.tileName).second) continue;
        TiledExportTile type;
        type.name = record.tileName;
        document.types.push_back(type);
        result.missingTypes.push_back(record.tileName);
    }

    const std::string text = TiledMapText(document);
    if (text.empty()) {
        result.problem = "the map could not be put into TMX";
        return result;
    }
    // Nothing goes beside a map that cannot be written.
    const std::string directory = mapDirectory.empty() ? "." : mapDirectory;
    if (!plat::DirectoryExists(directory)) {
        result.problem = "cannot write " + mapPath + ": its directory does not exist";
        return result;
    }
    if (!copies.empty() && !plat::MakeDirectories(imageDirectory)) {
        result.problem = "cannot make the image directory " + imageDirectory;
        return result;
    }
    for (const KeyedCopy& copy : copies) {
        if (!plat::WritePngFile(copy.path, copy.pixels)) {
            result.problem = "cannot write the image " + copy.path;
            return result;
        }
    }
    if (!WriteTextAtomically(mapPath, text)) {
        result.problem = "cannot write " + mapPath;
        return result;
    }
    result.written = true;
    result.types = static_cast<int>(document.types.size());
    result.objects = static_cast<int>(document.records.size());
    std::set<int> layers;
    for (const BuilderMapRecord& record : document.records) layers.insert(record.layer);
    result.layers = static_cast<int>(layers.size());
    result.keyedCopies = static_cast<int>(copies.size());
    return result;
}

}  // namespace wf
