// The descriptor file: writing pairs and trailer, and reading it with both key tables.
#include "worldfiles/descriptor.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_dir.h"

namespace {

TEST(DescriptorFile, WritesPairsThenTrailerSkippingPlaceholderRows) {
    std::vector<wf::DescriptorRow> rows;
    for (int i = 0; i < 20; ++i) {
        rows.emplace_back("key" + std::to_string(i), std::to_string(i));
    }
    EXPECT_EQ(wf::DescriptorFileLines(rows).size(), 48u);

    rows.emplace_back(wf::kMissingKey, "5");
    rows.emplace_back("hp", wf::kMissingValue);
    std::vector<std::string> lines = wf::DescriptorFileLines(rows);
    ASSERT_EQ(lines.size(), 48u);
    EXPECT_EQ(lines[38], "key19");
    EXPECT_EQ(lines[39], "19");
    std::vector<std::string> trailer(lines.begin() + 40, lines.end());
    EXPECT_EQ(trailer, wf::DescriptorTrailer());
    for (const std::string& line : trailer) {
        EXPECT_EQ(line.substr(0, 1), ";");
    }
    EXPECT_EQ(trailer[3], ";DO NOT CHANGE THIS FILE BY HAND!!!");
    EXPECT_EQ(trailer[4], ";YOU MAY ENCOUNTER DATALOSS/MALFUNCTIONS");
    EXPECT_EQ(trailer[5], ";ALWAYS USE THE PLOM-MAP-BUILDER TO CREATE VALID MAP AND DNA DATAS!");
}

TEST(DescriptorFile, WrittenBytesAndFailure) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("rock.dll");
    ASSERT_TRUE(wf::WriteDescriptorFile(path, {{"hp", "3"}}));
    std::string expected = "hp\r\n3\r\n";
    for (const std::string& line : wf::DescriptorTrailer()) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(wftest::ReadBytes(path), expected);
    EXPECT_FALSE(wf::WriteDescriptorFile(dir.File("missing/rock.dll"), {{"hp", "3"}}));
}

TEST(BuilderDescriptor, KeyTableTypes) {
    const std::vector<std::string>& keys = wf::BuilderDescriptorKeys();
    ASSERT_EQ(keys.size(), 55u);
    EXPECT_EQ(keys.front(), "worldFTileRotate");
    EXPECT_EQ(keys[35], "worldFTileID");
    EXPECT_EQ(keys.back(), "geneseID");

    wf::BuilderTileDescriptor d;
    EXPECT_TRUE(wf::ApplyBuilderDescriptorPair(d, "worldFTileCollision", "257"));
    EXPECT_EQ(d.worldFTileCollision, 1);
    wf::ApplyBuilderDescriptorPair(d, "worldFTileDynamicScrollH", "2.5");
    EXPECT_EQ(d.worldFTileDynamicScrollH, 2);
    wf::ApplyBuilderDescriptorPair(d, "worldFTileDoCrushH", "0.6");
    EXPECT_EQ(d.worldFTileDoCrushH, 1);
    wf::ApplyBuilderDescriptorPair(d, "worldFTileTransparency", "127.5");
    EXPECT_EQ(d.worldFTileTransparency, 127);
    wf::ApplyBuilderDescriptorPair(d, "worldFTileID", "7");
    EXPECT_EQ(d.worldFTileID, "7");
    wf::ApplyBuilderDescriptorPair(d, "worldFStretch", "1.9");
    EXPECT_EQ(d.worldFStretch, 1.0f);
    wf::ApplyBuilderDescriptorPair(d, "worldFTileLookAngle", "0.25");
    EXPECT_FLOAT_EQ(d.worldFTileLookAngle, 0.25f);
    EXPECT_FALSE(wf::ApplyBuilderDescriptorPair(d, "hp ", "5"));
    EXPECT_FALSE(wf::ApplyBuilderDescriptorPair(d, "worldFTileIDString", "x"));
    EXPECT_EQ(d.hp, 0);
}

TEST(EngineDescriptor, KeyTableTypes) {
    wf::TileDescriptor d;
    EXPECT_TRUE(wf::ApplyEngineDescriptorPair(d, "worldFTileUseKeyboard", "256"));
    EXPECT_EQ(d.worldFTileUseKeyboard, 0);
    wf::ApplyEngineDescriptorPair(d, "worldFTileUseJoyStick", "257");
    EXPECT_EQ(d.worldFTileUseJoyStick, 257);
    wf::ApplyEngineDescriptorPair(d, "worldFTileTransparency", "127.5");
    EXPECT_FLOAT_EQ(d.worldFTileTransparency, 127.5f);
    wf::ApplyEngineDescriptorPair(d, "worldFTileID", "7");
    EXPECT_EQ(d.worldFTileID, 7);
    wf::ApplyEngineDescriptorPair(d, "worldFTileFollow", " hero ");
    EXPECT_EQ(d.worldFTileFollow, " hero ");
    for (const auto& [text, stored] : {std::pair{"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"0.6", 1}, {"255.2", -1}}) {
        wf::ApplyEngineDescriptorPair(d, "worldFTileDoCrushH", text);
        EXPECT_EQ(d.worldFTileDoCrushH, stored) << text;
    }
    EXPECT_TRUE(wf::ApplyEngineDescriptorPair(d, "worldFTileAutoLoad", "1"));
    EXPECT_FALSE(wf::ApplyEngineDescriptorPair(d, "worldFTileRotate ", "1"));
    EXPECT_FALSE(wf::ApplyEngineDescriptorPair(d, "worldftilerotate", "1"));
    EXPECT_FALSE(wf::ApplyEngineDescriptorPair(d, "worldFTileEmitter", "1"));
    EXPECT_EQ(d.worldFTileRotate, 0.0f);
}

TEST(EngineDescriptor, EveryKeySetsItsOwnField) {
    // Each key given "3" must change exactly the field it names; a field left at its default
    // means a key is missing from the table or points at the wrong field.
    wf::TileDescriptor d;
    const char* keys[] = {
        "worldFTileRotate", "worldFTileFollow", "worldFTileTransparency", "worldFTileGOBACK",
        "worldFTileTouchMove", "worldFTileTouchTransparency", "worldFTilePlayerID",
        "worldFTileExpansionValue", "worldFTileIsGUI", "worldFStretch", "worldFTileMove", "worldFTileVELO",
        "worldFTilePlayerMOVE", "worldFTilePLINKI", "worldFTileGravity", "worldFTileCollision",
        "worldFTileScrollH", "worldFTileCollisionDestroy", "worldFTileLaunch", "worldFTileGlobalGravity",
        "worldFTileFollowObject", "worldFTileMoveH", "worldFTileMoveV", "worldFTileIsEMUMousePointer",
        "worldFTileUseKeyboard", "worldFTileUseJoyStick", "worldFTileIsHWMousePointer",
        "worldFTileTouchRotate", "useLayerScroll", "worldGlobalScrollH", "worldGlobalScrollV",
        "worldFTileShadow", "worldFTileTransport", "worldFTileFlire", "worldFTileID", "worldFTileIDString",
        "hp", "useWeapon", "worldFTileShadowOffsetX", "worldFTileShadowOffsetY", "worldFTileShadowZoom",
        "worldFTileJumpSize", "postEFFECT", "worldFTileFadeOut", "worldFTileFadeIn", "worldFTileLoopH",
        "worldFTileLoopV", "worldFTileParableH", "worldFTileParableV", "worldFTileBounceTopDown",
        "worldFTileDoCrushH", "worldFTileCollisionSize", "geneseID", "worldFTileRandomMove",
        "worldFTileLifeTime", "worldFTileTimerMS", "worldFTilePattern", "noSmooth", "animTimer",
        "worldFTileUSEFX", "animContainer", "animAutoPlay", "worldFTileHideOnStart", "AI",
        "worldFTileIsMirror"};
    for (const char* key : keys) {
        EXPECT_TRUE(wf::ApplyEngineDescriptorPair(d, key, "3")) << key;
    }
    const float floats[] = {d.worldFTileRotate, d.worldFTileTransparency, d.worldFTileExpansionValue,
                            d.worldFTileVELO, d.worldFTileGravity, d.worldFTileScrollH, d.worldFTileMoveH,
                            d.worldFTileMoveV, d.worldGlobalScrollH, d.worldGlobalScrollV, d.worldFTileFadeOut,
                            d.worldFTileFadeIn, d.worldFTileParableH, d.worldFTileParableV,
                            d.worldFTileBounceTopDown, d.worldFTileCollisionSize};
    for (float value : floats) {
        EXPECT_EQ(value, 3.0f);
    }
    const int32_t ints[] = {d.worldFTileGOBACK, d.worldFTileTouchMove, d.worldFTileTouchTransparency,
                            d.worldFTilePlayerID, d.worldFTileIsGUI, d.worldFStretch, d.worldFTileMove,
                            d.worldFTilePlayerMOVE, d.worldFTilePLINKI, d.worldFTileCollision,
                            d.worldFTileCollisionDestroy, d.worldFTileLaunch, d.worldFTileGlobalGravity,
                            d.worldFTileFollowObject, d.worldFTileIsEMUMousePointer, d.worldFTileUseKeyboard,
                            d.worldFTileUseJoyStick, d.worldFTileIsHWMousePointer, d.worldFTileTouchRotate,
                            d.useLayerScroll, d.worldFTileShadow, d.worldFTileTransport, d.worldFTileFlire,
                            d.worldFTileID, d.hp, d.worldFTileShadowOffsetX, d.worldFTileShadowOffsetY,
                            d.worldFTileShadowZoom, d.worldFTileJumpSize, d.worldFTileLoopH, d.worldFTileLoopV,
                            d.worldFTileDoCrushH, d.worldFTileRandomMove, d.worldFTileLifeTime,
                            d.worldFTileTimerMS, d.worldFTilePattern, d.noSmooth, d.animTimer,
                            d.worldFTileUSEFX, d.animAutoPlay, d.worldFTileHideOnStart, d.AI,
                            d.worldFTileIsMirror};
    for (int32_t value : ints) {
        EXPECT_EQ(value, 3);
    }
    for (const std::string* text : {&d.worldFTileFollow, &d.worldFTileIDString, &d.useWeapon, &d.postEFFECT,
                                    &d.geneseID, &d.animContainer}) {
        EXPECT_EQ(*text, "3");
    }
}

TEST(DescriptorReading, FilesThroughBothTables) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("rock.dll");
    ASSERT_TRUE(wf::WriteDescriptorFile(path, {{"worldFTileCollision", "257"},
                                               {"hp", "4"},
                                               {"worldFTileAutoLoad", "1"},
                                               {"hp", "9"},
                                               {"worldFTileID", "7"}}));

    wf::BuilderTileDescriptor builder;
    wf::BuilderDescriptorRead read = wf::ReadBuilderDescriptor(path, builder);
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(read.unrecognisedPairs, 5);  // worldFTileAutoLoad and the four trailer pairs
    EXPECT_EQ(builder.worldFTileCollision, 1);
    EXPECT_EQ(builder.hp, 9);
    EXPECT_EQ(builder.worldFTileID, "7");

    wf::TileDescriptor engine;
    EXPECT_TRUE(wf::ReadEngineDescriptor(path, engine));
    EXPECT_EQ(engine.worldFTileCollision, 1);
    EXPECT_EQ(engine.hp, 9);
    EXPECT_EQ(engine.worldFTileID, 7);
}

TEST(DescriptorReading, OddLinesTrailingBlankKeysAndMissingFile) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string path = dir.File("odd.dll");
    wftest::WriteBytes(path, "hp \r\n5\r\nworldFTileVELO\r\n2.5\r\nuseWeapon\r\nbolt\r\nuseWeapon\r\n");

    wf::TileDescriptor engine;
    engine.useWeapon = "before";
    ASSERT_TRUE(wf::ReadEngineDescriptor(path, engine));
    EXPECT_EQ(engine.hp, 0);
    EXPECT_FLOAT_EQ(engine.worldFTileVELO, 2.5f);
    EXPECT_EQ(engine.useWeapon, "");  // the odd last key gets an empty value, and it wins

    wf::BuilderTileDescriptor builder;
    wf::BuilderDescriptorRead read = wf::ReadBuilderDescriptor(path, builder);
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(read.unrecognisedPairs, 1);
    EXPECT_EQ(builder.hp, 0);

    wf::TileDescriptor untouched;
    untouched.hp = 42;
    EXPECT_FALSE(wf::ReadEngineDescriptor(dir.File("missing.dll"), untouched));
    EXPECT_EQ(untouched.hp, 42);
    wf::BuilderTileDescriptor missing;
    read = wf::ReadBuilderDescriptor(dir.File("missing.dll"), missing);
    EXPECT_FALSE(read.opened);
    EXPECT_EQ(read.unrecognisedPairs, 0);
}

}  // namespace
