// The map file: byte-exact writing, the engine's and the builder's reading, and safe rewriting.
#include "worldfiles/mapfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "temp_dir.h"

namespace {

wf::MapFileTile Tile(const std::string& name, float x, float y, int layer = 0) {
    wf::MapFileTile tile;
    tile.tileName = name;
    tile.x = x;
    tile.y = y;
    tile.width = 32;
    tile.height = 16;
    tile.layer = layer;
    return tile;
}

TEST(WriteMapFile, EmptyMapIsThreeLinesWithCrLf) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("LVL1.dll");
    ASSERT_TRUE(wf::WriteMapFile(path, {}));
    EXPECT_EQ(wftest::ReadBytes(path), "0\r\n0\r\nENGINETILEINFOEND\r\n");
}

TEST(WriteMapFile, RecordsRoundedSkipInactiveAndPutGeneseTilesLast) {
    std::vector<wf::MapFileTile> tiles(6);
    for (auto& tile : tiles) {
        tile.active = false;
    }
    tiles[2] = Tile("B", -0.5f, 3.5f, 12);
    tiles[2].hasGeneseID = true;
    tiles[2].libraryIndex = 9;
    tiles[5] = Tile("A", 2.5f, 1.4f, 1);
    tiles[5].libraryIndex = 3;
    tiles[5].width = 31.6f;

    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("map.dll");
    ASSERT_TRUE(wf::WriteMapFile(path, tiles));
    EXPECT_EQ(wftest::ReadBytes(path),
              "0\r\n0\r\n"
              "TILE\r\nA\r\n3\r\n2\r\n1\r\n32\r\n16\r\n1\r\n"
              "TILE\r\nB\r\n9\r\n0\r\n4\r\n32\r\n16\r\n12\r\n"
              "ENGINETILEINFOEND\r\n");
}

// A caller's own table, read through a view, written into a fixed buffer: the same lines as the
// ordinary writer makes of the same tiles.
struct FixedSink {
    char bytes[512] = {};
    size_t used = 0;
};

void PutLine(void* sink, const char* text, size_t length) {
    auto& fixed = *static_cast<FixedSink*>(sink);
    for (size_t i = 0; i < length + 2 && fixed.used < sizeof fixed.bytes; ++i) {
        fixed.bytes[fixed.used++] = i < length ? text[i] : "\r\n"[i - length];
    }
}

struct OwnTile {
    const char* name;
    size_t nameLength;  // may stop short of the name's end: only that much is written
    int x, layer;
    bool active, genese;
};

wf::MapTileView OwnView(const void* tiles, size_t index) {
    const OwnTile& tile = static_cast<const OwnTile*>(tiles)[index];
    wf::MapTileView view;
    view.name = tile.name;
    view.nameLength = tile.nameLength;
    view.libraryIndex = static_cast<int>(index);
    view.x = static_cast<float>(tile.x);
    view.width = 8;
    view.height = 4;
    view.layer = tile.layer;
    view.active = tile.active;
    view.hasGeneseID = tile.genese;
    return view;
}

TEST(WriteMapFile, TheLayoutWriterServesAnyTableThroughAnySink) {
    const OwnTile own[] = {
        {"gate", 4, 1, 2, true, true}, {"rocky", 4, -7, -2147483647 - 1, true, false},
        {"gone", 4, 0, 0, false, false}, {"x", 1, 2147483520, 9, true, false},
    };
    FixedSink sink;
    wf::WriteMapLines(own, 4, OwnView, &sink, PutLine);
    const std::string expected =
        "0\r\n0\r\n"
        "TILE\r\nrock\r\n1\r\n-7\r\n0\r\n8\r\n4\r\n-2147483648\r\n"
        "TILE\r\nx\r\n3\r\n2147483520\r\n0\r\n8\r\n4\r\n9\r\n"
        "TILE\r\ngate\r\n0\r\n1\r\n0\r\n8\r\n4\r\n2\r\n"
        "ENGINETILEINFOEND\r\n";
    EXPECT_EQ(std::string(sink.bytes, sink.used), expected);

    std::vector<wf::MapFileTile> same;
    for (size_t i = 0; i < 4; ++i) {
        const wf::MapTileView view = OwnView(own, i);
        wf::MapFileTile tile = Tile(std::string(view.name, view.nameLength), view.x, 0, view.layer);
        tile.width = 8;
        tile.height = 4;
        tile.libraryIndex = view.libraryIndex;
        tile.active = view.active;
        tile.hasGeneseID = view.hasGeneseID;
        same.push_back(tile);
    }
    std::string joined;
    for (const std::string& line : wf::MapFileLines(same)) joined += line + "\r\n";
    EXPECT_EQ(joined, expected);
}

TEST(WriteMapFile, FailedWriteLeavesOldFileIntact) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    // The target's directory does not exist: nothing can be written.
    EXPECT_FALSE(wf::WriteMapFile(dir.File("missing/map.dll"), {Tile("A", 1, 2)}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    // The target is a directory holding an older file: the write fails and that file survives.
    std::string target = dir.File("map.dll");
    std::filesystem::create_directory(target);
    wftest::WriteBytes(target + "/old", "old content");
    EXPECT_FALSE(wf::WriteMapFile(target, {Tile("A", 1, 2)}));
    EXPECT_EQ(wftest::ReadBytes(target + "/old"), "old content");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "no temporary file may be left behind";
}

TEST(ParseEngineMap, ReadsDecimalRecordsAndKeepsEveryLayer) {
    wf::EngineMap map = wf::ParseEngineMap({"12", " -4", "TILE", "rock", "77", "10.5", "2", "32", "16", "12",
                                            "anything", "Nowhere", "x", "1", "2", "3", "4", "0",
                                            "ENGINETILEINFOEND", "TILE", "late", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(map.offsetX, 12.0f);
    EXPECT_EQ(map.offsetY, -4.0f);
    ASSERT_EQ(map.records.size(), 2u);
    EXPECT_EQ(map.records[0].tileName, "rock");
    EXPECT_FLOAT_EQ(map.records[0].x, 10.5f);
    EXPECT_EQ(map.records[0].y, 2.0f);
    EXPECT_EQ(map.records[0].width, 32.0f);
    EXPECT_EQ(map.records[0].height, 16.0f);
    EXPECT_EQ(map.records[0].layer, 12);
    // The marker line is not checked; unknown names stay as text.
    EXPECT_EQ(map.records[1].tileName, "Nowhere");
    EXPECT_EQ(map.records[1].height, 4.0f);
}

TEST(ParseEngineMap, DropsCutOffRecordAndShiftsOnBlankLines) {
    wf::EngineMap cut = wf::ParseEngineMap({"0", "0", "TILE", "a", "0", "1", "2", "3", "4", "5",
                                            "TILE", "b", "0", "1", "2", "3"});
    ASSERT_EQ(cut.records.size(), 1u);
    EXPECT_EQ(cut.records[0].layer, 5);

    wf::EngineMap shifted = wf::ParseEngineMap({"0", "0", "", "TILE", "a", "0", "1", "2", "3", "4", "5"});
    ASSERT_EQ(shifted.records.size(), 1u);
    EXPECT_EQ(shifted.records[0].tileName, "TILE");
    EXPECT_EQ(shifted.records[0].x, 0.0f);  // the library index line "0"
    EXPECT_EQ(shifted.records[0].layer, 4);

    EXPECT_TRUE(wf::ParseEngineMap({}).records.empty());
}

TEST(EngineMapComplete, OnlyWholeRecordsFollowedByTheEndMarker) {
    const std::vector<std::string> record = {"TILE", "a", "0", "1", "2", "3", "4", "5"};
    std::vector<std::string> whole = {"0", "0"};
    whole.insert(whole.end(), record.begin(), record.end());
    whole.insert(whole.end(), record.begin(), record.end());
    whole.push_back("ENGINETILEINFOEND");
    EXPECT_TRUE(wf::EngineMapComplete(whole));
    EXPECT_TRUE(wf::EngineMapComplete(wf::MapFileLines({})));  // an empty map
    EXPECT_TRUE(wf::EngineMapComplete(wf::MapFileLines({wf::MapFileTile{"a", 0, 1, 2, 3, 4, 0}})));

    struct Case {
        const char* what;
        size_t keep;  // lines of `whole` kept
    };
    for (const Case& c : {Case{"nothing", 0}, Case{"offsets only", 2}, Case{"cut inside a record", 13},
                          Case{"whole records without the marker", 18}}) {
        EXPECT_FALSE(wf::EngineMapComplete({whole.begin(), whole.begin() + static_cast<long>(c.keep)})) << c.what;
    }
    // The marker where a record's field lies is no end of the map.
    std::vector<std::string> markerInRecord = {"0", "0", "TILE", "ENGINETILEINFOEND"};
    EXPECT_FALSE(wf::EngineMapComplete(markerInRecord));
}

TEST(ParseBuilderMap, ReadsIntegersAndFillsTruncatedRecord) {
    wf::BuilderMap map = wf::ParseBuilderMap({"5", "-6", "TILE", "rock", "3", "10.5", "7", "32", "16", "9",
                                              "TILE", "cut", "4", "8"});
    EXPECT_EQ(map.scrollX, 5);
    EXPECT_EQ(map.scrollY, -6);
    ASSERT_EQ(map.records.size(), 2u);
    EXPECT_EQ(map.records[0].tileName, "rock");
    EXPECT_EQ(map.records[0].libraryIndex, 3);
    EXPECT_EQ(map.records[0].x, 10.0f);
    EXPECT_EQ(map.records[0].y, 7.0f);
    EXPECT_EQ(map.records[0].layer, 9);
    EXPECT_EQ(map.records[1].tileName, "cut");
    EXPECT_EQ(map.records[1].x, 8.0f);
    EXPECT_EQ(map.records[1].y, 0.0f);
    EXPECT_EQ(map.records[1].height, 0.0f);
    EXPECT_EQ(map.records[1].layer, 0);
}

TEST(ParseBuilderMap, SkipsRecordWithoutMarkerAndStopsAtEndMarker) {
    wf::BuilderMap map = wf::ParseBuilderMap({"0", "0", "TILE", "a", "0", "1", "1", "1", "1", "1",
                                              "TILX", "b", "0", "2", "2", "2", "2", "2",
                                              "TILE", "c", "0", "3", "3", "3", "3", "3",
                                              "ENGINETILEINFOEND", "TILE", "d", "0", "4", "4", "4", "4", "4"});
    ASSERT_EQ(map.records.size(), 2u);
    EXPECT_EQ(map.records[0].tileName, "a");
    EXPECT_EQ(map.records[0].x, 1.0f);
    EXPECT_EQ(map.records[1].tileName, "c");

    // A leading blank line shifts the grouping, so no line is read as a marker.
    EXPECT_TRUE(wf::ParseBuilderMap({"0", "0", "", "TILE", "a", "0", "1", "1", "1", "1", "1"}).records.empty());
}

TEST(MapFile, WrittenFileReadsBackInBothReaders) {
    std::vector<wf::MapFileTile> tiles = {Tile("later", 7, 8, 2), Tile("first", 2.5f, -3.5f, 11),
                                          Tile("gone", 0, 0)};
    tiles[0].hasGeneseID = true;
    tiles[2].active = false;
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("map.dll");
    ASSERT_TRUE(wf::WriteMapFile(path, tiles));
    std::vector<std::string> lines;
    ASSERT_TRUE(plat::ReadAllLines(path, lines));

    wf::BuilderMap builder = wf::ParseBuilderMap(lines);
    ASSERT_EQ(builder.records.size(), 2u);
    EXPECT_EQ(builder.records[0].tileName, "first");
    EXPECT_EQ(builder.records[0].x, 2.0f);
    EXPECT_EQ(builder.records[0].y, -4.0f);
    EXPECT_EQ(builder.records[0].layer, 11);
    EXPECT_EQ(builder.records[1].tileName, "later");
    EXPECT_EQ(builder.records[1].width, 32.0f);

    wf::EngineMap engine = wf::ParseEngineMap(lines);
    ASSERT_EQ(engine.records.size(), 2u);
    EXPECT_EQ(engine.records[1].tileName, "later");
    EXPECT_EQ(engine.records[1].y, 8.0f);
    EXPECT_EQ(engine.records[1].layer, 2);
}

}  // namespace
