// Writing the map file and the two ways of reading it: the engine's (decimal positions, records
// found by counting lines) and the map builder's (slots started by the "TILE" marker).
#include "worldfiles/mapfile.h"

#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace wf {

namespace {

// Lines of a record after its marker line.
constexpr size_t kRecordFieldLines = 7;

void AppendTileRecord(const MapFileTile& tile, std::vector<std::string>& lines) {
    lines.push_back(kMapTileMarker);
    lines.push_back(tile.tileName);
    lines.push_back(IntText(tile.libraryIndex));
    lines.push_back(IntText(RoundToInt(tile.x)));
    lines.push_back(IntText(RoundToInt(tile.y)));
    lines.push_back(IntText(RoundToInt(tile.width)));
    lines.push_back(IntText(RoundToInt(tile.height)));
    lines.push_back(IntText(tile.layer));
}

}  // namespace

std::vector<std::string> MapFileLines(const std::vector<MapFileTile>& tiles) {
    std::vector<std::string> lines = {"0", "0"};
    // Tiles with a geneseID go last, so everything they refer to already exists when read.
    for (const MapFileTile& tile : tiles) {
        if (tile.active && !tile.hasGeneseID) {
            AppendTileRecord(tile, lines);
        }
    }
    for (const MapFileTile& tile : tiles) {
        if (tile.active && tile.hasGeneseID) {
            AppendTileRecord(tile, lines);
        }
    }
    lines.push_back(kMapEndMarker);
    return lines;
}

bool WriteMapFile(const std::string& path, const std::vector<MapFileTile>& tiles) {
    return plat::WriteLinesAtomically(path, MapFileLines(tiles));
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
