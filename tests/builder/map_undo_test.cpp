// Map files and the undo history through the builder's operations: the whole undo/redo walk,
// the open, save, redraw-map and new-map commands, write failures, oversized maps, an empty
// tile library, and the map drawn layer by layer.
#include <gmock/gmock.h>

#include "builder/BUILDERINIODA.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "builder_fixture.h"
#include "platform/windows.h"

using ::testing::ElementsAre;

class BuilderMaps : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        WriteWorld();
        ASSERT_TRUE(StartBuilder());
    }
    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i <= gBuilder.lastTileIndex; ++i) names.push_back(gBuilder.mapTiles[i].name);
        return names;
    }
    struct Undo {
        int pos, counter, max;
        bool operator==(const Undo&) const = default;
    };
    static Undo UndoState() { return {gBuilder.undoPos, gBuilder.undoCounter, gBuilder.maxUndo}; }
};

TEST_F(BuilderMaps, UndoAndRedoWalkTheSnapshotsBothWays) {
    Place("rock", 0, 0, 0);
    TakeUndoSnapshot();
    Place("wall", 32, 0, 0);
    TakeUndoSnapshot();
    Place("rock", 64, 0, 1);
    TakeUndoSnapshot();
    for (int n : {0, 1, 2}) EXPECT_TRUE(Exists("USER/UNDO_" + std::to_string(n))) << n;
    EXPECT_EQ(UndoState(), (Undo{2, 3, 2}));

    struct Step {
        char key;
        Undo after;
        int tiles;  // placed tiles after the step
    };
    const Step walk[] = {
        {'U', {1, 3, 2}, 2}, {'U', {0, 3, 2}, 1}, {'U', {0, 3, 2}, 1},   // stops at 0, nothing loaded
        {'R', {1, 3, 2}, 2}, {'R', {2, 3, 2}, 3}, {'R', {2, 3, 2}, 3},   // stops at maxUndo
        {'U', {1, 3, 2}, 2}, {'U', {0, 3, 2}, 1},
    };
    for (const Step& step : walk) {
        if (step.key == 'U') StepUndo(); else StepRedo();
        EXPECT_EQ(UndoState(), step.after) << step.key;
        EXPECT_EQ(gBuilder.lastTileIndex + 1, step.tiles) << step.key;
    }
    // A change after stepping back writes the next number, after all existing snapshots.
    Place("wall", 0, 64, 0);
    TakeUndoSnapshot();
    EXPECT_EQ(UndoState(), (Undo{3, 4, 3}));
    EXPECT_EQ(ReadLines("USER/UNDO_3").size(), 2u + 2 * 8 + 1);
    EXPECT_EQ(ReadLines("USER/UNDO_1").size(), 2u + 2 * 8 + 1);  // untouched
}

TEST_F(BuilderMaps, OpenWritesSnapshotUndoCounterWithoutAdvancing) {
    WriteLines("other.map", {"0", "0", "TILE", "wall", "5", "10", "20", "64", "64", "3", "ENGINETILEINFOEND"});
    Place("rock", 0, 0, 0);
    TakeUndoSnapshot();
    plat::headless::PushRequesterAnswer("other.map");
    OpenMapCommand();
    const auto& request = plat::headless::Requesters().back();
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "MAP-BUILDER: Open MAP File:");
    EXPECT_EQ(request.startPath, "1");
    EXPECT_EQ(request.pattern, "*");
    EXPECT_EQ(gBuilder.currentMapFile, "other.map");
    EXPECT_THAT(Names(), ElementsAre("wall"));
    EXPECT_EQ(gBuilder.maxUsedLayer, 3);
    EXPECT_EQ(gBuilder.mapTiles[0].libraryIndex, TypeIndex("wall"));  // the file's 5 is dropped
    EXPECT_EQ(UndoState(), (Undo{0, 1, 0}));
    EXPECT_THAT(ReadLines("USER/UNDO_1"),
                ElementsAre("0", "0", "TILE", "wall", "1", "10", "20", "64", "64", "3", "ENGINETILEINFOEND"));

    // Cancelling changes nothing.
    OpenMapCommand();
    EXPECT_EQ(gBuilder.currentMapFile, "other.map");
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(BuilderMaps, SaveRedrawAndNewMapCommands) {
    Place("rock", 2.5f, 3.5f, 1);
    Place("wall", 0, 0, 0);
    gBuilder.mapTiles[1].active = 0;  // a deleted tile keeps its slot until the next read

    plat::headless::PushRequesterAnswer("mymap");
    SaveMapCommand();
    EXPECT_TRUE(plat::headless::Requesters().back().save);
    EXPECT_EQ(plat::headless::Requesters().back().title, "MAP-BUILDER: Save MAP File:");
    EXPECT_EQ(plat::headless::Requesters().back().startPath, "");
    EXPECT_THAT(ReadLines("mymap"), ElementsAre("0", "0", "TILE", "rock", "0", "2", "4", "32", "16", "1",
                                                "ENGINETILEINFOEND"));
    EXPECT_FALSE(Exists("mymap.dll"));
    EXPECT_EQ(gBuilder.currentMapFile, "1");

    // Redraw map right after start-up writes "1" and reads it back (the deleted slot is gone).
    RedrawMapCommand();
    EXPECT_EQ(ReadLines("1"), ReadLines("mymap"));
    EXPECT_EQ(gBuilder.lastTileIndex, 0);

    gBuilder.scrollX = 5;
    plat::headless::PushYesNoAnswer(false);
    NewMapCommand();
    EXPECT_EQ(gBuilder.lastTileIndex, 0);
    EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER ERROR:");
    EXPECT_EQ(plat::headless::MessageBoxes().back().text, "START NEW MAP ?");
    plat::headless::PushYesNoAnswer(true);
    NewMapCommand();
    EXPECT_EQ(gBuilder.lastTileIndex, -1);
    EXPECT_EQ(gBuilder.scrollX, 0);
    EXPECT_EQ(UndoState(), (Undo{0, 0, 0}));
}

TEST_F(BuilderMaps, AMapThatCannotBeWrittenIsReportedAndKeptInMemory) {
    Place("rock", 1, 1, 0);
    Place("wall", 2, 2, 0);
    gBuilder.mapTiles[1].active = 0;
    gBuilder.currentMapFile = "no/such/dir/map";
    RedrawMapCommand();
    ASSERT_FALSE(plat::headless::MessageBoxes().empty());
    EXPECT_EQ(plat::headless::MessageBoxes().back().title, "MAP BUILDER ERROR:");
    EXPECT_THAT(plat::headless::MessageBoxes().back().text, ::testing::HasSubstr("no/such/dir/map"));
    EXPECT_EQ(gBuilder.lastTileIndex, 1);  // not read back: the deleted slot is still there
    EXPECT_EQ(gBuilder.mapTiles[0].x, 1);

    plat::headless::PushRequesterAnswer("no/such/dir/saved");
    SaveMapCommand();
    EXPECT_THAT(plat::headless::MessageBoxes().back().text, ::testing::HasSubstr("no/such/dir/saved"));
}

TEST_F(BuilderMaps, ReadingAndSavingKeepEveryRecordWithItsOwnName) {
    // The library's last entry has a descriptor but a graphic that does not load: it is no
    // place for unknown names. Unknown names keep their own name and library index and are
    // drawn with the last type whose graphic loaded ("wall"). A record of a type that is not
    // usable ("plain": a descriptor of known keys only) stays too.
    WriteLines("GFX/zbroken.png", {"not a png"});
    WriteDescriptor("GFX/zbroken.dll", {{"hp", "1"}});
    WritePng("GFX/plain.png", 8, 8, 0, 100, 0);
    WriteLines("GFX/plain.dll", {"worldFTileTransparency", "255"});
    std::vector<std::string> lines = {"7", "-3"};
    const char* names[] = {"rock", "gone", "rock", "gone", "zbroken", "lost", "plain"};
    for (int i = 0; i < 7; ++i) {
        lines.insert(lines.end(), {"TILE", names[i], std::to_string(40 + i), std::to_string(i), "0", "8", "8", "0"});
    }
    lines.push_back("ENGINETILEINFOEND");
    WriteLines("big.map", lines);
    gBuilder.maxTiles = 2;
    gBuilder.mapTiles.resize(3);
    ::testing::internal::CaptureStderr();
    ReadMapFile("big.map");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(TypeIndex("zbroken"), 3);
    ASSERT_FALSE(gBuilder.tileLibrary[TypeIndex("plain")].usable);
    EXPECT_EQ(gBuilder.lastLibraryIndex, TypeIndex("wall"));
    EXPECT_EQ(gBuilder.lastTileIndex, 6);  // the table grew to keep all seven
    EXPECT_EQ(gBuilder.scrollX, 7);
    EXPECT_EQ(gBuilder.scrollY, -3);
    EXPECT_THAT(Names(), ElementsAre("rock", "gone", "rock", "gone", "zbroken", "lost", "plain"));
    EXPECT_EQ(gBuilder.mapTiles[6].active, 1);
    const plat::Drawable wallSprite = gBuilder.tileLibrary[TypeIndex("wall")].sprite;
    for (int slot : {1, 3, 4, 5}) {
        EXPECT_EQ(gBuilder.mapTiles[slot].sprite.id, wallSprite.id) << slot;
        EXPECT_EQ(gBuilder.mapTiles[slot].active, 1) << slot;
        EXPECT_EQ(gBuilder.mapTiles[slot].libraryIndex, 40 + slot) << slot;
    }
    EXPECT_EQ(gBuilder.mapTiles[0].libraryIndex, TypeIndex("rock"));  // a known name: its index
    // Drawn like a wall (opaque, its "2x2" blending): two rocks at 200, four walls at 255; the
    // plain tile as itself.
    gBuilder.actualTile = -1;  // no preview
    plat::headless::ClearDraws();
    plat::headless::AdvanceClock(100);
    RedrawMainWindow();
    std::vector<std::pair<int, int>> drawn;  // drawable, opacity
    for (const auto& d : plat::headless::Draws()) {
        if (d.kind == plat::headless::DrawRecord::kSprite) drawn.emplace_back(d.drawable, d.opacity);
    }
    const int rock = gBuilder.tileLibrary[TypeIndex("rock")].sprite.id;
    EXPECT_THAT(drawn, ElementsAre(std::pair{rock, 200}, std::pair{wallSprite.id, 255}, std::pair{rock, 200},
                                   std::pair{wallSprite.id, 255}, std::pair{wallSprite.id, 255},
                                   std::pair{wallSprite.id, 255},
                                   std::pair{gBuilder.tileLibrary[TypeIndex("plain")].sprite.id, 255}));
    // One line per unknown name, with its tile count; "zbroken" is a library name.
    EXPECT_THAT(errors, ::testing::HasSubstr("2 tile(s) named \"gone\""));
    EXPECT_THAT(errors, ::testing::HasSubstr("1 tile(s) named \"lost\""));
    EXPECT_THAT(errors, ::testing::Not(::testing::HasSubstr("zbroken")));

    // Saved and opened again: every record comes back with its name and place.
    ASSERT_TRUE(WriteMapFile("back.map"));
    std::vector<std::string> expected = lines;
    expected[0] = expected[1] = "0";
    expected[2 + 8 * 0 + 2] = expected[2 + 8 * 2 + 2] = std::to_string(TypeIndex("rock"));
    expected[2 + 8 * 6 + 2] = std::to_string(TypeIndex("plain"));
    EXPECT_EQ(ReadLines("back.map"), expected);
    ReadMapFile("back.map");
    ASSERT_TRUE(WriteMapFile("again.map"));
    EXPECT_EQ(ReadLines("again.map"), expected);

    // Without any tile type the names stay too, and nothing is drawn for them.
    std::filesystem::remove_all("GFX");
    ReadMapFile("big.map");
    EXPECT_TRUE(gBuilder.tileLibrary.empty());
    EXPECT_THAT(Names(), ElementsAre("rock", "gone", "rock", "gone", "zbroken", "lost", "plain"));
    EXPECT_FALSE(gBuilder.mapTiles[0].sprite.Valid());
    ASSERT_TRUE(WriteMapFile("bare.map"));
    lines[0] = lines[1] = "0";
    EXPECT_EQ(ReadLines("bare.map"), lines);
}

TEST_F(BuilderMaps, TheMapIsDrawnLayerByLayerWithItsBlending) {
    WriteLines("layers.map", {"0", "0", "TILE", "rock", "0", "10", "20", "32", "16", "2",
                              "TILE", "wall", "0", "30", "40", "64", "64", "0", "ENGINETILEINFOEND"});
    plat::headless::ClearDraws();
    plat::headless::AdvanceClock(50);  // grid-mode redraws come at least 50 ms apart
    ReadMapFile("layers.map");
    using plat::headless::DrawRecord;
    std::vector<DrawRecord> sprites;
    std::vector<std::pair<int, int>> blends;
    bool cleared = false;
    for (const DrawRecord& d : plat::headless::Draws()) {
        if (d.kind == DrawRecord::kSprite) sprites.push_back(d);
        if (d.kind == DrawRecord::kBlend) blends.emplace_back(d.source, d.destination);
        if (d.kind == DrawRecord::kClear) cleared = d.colour.r == 10 && d.colour.g == 10 && d.colour.b == 10;
    }
    EXPECT_TRUE(cleared);
    ASSERT_EQ(sprites.size(), 3u);  // the two tiles, then the preview of the selected type
    EXPECT_EQ(sprites[2].x, gBuilder.mouseX);
    // Layer 0 (wall, slot 1) before layer 2 (rock, slot 0); wall adds ("2x2"), rock blends normally.
    EXPECT_EQ(sprites[0].x, 30);
    EXPECT_EQ(sprites[0].width, 64);
    EXPECT_EQ(sprites[0].opacity, 255);
    EXPECT_EQ(sprites[1].x, 10);
    EXPECT_EQ(sprites[1].opacity, 200);
    EXPECT_THAT(blends, ::testing::Contains(std::make_pair(2, 2)));
    EXPECT_EQ(plat::headless::Draws().back().kind, DrawRecord::kFlip);
}
