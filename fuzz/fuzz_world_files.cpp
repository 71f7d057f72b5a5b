// Map and descriptor parsing with arbitrary input: both map readers, both descriptor key tables
// and the map writer on what was read.
#include <cstdint>

#include "fuzz_common.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"
#include "worldfiles/mapfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> lines = SplitLines(data, size);

    const wf::EngineMap engineMap = wf::ParseEngineMap(lines);
    const wf::BuilderMap builderMap = wf::ParseBuilderMap(lines);
    std::vector<wf::MapFileTile> tiles;
    for (const wf::BuilderMapRecord& r : builderMap.records) {
        tiles.push_back({r.tileName, r.libraryIndex, r.x, r.y, r.width, r.height, r.layer, true, r.layer % 2 == 0});
    }
    for (const wf::EngineMapRecord& r : engineMap.records) {
        tiles.push_back({r.tileName, 0, r.x, r.y, r.width, r.height, r.layer, true, false});
    }
    const std::vector<std::string> written = wf::MapFileLines(tiles);
    if (written.size() != 3 + 8 * tiles.size()) __builtin_trap();

    wf::TileDescriptor engineDescriptor;
    wf::BuilderTileDescriptor builderDescriptor;
    wf::ForEachPair(lines, [&](const std::string& key, const std::string& value) {
        wf::ApplyEngineDescriptorPair(engineDescriptor, key, value);
        wf::ApplyBuilderDescriptorPair(builderDescriptor, key, value);
    });
    wf::ForEachGroupOfFour(lines, [](const std::string&, const std::string&) {});
    return 0;
}
