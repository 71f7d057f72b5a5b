// Writing the map file and the two ways of reading it: the engine's (decimal positions, records
// found by counting lines) and the map builder's (slots started by the "TILE" marker).
#include "worldfiles/mapfile.h"

#include <cstring>

#include "platform/fault.h"
#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace wf {

namespace {

// Lines of a record after its marker line.
constexpr size_t kRecordFieldLines = 7;

void TextLine(void* sink, MapLineSink line, const char* text) { line(sink, text, std::strlen(text)); }

void NumberLine(void* sink, MapLineSink line, long long value) {
    plat::FaultText digits;
    digits.AppendInt(value);
    line(sink, digits.data, digits.length);
}

MapTileView ViewOf(const void* tiles, size_t index) {
    const MapFileTile& tile = (*static_cast<const std::vector<MapFileTile>*>(tiles))[index];
    return MapTileViewOf(tile, tile.tileName, tile.active, tile.hasGeneseID);
}

void CollectLine(void* sink, const char* text, size_t length) {
    static_cast<std::vector<std::string>*>(sink)->emplace_back(text, length);
}

}  // namespace

void WriteMapLines(const void* tiles, size_t count, MapTileSource tileAt, void* sink, MapLineSink line) {
    TextLine(sink, line, "0");
    TextLine(sink, line, "0");
    // Tiles with a geneseID go last, so everything they refer to already exists when read.
    for (const bool withGeneseID : {false, true}) {
        for (size_t i = 0; i < count; ++i) {
            const MapTileView tile = tileAt(tiles, i);
            if (!tile.active || tile.hasGeneseID != withGeneseID) continue;
            TextLine(sink, line, kMapTileMarker);
            line(sink, tile.name, tile.nameLength);
            NumberLine(sink, line, tile.libraryIndex);
            NumberLine(sink, line, RoundToInt(tile.x));
            NumberLine(sink, line, RoundToInt(tile.y));
            NumberLine(sink, line, RoundToInt(tile.width));
            NumberLine(sink, line, RoundToInt(tile.height));
            NumberLine(sink, line, tile.layer);
        }
    }
    TextLine(sink, line, kMapEndMarker);
}

std::vector<std::string> MapFileLines(const void* tiles, size_t count, MapTileSource tileAt) {
    std::vector<std::string> lines;
    WriteMapLines(tiles, count, tileAt, &lines, CollectLine);
    return lines;
}

std::vector<std::string> MapFileLines(const std::vector<MapFileTile>& tiles) {
    return MapFileLines(&tiles, tiles.size(), ViewOf);
}

bool WriteMapFile(const std::string& path, const void* tiles, size_t count, MapTileSource tileAt) {
    return plat::WriteLinesAtomically(path, MapFileLines(tiles, count, tileAt));
}

bool WriteMapFile(const std::string& path, const std::vector<MapFileTile>& tiles) {
    return WriteMapFile(path, &tiles, tiles.size(), ViewOf);
}

EngineMap ParseEngineMap(const std::vector<std::string>& lines) {
    EngineMap map;
    LineCursor cursor(lines);
    map.offsetX = static_cast<float>(ParseInt(cursor.Next()));
    map.offsetY = static_cast<float>(ParseInt(cursor.Next()));
    while (!cursor.AtEnd()) {
        const std::string& marker = cursor.Next();
        if (marker == kMapEndMarker) {
            break;
        }
        // A record cut off by the end of the file has no layer; it is dropped.
        if (lines.size() - cursor.Position() < kRecordFieldLines) {
            break;
        }
        EngineMapRecord record;
        record.tileName = cursor.Next();
        cursor.Next();  // library index: the engine finds tiles by name
        record.x = ParseFloat(cursor.Next());
        record.y = ParseFloat(cursor.Next());
        record.width = ParseFloat(cursor.Next());
        record.height = ParseFloat(cursor.Next());
        record.layer = ParseInt(cursor.Next());
        map.records.push_back(record);
    }
    return map;
}

bool EngineMapComplete(const std::vector<std::string>& lines) {
    for (size_t at = 2; at < lines.size(); at += 1 + kRecordFieldLines) {
        if (lines[at] == kMapEndMarker) return true;
    }
    return false;
}

BuilderMap ParseBuilderMap(const std::vector<std::string>& lines) {
    BuilderMap map;
    LineCursor cursor(lines);
    map.scrollX = ParseInt(cursor.Next());
    map.scrollY = ParseInt(cursor.Next());
    while (!cursor.AtEnd()) {
        const std::string& marker = cursor.Next();
        if (marker == kMapEndMarker) {
            break;
        }
        // Only a "TILE" line opens a slot; the seven lines of a record without it are dropped.
        BuilderMapRecord record;
        record.tileName = cursor.Next();
        record.libraryIndex = ParseInt(cursor.Next());
        record.x = static_cast<float>(ParseInt(cursor.Next()));
        record.y = static_cast<float>(ParseInt(cursor.Next()));
        record.width = static_cast<float>(ParseInt(cursor.Next()));
        record.height = static_cast<float>(ParseInt(cursor.Next()));
        record.layer = ParseInt(cursor.Next());
        if (marker == kMapTileMarker) {
            map.records.push_back(record);
        }
    }
    return map;
}

}  // namespace wf
