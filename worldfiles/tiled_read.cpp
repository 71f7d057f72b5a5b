// The TMX/TSX reader: tilesets cut into tile graphics, tile layers, tile objects and image layers
// turned into placements in Tiled's drawing order, spread over the engine's nine layers.
#include "worldfiles/tiled_read.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/tiled_decode.h"

namespace wf {
namespace {

constexpr uint32_t kFlipH = 0x80000000u;
constexpr uint32_t kFlipV = 0x40000000u;
constexpr uint32_t kFlipD = 0x20000000u;
constexpr uint32_t kGidMask = 0x0fffffffu;  // the top four bits are flags (the fourth: hexagons)
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr long long kMaxChunkCoordinate = 1LL << 24;

// --- paths and names -----------------------------------------------------------------------------
std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
}

std::string Resolve(const std::string& directory, const std::string& relative) {
    return IsAbsolute(relative) ? relative : directory + relative;
}

// The file name without its directory and its last extension.
std::string StemOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

// Tile names become file names: characters other than letters, digits, '_', '-' and '.' are '_'.
std::string SafeName(const std::string& text) {
    std::string name;
    for (unsigned char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '_' || c == '-' || c == '.';
        name.push_back(plain ? static_cast<char>(c) : '_');
    }
    if (name.empty() || name[0] == '.') name.insert(name.begin(), '_');
    return name;
}

// --- pixels --------------------------------------------------------------------------------------
plat::Pixels Cut(const plat::Pixels& sheet, int left, int top, int width, int height) {
    plat::Pixels cell;
    cell.width = width;
    cell.height = height;
    cell.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        const int sy = top + y;
        if (sy < 0 || sy >= sheet.height) continue;
        for (int x = 0; x < width; ++x) {
            const int sx = left + x;
            if (sx < 0 || sx >= sheet.width) continue;
            const size_t from = (static_cast<size_t>(sy) * sheet.width + sx) * 4;
            const size_t to = (static_cast<size_t>(y) * width + x) * 4;
            std::copy_n(sheet.rgba.begin() + static_cast<std::ptrdiff_t>(from), 4,
                        cell.rgba.begin() + static_cast<std::ptrdiff_t>(to));
        }
    }
    return cell;
}

bool WhollyTransparent(const plat::Pixels& pixels) {
    for (size_t i = 3; i < pixels.rgba.size(); i += 4) {
        if (pixels.rgba[i] != 0) return false;
    }
    return true;
}

}  // namespace

// Tiled's flags: the diagonal flip swaps the axes first, then the horizontal and vertical
// flips mirror the result.
plat::Pixels FlipTiledPixels(const plat::Pixels& in, bool horizontal, bool vertical, bool diagonal) {
    plat::Pixels out;
    out.width = diagonal ? in.height : in.width;
    out.height = diagonal ? in.width : in.height;
    out.rgba.resize(in.rgba.size());
    for (int sy = 0; sy < in.height; ++sy) {
        for (int sx = 0; sx < in.width; ++sx) {
            int dx = diagonal ? sy : sx;
            int dy = diagonal ? sx : sy;
            if (horizontal) dx = out.width - 1 - dx;
            if (vertical) dy = out.height - 1 - dy;
            const size_t from = (static_cast<size_t>(sy) * in.width + sx) * 4;
            const size_t to = (static_cast<size_t>(dy) * out.width + dx) * 4;
            std::copy_n(in.rgba.begin() + static_cast<std::ptrdiff_t>(from), 4,
                        out.rgba.begin() + static_cast<std::ptrdiff_t>(to));
        }
    }
    return out;
}

namespace {

// --- documents -----------------------------------------------------------------------------------
struct Document {
    std::string path;
    std::string text;
    pugi::xml_document xml;

    int LineAt(ptrdiff_t offset) const {
        if (offset < 0) return 0;
        const size_t end = std::min(text.size(), static_cast<size_t>(offset));
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
    }
    std::string Where(const pugi::xml_node& node) const {
        const int line = LineAt(node.offset_debug());
        return line > 0 ? path + ":" + std::to_string(line) : path;
    }
};

// Parses `doc.text`; no entity declarations are read (pugixml never expands them, and a file
// that declares them is refused rather than read with its references left as text).
bool ParseDocument(Document& doc, std::string& problem) {
    const pugi::xml_parse_result result =
        doc.xml.load_buffer(doc.text.data(), doc.text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!result) {
        problem = doc.path + ":" + std::to_string(doc.LineAt(result.offset)) + ": not a Tiled file (XML: " +
                  result.description() + ")";
        return false;
    }
    for (pugi::xml_node node = doc.xml.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_doctype && std::string(node.value()).find("ENTITY") != std::string::npos) {
            problem = doc.Where(node) + ": entity declarations are not read; the file is refused";
            return false;
        }
    }
    return true;
}

bool LoadDocument(const std::string& path, Document& doc, std::string& problem) {
    doc.path = path;
    std::string bytes;
    if (!tiled::ReadFileBytes(path, bytes, kMaxFileBytes)) {
        problem = path + ": cannot be read (missing, or larger than 64 MiB)";
        return false;
    }
    if (tiled::IsGzip(bytes)) {
        if (tiled::InflateZlib(bytes, kMaxFileBytes, doc.text) != tiled::Inflated::kOk) {
            problem = path + ": the gzip file does not decompress (or is larger than 64 MiB)";
            return false;
        }
    } else {
        doc.text = std::move(bytes);
    }
    return ParseDocument(doc, problem);
}

// An integer attribute; false (with the problem) when present but not a whole number in range.
bool IntAttribute(const Document& doc, const pugi::xml_node& node, const char* name, int fallback, int low,
                  int high, int& value, std::string& problem) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        value = fallback;
        return true;
    }
    const std::string text = attribute.value();
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0' || parsed < low || parsed > high) {
        problem = doc.Where(node) + ": " + name + "=\"" + text + "\" is not a number from " + std::to_string(low) +
                  " to " + std::to_string(high);
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

double NumberAttribute(const pugi::xml_node& node, const char* name, double fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    const double value = attribute.as_double(fallback);
    return std::isfinite(value) ? value : fallback;
}

// The properties of a node whose names are descriptor keys, in file order (a later one wins).
std::vector<DescriptorRow> DescriptorProperties(const pugi::xml_node& node) {
    std::vector<DescriptorRow> rows;
    for (pugi::xml_node property : node.child("properties").children("property")) {
        const std::string name = property.attribute("name").value();
        if (!IsKnownDescriptorKey(name)) continue;
        const std::string value =
            property.attribute("value") ? property.attribute("value").value() : property.text().get();
        rows.emplace_back(name, value);
    }
    return rows;
}

std::string PropertyValue(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node property : node.child("properties").children("property")) {
        if (std::string(property.attribute("name").value()) == name) return property.attribute("value").value();
    }
    return "";
}

// Later rows override earlier ones with the same key; the first position of a key is kept.
void Merge(std::vector<DescriptorRow>& rows, const std::vector<DescriptorRow>& over) {
    for (const DescriptorRow& row : over) {
        auto found = std::find_if(rows.begin(), rows.end(), [&](const DescriptorRow& r) { return r.first == row.first; });
        if (found == rows.end()) {
            rows.push_back(row);
        } else {
            found->second = row.second;
        }
    }
}

// --- tilesets ------------------------------------------------------------------------------------
struct TileInfo {
    bool present = false;
    bool noGraphic = false;        // an exported type the exporting world had no graphic for
    plat::Pixels pixels;           // the tile's own graphic
    std::string imageStem;         // image collections: the image's file name without extension
    int propertySet = 0;           // index into the reader's property sets
    std::vector<std::pair<int, int>> frames;  // animation: local tile id, milliseconds
    std::string baseName;
};

struct Tileset {
    int firstGid = 1;
    std::string name;
    std::string where;            // the file and line of its <tileset>, for messages
    int tileWidth = 0, tileHeight = 0;
    int offsetX = 0, offsetY = 0;
    bool collection = false;
    std::string alignment;        // objectalignment
    std::map<int, TileInfo> tiles;  // by local id; a sheet has every cell present
};

bool LoadImage(const std::string& where, const std::string& directory, const pugi::xml_node& image,
               plat::Pixels& pixels, std::string& file, std::string& problem) {
    const std::string source = image.attribute("source").value();
    if (source.empty()) {
        problem = where + ": an image without a source (embedded image data is not read)";
        return false;
    }
    file = Resolve(directory, source);
    if (!plat::DecodeImageFile(file, pixels)) {
        problem = where + ": the image '" + file + "' is missing or does not decode";
        return false;
    }
    const std::string trans = image.attribute("trans").value();
    if (!trans.empty()) {
        const std::string hex = trans[0] == '#' ? trans.substr(1) : trans;
        char* end = nullptr;
        const unsigned long colour = std::strtoul(hex.c_str(), &end, 16);
        if (hex.size() == 6 && end != nullptr && *end == '\0') {
            plat::MakeColourTransparent(pixels, static_cast<int>((colour >> 16) & 0xff),
                                        static_cast<int>((colour >> 8) & 0xff), static_cast<int>(colour & 0xff));
        }
    }
    return true;
}

struct SheetGeometry {
    int tileWidth = 0, tileHeight = 0, margin = 0, spacing = 0, columns = 0, tileCount = 0;
};

bool ReadSheetGeometry(const Document& doc, const pugi::xml_node& node, SheetGeometry& g, std::string& problem) {
    return IntAttribute(doc, node, "tilewidth", 0, 1, 4096, g.tileWidth, problem) &&
           IntAttribute(doc, node, "tileheight", 0, 1, 4096, g.tileHeight, problem) &&
           IntAttribute(doc, node, "margin", 0, 0, 4096, g.margin, problem) &&
           IntAttribute(doc, node, "spacing", 0, 0, 4096, g.spacing, problem) &&
           IntAttribute(doc, node, "columns", 0, 0, 1 << 20, g.columns, problem) &&
           IntAttribute(doc, node, "tilecount", 0, 0, 1 << 30, g.tileCount, problem);
}

// --- the reader ----------------------------------------------------------------------------------
struct TypeKey {
    int tileset;
    int id;
    uint32_t flips;
    int alpha;
    int propertySet;
    bool operator==(const TypeKey& o) const {
        return tileset == o.tileset && id == o.id && flips == o.flips && alpha == o.alpha && propertySet == o.propertySet;
    }
};
struct TypeKeyHash {
    size_t operator()(const TypeKey& k) const {
        size_t h = static_cast<size_t>(k.tileset) * 1000003u ^ static_cast<size_t>(k.id);
        h = h * 31 + k.flips;
        h = h * 31 + static_cast<size_t>(k.alpha);
        return h * 31 + static_cast<size_t>(k.propertySet);
    }
};

// A placement before layers are assigned, in Tiled's pixel coordinates.
struct Pending {
    size_t type;
    long long x, y;
    int width, height;
    long long order;  // object id for maps written by our exporter
    int libraryIndex = -1;  // taskoLibraryIndex of an exported map's object
};

struct Slot {
    std::vector<Pending> tiles;
    bool hasFixedLayer = false;  // an exported map's object layer: its taskoLayer, as it is
    int fixedLayer = 0;
};

struct LayerContext {
    long long offsetX = 0, offsetY = 0;
    double opacity = 1.0;
    std::vector<DescriptorRow> properties;
};

class Reader {
public:
    Reader(TiledMap& map, std::string& problem) : map_(map), problem_(problem) {
        propertySets_.emplace_back();
        propertySetIds_[{}] = 0;
    }

    bool Read(Document& doc);

private:
    TiledMap& map_;
    std::string& problem_;
    std::string mapDirectory_;
    std::vector<std::unique_ptr<Tileset>> tilesets_;
    std::vector<std::vector<DescriptorRow>> propertySets_;
    std::map<std::vector<DescriptorRow>, int> propertySetIds_;
    std::map<std::pair<int, int>, int> mergedSets_;
    std::unordered_map<TypeKey, size_t, TypeKeyHash> typeIndex_;
    std::unordered_map<std::string, size_t> typeByName_;
    std::vector<Slot> slots_;
    size_t placementCount_ = 0;
    int mapTileWidth_ = 0, mapTileHeight_ = 0;
    bool exported_ = false;
    bool infinite_ = false;
    bool haveBounds_ = false;
    long long minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;  // infinite maps: cells
    bool haveStart_ = false;
    long long startX_ = 0, startY_ = 0;

    void Note(const std::string& line) {
        if (std::find(map_.notes.begin(), map_.notes.end(), line) == map_.notes.end()) map_.notes.push_back(line);
    }

    int PropertySet(const std::vector<DescriptorRow>& rows) {
        auto found = propertySetIds_.find(rows);
        if (found != propertySetIds_.end()) return found->second;
        const int id = static_cast<int>(propertySets_.size());
        propertySets_.push_back(rows);
        propertySetIds_[rows] = id;
        return id;
    }
    int MergedSet(int tileSet, int layerSet) {
        if (layerSet == 0) return tileSet;
        auto found = mergedSets_.find({tileSet, layerSet});
        if (found != mergedSets_.end()) return found->second;
        std::vector<DescriptorRow> rows = propertySets_[static_cast<size_t>(tileSet)];
        Merge(rows, propertySets_[static_cast<size_t>(layerSet)]);
        const int id = PropertySet(rows);
        mergedSets_[{tileSet, layerSet}] = id;
        return id;
    }

    bool ReadTileset(const Document& mapDoc, const pugi::xml_node& reference);
    bool FillTileset(const Document& doc, const pugi::xml_node& node, const std::string& directory, Tileset& set);
    bool AddType(TiledTileType type, size_t& index);
    bool BaseTypes(Tileset& set, int setIndex);
    bool TypeFor(const Document& doc, const pugi::xml_node& where, uint32_t gid, int alpha, int layerSet,
                 size_t& index, int& width, int& height, const Tileset*& set);
    bool Layers(const Document& doc, const pugi::xml_node& parent, const LayerContext& context);
    bool TileLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& context);
    bool ObjectLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& context);
    bool ImageLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& context);
    void FindStart(const pugi::xml_node& node, const LayerContext& context);
    bool DecodeData(const Document& doc, const pugi::xml_node& holder, const std::string& encoding,
                    const std::string& compression, size_t cells, std::vector<uint32_t>& gids);
    bool Place(Slot& slot, const Pending& pending, const Document& doc, const pugi::xml_node& where);
    void Finish();
};

bool Reader::AddType(TiledTileType type, size_t& index) {
    if (map_.types.size() >= kTiledMaxTileTypes) {
        problem_ = "more than " + std::to_string(kTiledMaxTileTypes) + " tile types";
        return false;
    }
    index = map_.types.size();
    typeByName_[type.name] = index;
    map_.types.push_back(std::move(type));
    return true;
}

bool Reader::FillTileset(const Document& doc, const pugi::xml_node& node, const std::string& directory, Tileset& set) {
    set.where = doc.Where(node);
    set.name = node.attribute("name").value();
    set.alignment = node.attribute("objectalignment").value();
    SheetGeometry g;
    if (!ReadSheetGeometry(doc, node, g, problem_)) return false;
    set.tileWidth = g.tileWidth;
    set.tileHeight = g.tileHeight;
    if (pugi::xml_node offset = node.child("tileoffset")) {
        if (!IntAttribute(doc, offset, "x", 0, -(1 << 20), 1 << 20, set.offsetX, problem_) ||
            !IntAttribute(doc, offset, "y", 0, -(1 << 20), 1 << 20, set.offsetY, problem_)) {
            return false;
        }
    }
    const pugi::xml_node image = node.child("image");
    set.collection = !image;
    if (!set.collection) {
        plat::Pixels sheet;
        std::string file;
        if (!LoadImage(doc.Where(image), directory, image, sheet, file, problem_)) return false;
        if (g.tileWidth <= 0 || g.tileHeight <= 0) {
            problem_ = set.where + ": a tileset without a tile size";
            return false;
        }
        // As Tiled does, the cells are counted from the picture itself.
        const int columns = std::max(0, (sheet.width - 2 * g.margin + g.spacing) / (g.tileWidth + g.spacing));
        const int rows = std::max(0, (sheet.height - 2 * g.margin + g.spacing) / (g.tileHeight + g.spacing));
        if (static_cast<long long>(columns) * rows > static_cast<long long>(kTiledMaxTileTypes)) {
            problem_ = set.where + ": the sheet holds more than " + std::to_string(kTiledMaxTileTypes) + " tiles";
            return false;
        }
        const std::string stem = SafeName(StemOf(file));
        for (int id = 0; id < columns * rows; ++id) {
            TileInfo& tile = set.tiles[id];
            tile.present = true;
            tile.pixels = Cut(sheet, g.margin + (id % columns) * (g.tileWidth + g.spacing),
                              g.margin + (id / columns) * (g.tileHeight + g.spacing), g.tileWidth, g.tileHeight);
            tile.baseName = stem + "_" + std::to_string(id);
        }
    }
    for (pugi::xml_node child : node.children("tile")) {
        int id = 0;
        if (!IntAttribute(doc, child, "id", -1, 0, kGidMask, id, problem_)) return false;
        if (id < 0) {
            problem_ = doc.Where(child) + ": a tile without an id";
            return false;
        }
        if (!set.collection && set.tiles.find(id) == set.tiles.end()) continue;  // beyond the sheet
        TileInfo& tile = set.tiles[id];
        if (set.collection) {
            const pugi::xml_node tileImage = child.child("image");
            // Our exporter writes a type without graphic as a tile without image (Tiled, re-saving,
            // gives it an empty embedded one) that keeps its name in taskoName.
            const std::string keptName = exported_ ? PropertyValue(child, "taskoName") : "";
            if (!keptName.empty() && (!tileImage || !tileImage.attribute("source"))) {
                tile.present = true;
                tile.noGraphic = true;
                tile.imageStem = SafeName(keptName);
                tile.propertySet = PropertySet(DescriptorProperties(child));
                continue;
            }
            if (!tileImage) continue;
            std::string file;
            if (!LoadImage(doc.Where(tileImage), directory, tileImage, tile.pixels, file, problem_)) return false;
            tile.present = true;
            tile.imageStem = SafeName(StemOf(file));
        }
        tile.propertySet = PropertySet(DescriptorProperties(child));
        for (pugi::xml_node frame : child.child("animation").children("frame")) {
            int frameId = 0, duration = 0;
            if (!IntAttribute(doc, frame, "tileid", 0, 0, kGidMask, frameId, problem_) ||
                !IntAttribute(doc, frame, "duration", 0, 0, 1 << 30, duration, problem_)) {
                return false;
            }
            tile.frames.emplace_back(frameId, duration);
        }
        if (child.child("objectgroup")) Note("collision shapes of tiles: left out (use worldFTileCollision)");
    }
    if (set.collection) {
        std::map<std::string, int> stems;
        for (auto& [id, tile] : set.tiles) {
            if (tile.present) ++stems[tile.imageStem];
        }
        for (auto& [id, tile] : set.tiles) {
            if (!tile.present) continue;
            tile.baseName = stems[tile.imageStem] == 1 ? tile.imageStem : SafeName(set.name) + "_" + std::to_string(id);
        }
    }
    if (node.child("wangsets") || node.child("terraintypes")) Note("terrain and Wang sets: left out (editing aids)");
    return true;
}

bool Reader::ReadTileset(const Document& mapDoc, const pugi::xml_node& reference) {
    auto set = std::make_unique<Tileset>();
    if (!IntAttribute(mapDoc, reference, "firstgid", 1, 1, kGidMask, set->firstGid, problem_)) return false;
    const std::string source = reference.attribute("source").value();
    bool ok = false;
    if (source.empty()) {
        ok = FillTileset(mapDoc, reference, mapDirectory_, *set);
    } else {
        Document tsx;
        const std::string path = Resolve(mapDirectory_, source);
        if (!plat::FileExists(path)) {
            problem_ = mapDoc.Where(reference) + ": the tileset '" + path + "' is missing";
            return false;
        }
        if (!LoadDocument(path, tsx, problem_)) return false;
        const pugi::xml_node root = tsx.xml.child("tileset");
        if (!root) {
            problem_ = path + ": not a Tiled tileset (no <tileset> element)";
            return false;
        }
        ok = FillTileset(tsx, root, DirectoryOf(path), *set);
    }
    if (!ok) return false;
    const int index = static_cast<int>(tilesets_.size());
    tilesets_.push_back(std::move(set));
    return BaseTypes(*tilesets_.back(), index);
}

// Every non-empty tile of a tileset becomes a type under its own name (an animated one shows its
// first frame, as Tiled's still pictures do).
bool Reader::BaseTypes(Tileset& set, int setIndex) {
    for (auto& [id, tile] : set.tiles) {
        if (!tile.present) continue;
        TiledTileType type;
        type.pixels = tile.pixels;
        for (const auto& [frameId, duration] : tile.frames) {
            auto frame = set.tiles.find(frameId);
            if (frame == set.tiles.end() || !frame->second.present) continue;
            type.animation.push_back({frame->second.pixels, duration});
        }
        if (!type.animation.empty()) {
            type.pixels = type.animation.front().pixels;
            Note("tile animations: a standing tile shows the first frame (the engine animates moving objects only)");
        }
        if (tile.noGraphic) {
            type.hasGraphic = false;
        } else if (WhollyTransparent(type.pixels)) {
            continue;
        }
        type.name = tile.baseName;
        if (typeByName_.count(type.name)) {
            const TiledTileType& other = map_.types[typeByName_[type.name]];
            if (other.pixels.rgba == type.pixels.rgba && other.pixels.width == type.pixels.width) {
                typeIndex_[{setIndex, id, 0, 255, tile.propertySet}] = typeByName_[type.name];
                continue;
            }
            type.name = SafeName(set.name) + "_" + std::to_string(id);
            while (typeByName_.count(type.name)) type.name += "_";
            tile.baseName = type.name;
        }
        type.descriptor = propertySets_[static_cast<size_t>(tile.propertySet)];
        size_t index = 0;
        if (!AddType(std::move(type), index)) return false;
        typeIndex_[{setIndex, id, 0, 255, tile.propertySet}] = index;
    }
    return true;
}

bool Reader::TypeFor(const Document& doc, const pugi::xml_node& where, uint32_t gid, int alpha, int layerSet,
                     size_t& index, int& width, int& height, const Tileset*& found) {
    const uint32_t flips = gid & (kFlipH | kFlipV | kFlipD);
    const uint32_t bare = gid & kGidMask;
    int setIndex = -1;
    for (size_t i = 0; i < tilesets_.size(); ++i) {
        if (static_cast<uint32_t>(tilesets_[i]->firstGid) <= bare &&
            (setIndex < 0 || tilesets_[i]->firstGid > tilesets_[static_cast<size_t>(setIndex)]->firstGid)) {
            setIndex = static_cast<int>(i);
        }
    }
    const Tileset* set = setIndex < 0 ? nullptr : tilesets_[static_cast<size_t>(setIndex)].get();
    const int id = set ? static_cast<int>(bare - static_cast<uint32_t>(set->firstGid)) : -1;
    auto tile = set ? set->tiles.find(id) : std::map<int, TileInfo>::const_iterator();
    if (!set || tile == set->tiles.end() || !tile->second.present) {
        problem_ = doc.Where(where) + ": the tile id " + std::to_string(bare) + " is beyond every tileset";
        return false;
    }
    found = set;
    const TileInfo& info = tile->second;
    const int propertySet = MergedSet(info.propertySet, layerSet);
    const TypeKey key{setIndex, id, flips, alpha, propertySet};
    const bool diagonal = flips & kFlipD;
    const plat::Pixels* first = &info.pixels;
    if (!info.frames.empty()) {
        auto frame = set->tiles.find(info.frames.front().first);
        if (frame != set->tiles.end() && frame->second.present) first = &frame->second.pixels;
    }
    width = diagonal ? first->height : first->width;
    height = diagonal ? first->width : first->height;
    auto known = typeIndex_.find(key);
    if (known != typeIndex_.end()) {
        index = known->second;
        return true;
    }
    // A variant: its own type with the flipped graphic, the layer's opacity and properties.
    TiledTileType type;
    type.name = info.baseName;
    if (flips) {
        type.name += "_f";
        if (flips & kFlipH) type.name += "h";
        if (flips & kFlipV) type.name += "v";
        if (diagonal) type.name += "d";
    }
    if (alpha != 255) type.name += "_a" + std::to_string(alpha);
    if (propertySet != info.propertySet) type.name += "_p" + std::to_string(propertySet);
    while (typeByName_.count(type.name)) type.name += "_";
    auto flip = [&](const plat::Pixels& p) { return FlipTiledPixels(p, flips & kFlipH, flips & kFlipV, diagonal); };
    type.pixels = flips ? flip(*first) : *first;
    for (const auto& [frameId, duration] : info.frames) {
        auto frame = set->tiles.find(frameId);
        if (frame == set->tiles.end() || !frame->second.present) continue;
        type.animation.push_back({flips ? flip(frame->second.pixels) : frame->second.pixels, duration});
    }
    type.descriptor = propertySets_[static_cast<size_t>(propertySet)];
    if (alpha != 255) {
        double base = 255;
        for (const DescriptorRow& row : type.descriptor) {
            if (row.first == "worldFTileTransparency") base = ParseFloat(row.second);
        }
        Merge(type.descriptor, {{"worldFTileTransparency", IntText(RoundToInt(static_cast<float>(base * alpha / 255.0)))}});
    }
    if (!AddType(std::move(type), index)) return false;
    typeIndex_[key] = index;
    return true;
}

bool Reader::Place(Slot& slot, const Pending& pending, const Document& doc, const pugi::xml_node& where) {
    if (++placementCount_ > kTiledMaxPlacements) {
        problem_ = doc.Where(where) + ": more than " + std::to_string(kTiledMaxPlacements) + " placed tiles";
        return false;
    }
    slot.tiles.push_back(pending);
    return true;
}

bool Reader::DecodeData(const Document& doc, const pugi::xml_node& holder, const std::string& encoding,
                        const std::string& compression, size_t cells, std::vector<uint32_t>& gids) {
    const std::string where = doc.Where(holder);
    if (encoding.empty()) {
        if (!compression.empty()) {
            problem_ = where + ": compression '" + compression + "' without an encoding";
            return false;
        }
        gids.clear();
        for (pugi::xml_node tile : holder.children("tile")) {
            if (gids.size() > cells) break;
            gids.push_back(static_cast<uint32_t>(tile.attribute("gid").as_ullong(0) & 0xffffffffu));
        }
    } else if (encoding == "csv") {
        if (!compression.empty()) {
            problem_ = where + ": compression '" + compression + "' with CSV data";
            return false;
        }
        if (!tiled::ParseCsvGids(holder.text().get(), cells + 1, gids)) {
            problem_ = where + ": the CSV tile data does not read as tile ids";
            return false;
        }
    } else if (encoding == "base64") {
        std::string bytes;
        if (!tiled::DecodeBase64(holder.text().get(), bytes)) {
            problem_ = where + ": the base64 tile data does not decode";
            return false;
        }
        const size_t limit = cells * 4 + 4;
        if (compression == "zlib" || compression == "gzip" || compression == "zstd") {
            if (compression == "zstd" && !tiled::HaveZstd()) {
                problem_ = where + ": zstd-compressed layers cannot be read by this build";
                return false;
            }
            std::string raw;
            const tiled::Inflated result = compression == "zstd" ? tiled::InflateZstd(bytes, limit, raw)
                                                                 : tiled::InflateZlib(bytes, limit, raw);
            if (result == tiled::Inflated::kCorrupt) {
                problem_ = where + ": the " + compression + "-compressed tile data does not decompress";
                return false;
            }
            if (result == tiled::Inflated::kTooLong) raw.resize(limit);
            bytes = std::move(raw);
        } else if (!compression.empty()) {
            problem_ = where + ": unknown compression '" + compression + "'";
            return false;
        } else if (bytes.size() > limit) {
            bytes.resize(limit);
        }
        if (bytes.size() % 4 != 0 && bytes.size() < cells * 4) {
            problem_ = where + ": the tile data is not a whole number of tile ids";
            return false;
        }
        gids = tiled::GidsFromBytes(bytes);
    } else {
        problem_ = where + ": unknown encoding '" + encoding + "'";
        return false;
    }
    if (gids.size() != cells) {
        problem_ = where + ": the tile data is " + (gids.size() < cells ? "shorter" : "longer") +
                   " than the layer (" + (gids.size() > cells ? "more than " : "") + std::to_string(gids.size()) +
                   " tiles for " + std::to_string(cells) + ")";
        return false;
    }
    return true;
}

LayerContext Inner(const LayerContext& outer, const pugi::xml_node& node) {
    LayerContext inner = outer;
    inner.offsetX += static_cast<long long>(std::llround(NumberAttribute(node, "offsetx", 0)));
    inner.offsetY += static_cast<long long>(std::llround(NumberAttribute(node, "offsety", 0)));
    inner.opacity *= std::clamp(NumberAttribute(node, "opacity", 1.0), 0.0, 1.0);
    Merge(inner.properties, DescriptorProperties(node));
    return inner;
}

// Qt's nearest-pixel drawing rounds a fractional position half up (688.5 draws from 689).
long long PixelEdge(double edge) { return -static_cast<long long>(RoundUp(static_cast<float>(-(edge + 0.5)))); }

int AlphaOf(double opacity) { return std::clamp(RoundToInt(static_cast<float>(opacity * 255.0)), 0, 255); }

bool Hidden(const pugi::xml_node& node) { return std::string(node.attribute("visible").value()) == "0"; }

bool Reader::TileLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& outer) {
    const LayerContext context = Inner(outer, node);
    const pugi::xml_node data = node.child("data");
    if (!data) {
        problem_ = doc.Where(node) + ": a tile layer without data";
        return false;
    }
    const std::string encoding = data.attribute("encoding").value();
    const std::string compression = data.attribute("compression").value();
    // The layer's cells, as one region of Tiled cell coordinates.
    long long left = 0, top = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> grid;
    if (!infinite_) {
        if (!IntAttribute(doc, node, "width", 0, 0, kTiledMaxMapSide, width, problem_) ||
            !IntAttribute(doc, node, "height", 0, 0, kTiledMaxMapSide, height, problem_)) {
            return false;
        }
        if (static_cast<long long>(width) * height > kTiledMaxCellsPerLayer) {
            problem_ = doc.Where(node) + ": the layer is larger than " + std::to_string(kTiledMaxCellsPerLayer) + " cells";
            return false;
        }
        if (!DecodeData(doc, data, encoding, compression, static_cast<size_t>(width) * height, grid)) return false;
    } else {
        struct Chunk {
            pugi::xml_node node;
            long long x, y;
            int w, h;
        };
        std::vector<Chunk> chunks;
        long long x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        for (pugi::xml_node chunk : data.children("chunk")) {
            int cx = 0, cy = 0, cw = 0, ch = 0;
            const int far = static_cast<int>(kMaxChunkCoordinate);
            if (!IntAttribute(doc, chunk, "x", 0, -far, far, cx, problem_) ||
                !IntAttribute(doc, chunk, "y", 0, -far, far, cy, problem_) ||
                !IntAttribute(doc, chunk, "width", 0, 1, kTiledMaxMapSide, cw, problem_) ||
                !IntAttribute(doc, chunk, "height", 0, 1, kTiledMaxMapSide, ch, problem_)) {
                problem_ = "a chunk outside reason: " + problem_;
                return false;
            }
            if (chunks.empty()) {
                x0 = cx, y0 = cy, x1 = cx + cw, y1 = cy + ch;
            } else {
                x0 = std::min<long long>(x0, cx), y0 = std::min<long long>(y0, cy);
                x1 = std::max<long long>(x1, cx + cw), y1 = std::max<long long>(y1, cy + ch);
            }
            chunks.push_back({chunk, cx, cy, cw, ch});
        }
        if (!chunks.empty()) {
            if (x1 - x0 > kTiledMaxMapSide || y1 - y0 > kTiledMaxMapSide || (x1 - x0) * (y1 - y0) > kTiledMaxCellsPerLayer) {
                problem_ = doc.Where(node) + ": a chunk outside reason (the layer's chunks span " +
                           std::to_string(x1 - x0) + " x " + std::to_string(y1 - y0) + " cells)";
                return false;
            }
            left = x0, top = y0;
            width = static_cast<int>(x1 - x0), height = static_cast<int>(y1 - y0);
            grid.assign(static_cast<size_t>(width) * height, 0);
            for (const Chunk& chunk : chunks) {
                std::vector<uint32_t> cells;
                if (!DecodeData(doc, chunk.node, encoding, compression, static_cast<size_t>(chunk.w) * chunk.h, cells)) {
                    return false;
                }
                for (int y = 0; y < chunk.h; ++y) {
                    for (int x = 0; x < chunk.w; ++x) {
                        const uint32_t gid = cells[static_cast<size_t>(y) * chunk.w + x];
                        if (gid != 0) grid[static_cast<size_t>(chunk.y - top + y) * width + (chunk.x - left + x)] = gid;
                    }
                }
            }
            if (!haveBounds_) {
                minX_ = x0, minY_ = y0, maxX_ = x1, maxY_ = y1;
                haveBounds_ = true;
            } else {
                minX_ = std::min(minX_, x0), minY_ = std::min(minY_, y0);
                maxX_ = std::max(maxX_, x1), maxY_ = std::max(maxY_, y1);
            }
        }
    }
    const int alpha = AlphaOf(context.opacity);
    const int layerSet = PropertySet(context.properties);
    slots_.emplace_back();
    Slot& slot = slots_.back();
    // Tiled's render orders: which corner the rows and columns start from.
    const std::string order = doc.xml.child("map").attribute("renderorder").value();
    const bool up = order == "right-up" || order == "left-up";
    const bool leftward = order == "left-down" || order == "left-up";
    for (int row = 0; row < height; ++row) {
        const int cy = up ? height - 1 - row : row;
        for (int column = 0; column < width; ++column) {
            const int cx = leftward ? width - 1 - column : column;
            const uint32_t gid = grid[static_cast<size_t>(cy) * width + cx];
            if ((gid & kGidMask) == 0) continue;
            size_t type = 0;
            int w = 0, h = 0;
            const Tileset* set = nullptr;
            if (!TypeFor(doc, data, gid, alpha, layerSet, type, w, h, set)) return false;
            // Bottom-left on the cell's bottom-left; a diagonally flipped tile of another shape
            // keeps its bottom and is centred across its unflipped width, as Tiled draws it.
            long long x = (left + cx) * mapTileWidth_ + set->offsetX + context.offsetX;
            const long long y = (top + cy + 1) * mapTileHeight_ - h + set->offsetY + context.offsetY;
            if (gid & kFlipD) x += (h - w) / 2;
            if (!Place(slot, {type, x, y, w, h, 0}, doc, data)) return false;
        }
    }
    return true;
}

// The first object named MAPSTART marks where the view starts (a tile object by its top-left).
void Reader::FindStart(const pugi::xml_node& node, const LayerContext& context) {
    if (haveStart_) return;
    for (pugi::xml_node object : node.children("object")) {
        if (std::string(object.attribute("name").value()) != "MAPSTART") continue;
        haveStart_ = true;
        double sx = NumberAttribute(object, "x", 0), sy = NumberAttribute(object, "y", 0);
        if (object.attribute("gid")) sy -= NumberAttribute(object, "height", 0);
        startX_ = PixelEdge(sx) + context.offsetX;
        startY_ = PixelEdge(sy) + context.offsetY;
        return;
    }
}

bool Reader::ObjectLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& outer) {
    const LayerContext context = Inner(outer, node);
    const int alpha = AlphaOf(context.opacity);
    slots_.emplace_back();
    const size_t slotIndex = slots_.size() - 1;
    if (exported_) {
        const std::string layer = PropertyValue(node, "taskoLayer");
        if (!layer.empty()) {
            slots_[slotIndex].hasFixedLayer = true;
            slots_[slotIndex].fixedLayer = ParseInt(layer);
        }
    }
    struct Item {
        pugi::xml_node node;
        double y;
        long long id;
    };
    std::vector<Item> items;
    FindStart(node, context);
    for (pugi::xml_node object : node.children("object")) {
        if (Hidden(object)) continue;
        if (!object.attribute("gid")) {
            if (!object.attribute("template") && !object.child("text")) continue;
            Note("shapes, text and template objects of object layers: left out");
            continue;
        }
        items.push_back({object, NumberAttribute(object, "y", 0), object.attribute("id").as_llong(0)});
    }
    if (std::string(node.attribute("draworder").value()) != "index" && !exported_) {
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.y < b.y; });
    }
    for (const Item& item : items) {
        const pugi::xml_node object = item.node;
        const uint32_t gid = static_cast<uint32_t>(object.attribute("gid").as_ullong(0) & 0xffffffffu);
        if ((gid & kGidMask) == 0) continue;
        const int layerSet = PropertySet([&] {
            std::vector<DescriptorRow> rows = context.properties;
            Merge(rows, DescriptorProperties(object));
            return rows;
        }());
        size_t type = 0;
        int w = 0, h = 0;
        const Tileset* set = nullptr;
        if (!TypeFor(doc, object, gid & ~kFlipD, alpha, layerSet, type, w, h, set)) return false;
        const double fw = NumberAttribute(object, "width", w), fh = NumberAttribute(object, "height", h);
        double x = NumberAttribute(object, "x", 0), y = NumberAttribute(object, "y", 0);
        const std::string& a = set->alignment;
        if (a == "top" || a == "center" || a == "bottom") x -= fw / 2;
        if (a == "topright" || a == "right" || a == "bottomright") x -= fw;
        if (a == "left" || a == "center" || a == "right") {
            y -= fh / 2;
        } else if (a != "topleft" && a != "top" && a != "topright") {
            y -= fh;  // bottom-left, Tiled's rule for orthogonal maps
        }
        if (NumberAttribute(object, "rotation", 0) != 0) Note("rotated tile objects: placed unrotated");
        const double scaleX = w > 0 ? fw / w : 1, scaleY = h > 0 ? fh / h : 1;
        x += set->offsetX * scaleX;
        y += set->offsetY * scaleY;
        constexpr double kFar = 1 << 24;
        if (std::abs(x) > kFar || std::abs(y) > kFar || fw < 0 || fh < 0 || fw > kFar || fh > kFar) {
            problem_ = doc.Where(object) + ": a tile object of impossible size or far outside the map";
            return false;
        }
        // Fractional edges land where Tiled's nearest-pixel drawing puts them.
        const long long left = PixelEdge(x), top = PixelEdge(y);
        const int width = static_cast<int>(PixelEdge(x + fw) - left), height = static_cast<int>(PixelEdge(y + fh) - top);
        const long long px = left + context.offsetX, py = top + context.offsetY;
        Pending pending{type, px, py, width, height, item.id};
        const std::string libraryIndex = exported_ ? PropertyValue(object, "taskoLibraryIndex") : "";
        if (!libraryIndex.empty()) pending.libraryIndex = ParseInt(libraryIndex);
        if (!Place(slots_[slotIndex], pending, doc, object)) return false;
    }
    return true;
}

bool Reader::ImageLayer(const Document& doc, const pugi::xml_node& node, const LayerContext& outer) {
    const LayerContext context = Inner(outer, node);
    const pugi::xml_node image = node.child("image");
    if (!image || !image.attribute("source")) return true;
    TiledTileType type;
    std::string file;
    if (!LoadImage(doc.Where(image), mapDirectory_, image, type.pixels, file, problem_)) return false;
    if (node.attribute("repeatx").as_int(0) || node.attribute("repeaty").as_int(0)) {
        Note("repeated image layers: drawn once");
    }
    type.name = SafeName(StemOf(file));
    const int alpha = AlphaOf(context.opacity);
    if (alpha != 255) type.name += "_a" + std::to_string(alpha);
    type.descriptor = context.properties;
    if (alpha != 255) Merge(type.descriptor, {{"worldFTileTransparency", IntText(alpha)}});
    size_t index = 0;
    auto known = typeByName_.find(type.name);
    if (known != typeByName_.end() && map_.types[known->second].pixels.rgba == type.pixels.rgba &&
        map_.types[known->second].descriptor == type.descriptor) {
        index = known->second;
    } else {
        while (typeByName_.count(type.name)) type.name += "_";
        if (!AddType(std::move(type), index)) return false;
    }
    slots_.emplace_back();
    const plat::Pixels& pixels = map_.types[index].pixels;
    return Place(slots_.back(), {index, context.offsetX, context.offsetY, pixels.width, pixels.height, 0}, doc, node);
}

bool Reader::Layers(const Document& doc, const pugi::xml_node& parent, const LayerContext& context) {
    for (pugi::xml_node node : parent.children()) {
        const std::string name = node.name();
        if (name != "layer" && name != "objectgroup" && name != "imagelayer" && name != "group") continue;
        if (node.attribute("tintcolor")) Note("layer tint colours: left out (drawn untinted)");
        if (node.attribute("parallaxx") || node.attribute("parallaxy")) {
            Note("parallax factors: left out (the view scrolls all layers alike)");
        }
        if (Hidden(node)) {
            // Hidden layers are left out, as tmxrasterizer leaves them out; a MAPSTART object
            // on one still marks the view's start.
            if (name == "objectgroup") FindStart(node, Inner(context, node));
            continue;
        }
        bool ok = true;
        if (name == "layer") ok = TileLayer(doc, node, context);
        if (name == "objectgroup") ok = ObjectLayer(doc, node, context);
        if (name == "imagelayer") ok = ImageLayer(doc, node, context);
        if (name == "group") ok = Layers(doc, node, Inner(context, node));
        if (!ok) return false;
    }
    return true;
}

void Reader::Finish() {
    if (infinite_) {
        map_.originX = static_cast<int>(minX_ * mapTileWidth_);
        map_.originY = static_cast<int>(minY_ * mapTileHeight_);
        map_.pixelWidth = static_cast<int>((maxX_ - minX_) * mapTileWidth_);
        map_.pixelHeight = static_cast<int>((maxY_ - minY_) * mapTileHeight_);
    }
    std::vector<size_t> used;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].tiles.empty()) used.push_back(i);
    }
    const size_t n = used.size();
    std::vector<std::pair<long long, TiledPlacement>> ordered;
    map_.placements.reserve(placementCount_ + 1);
    for (size_t k = 0; k < n; ++k) {
        const Slot& slot = slots_[used[k]];
        // Neighbouring Tiled layers share an engine layer when there are more than nine.
        int layer = n <= static_cast<size_t>(kTiledEngineLayers)
                        ? static_cast<int>(k)
                        : static_cast<int>(k * kTiledEngineLayers / n);
        if (slot.hasFixedLayer) layer = slot.fixedLayer;
        for (const Pending& p : slot.tiles) {
            TiledPlacement placement;
            placement.typeName = map_.types[p.type].name;
            placement.x = static_cast<int>(p.x - map_.originX);
            placement.y = static_cast<int>(p.y - map_.originY);
            placement.width = p.width;
            placement.height = p.height;
            placement.layer = layer;
            placement.libraryIndex = p.libraryIndex;
            if (exported_) {
                ordered.emplace_back(p.order, std::move(placement));
            } else {
                map_.placements.push_back(std::move(placement));
            }
        }
    }
    if (exported_) {
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [id, placement] : ordered) map_.placements.push_back(std::move(placement));
    }
    map_.viewX = haveStart_ ? static_cast<int>(startX_ - map_.originX) : 0;
    map_.viewY = haveStart_ ? static_cast<int>(startY_ - map_.originY) : 0;
    // A type named MAPSTART already decides where the view starts.
    for (const TiledPlacement& placement : map_.placements) {
        for (const DescriptorRow& row : map_.types[typeByName_[placement.typeName]].descriptor) {
            if (row.first == "worldFTileIDString" && row.second == "MAPSTART") map_.hasStartMarker = true;
        }
        if (map_.hasStartMarker) break;
    }
    // A map of our exporter is the builder's map as it was: nothing is added to it.
    if (!map_.hasStartMarker && !exported_) {
        // An invisible marker at the view's start, drawn last.
        TiledTileType marker;
        marker.name = "mapstart";
        while (typeByName_.count(marker.name)) marker.name += "_";
        marker.pixels.width = marker.pixels.height = 1;
        marker.pixels.rgba = {0, 0, 0, 0};
        marker.descriptor = {{"worldFTileTransparency", "0"}, {"worldFTileIDString", "MAPSTART"}};
        TiledPlacement placement;
        placement.typeName = marker.name;
        placement.x = map_.viewX;
        placement.y = map_.viewY;
        placement.width = placement.height = 1;
        placement.layer = kTiledEngineLayers - 1;
        typeByName_[marker.name] = map_.types.size();
        map_.types.push_back(std::move(marker));
        map_.placements.push_back(std::move(placement));
        map_.hasStartMarker = true;
    }
}

bool Reader::Read(Document& doc) {
    mapDirectory_ = DirectoryOf(doc.path);
    const pugi::xml_node root = doc.xml.child("map");
    if (!root) {
        problem_ = doc.path + ": not a Tiled map (no <map> element)";
        return false;
    }
    const std::string orientation = root.attribute("orientation").value();
    if (orientation != "orthogonal") {
        problem_ = doc.path + ": " + (orientation.empty() ? std::string("a map without an orientation")
                                                           : "the " + orientation + " orientation") +
                   " is not read; only orthogonal maps are";
        return false;
    }
    int width = 0, height = 0;
    if (!IntAttribute(doc, root, "width", 0, 0, kTiledMaxMapSide, width, problem_) ||
        !IntAttribute(doc, root, "height", 0, 0, kTiledMaxMapSide, height, problem_) ||
        !IntAttribute(doc, root, "tilewidth", 0, 1, 4096, mapTileWidth_, problem_) ||
        !IntAttribute(doc, root, "tileheight", 0, 1, 4096, mapTileHeight_, problem_)) {
        return false;
    }
    infinite_ = root.attribute("infinite").as_int(0) != 0;
    exported_ = PropertyValue(root, "taskoExport") == "true";
    map_ = TiledMap{};
    map_.exported = exported_;
    map_.tileWidth = mapTileWidth_;
    map_.tileHeight = mapTileHeight_;
    map_.pixelWidth = width * mapTileWidth_;
    map_.pixelHeight = height * mapTileHeight_;
    if (root.attribute("backgroundcolor")) Note("the map's background colour: left out (tmxrasterizer leaves it out too)");
    for (pugi::xml_node node : root.children("tileset")) {
        if (!ReadTileset(doc, node)) return false;
    }
    if (!Layers(doc, root, LayerContext{})) return false;
    Finish();
    return true;
}

}  // namespace

bool ReadTiledMapText(const std::string& text, const std::string& path, TiledMap& map, std::string& problem) {
    Document doc;
    doc.path = path;
    doc.text = text;
    if (tiled::IsGzip(text) && tiled::InflateZlib(text, kMaxFileBytes, doc.text) != tiled::Inflated::kOk) {
        problem = path + ": the gzip file does not decompress (or is larger than 64 MiB)";
        return false;
    }
    if (!ParseDocument(doc, problem)) return false;
    Reader reader(map, problem);
    return reader.Read(doc);
}

bool ReadTiledMap(const std::string& path, TiledMap& map, std::string& problem) {
    Document doc;
    if (!LoadDocument(path, doc, problem)) return false;
    Reader reader(map, problem);
    return reader.Read(doc);
}

bool ReadTiledTileset(const std::string& path, TiledSheetLayout& layout, std::string& problem) {
    Document doc;
    if (!LoadDocument(path, doc, problem)) return false;
    const pugi::xml_node root = doc.xml.child("tileset");
    if (!root) {
        problem = path + ": not a Tiled tileset (no <tileset> element)";
        return false;
    }
    SheetGeometry g;
    if (!ReadSheetGeometry(doc, root, g, problem)) return false;
    const pugi::xml_node image = root.child("image");
    if (!image || !image.attribute("source")) {
        problem = doc.Where(root) + ": an image-collection tileset, not one sheet";
        return false;
    }
    if (g.tileWidth <= 0 || g.tileHeight <= 0) {
        problem = doc.Where(root) + ": a tileset without a tile size";
        return false;
    }
    layout = TiledSheetLayout{};
    layout.name = root.attribute("name").value();
    layout.imagePath = Resolve(DirectoryOf(path), image.attribute("source").value());
    layout.tileWidth = g.tileWidth;
    layout.tileHeight = g.tileHeight;
    layout.margin = g.margin;
    layout.spacing = g.spacing;
    layout.columns = g.columns;
    layout.tileCount = g.tileCount;
    const std::string trans = image.attribute("trans").value();
    if (trans.size() == 6 || (trans.size() == 7 && trans[0] == '#')) {
        const unsigned long colour = std::strtoul(trans.c_str() + (trans[0] == '#' ? 1 : 0), nullptr, 16);
        layout.hasTransparentColour = true;
        layout.transparentR = static_cast<int>((colour >> 16) & 0xff);
        layout.transparentG = static_cast<int>((colour >> 8) & 0xff);
        layout.transparentB = static_cast<int>(colour & 0xff);
    }
    return true;
}

}  // namespace wf
