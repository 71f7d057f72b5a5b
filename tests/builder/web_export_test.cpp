// "Export for Web..." in the builder, on a new world: the item at the end of the MAP menu, the
// folder asked for, the map being edited packed as the start area's map, and the boxes for a
// missing runtime, a refused folder and a page written.
#include <gmock/gmock.h>

#include <regex>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERPLAY.h"
#include "builder_fixture.h"
#include "worldfiles/mapfile.h"
#include "worldfiles/newworld.h"

using ::testing::HasSubstr;

class BuilderWebExport : public BuilderTest {
public:
    void SetUp() override {
        BuilderTest::SetUp();
        std::string problem;
        ASSERT_TRUE(wf::WriteNewWorld("world", problem)) << problem;
        runtime_ = std::filesystem::absolute("runtime").string();
        target_ = std::filesystem::absolute("out").string();
        std::filesystem::create_directories(runtime_);
        WriteRaw(runtime_ + "/index.html", "<!doctype html>");
        WriteRaw(runtime_ + "/tasko.js", "// loader");
        WriteRaw(runtime_ + "/tasko.wasm", std::string("\0asm", 4));
        std::filesystem::current_path("world");
        SetBuilderStartValues();
        ASSERT_TRUE(StartBuilder());
    }

    // The bytes of one packed file of the exported folder ("" when it is not in world.json).
    std::string Packed(const std::string& path) const {
        std::ifstream json(target_ + "/world.json", std::ios::binary), data(target_ + "/world.data", std::ios::binary);
        const std::string list((std::istreambuf_iterator<char>(json)), std::istreambuf_iterator<char>());
        const std::string bytes((std::istreambuf_iterator<char>(data)), std::istreambuf_iterator<char>());
        std::smatch match;
        const std::regex entry("\\{\"path\": \"" + path + "\", \"offset\": ([0-9]+), \"size\": ([0-9]+)\\}");
        if (!std::regex_search(list, match, entry)) return "";
        return bytes.substr(std::stoull(match[1]), std::stoull(match[2]));
    }

    std::string runtime_, target_;
};

TEST_F(BuilderWebExport, TheItemFollowsNewMapInTheMapMenu) {
    const plat::headless::MenuRecord* menu = plat::headless::FindMenu(kTileMenu);
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> mapItems;
    bool inMap = false;
    for (const plat::headless::MenuEntry& entry : menu->entries) {
        if (entry.kind == plat::headless::MenuEntry::kTitle) inMap = entry.text == "MAP";
        if (inMap && entry.kind == plat::headless::MenuEntry::kItem) mapItems.push_back(entry.text + "=" + std::to_string(entry.item));
    }
    EXPECT_THAT(mapItems, ::testing::ElementsAre("Redraw MAP=115", "New MAP=117", "Export for Web...=128",
                                                 "Export Tiled Map...=140", "Import Tiled Map...=141"));
}

TEST_F(BuilderWebExport, WritesThePageWithTheEditedMapAsTheStartArea) {
    gBuilder.mapTiles[gBuilder.lastTileIndex].x += 64;  // the player moved in the editor
    const int movedX = gBuilder.mapTiles[gBuilder.lastTileIndex].x;
    const std::string startMapBefore = ReadRaw("MAPS/LVL0.dll");
    plat::headless::PushRequesterAnswer(target_);
    ExportForWebCommand(runtime_);

    ASSERT_EQ(plat::headless::Requesters().size(), 1u);
    EXPECT_EQ(plat::headless::Requesters()[0].title, "MAP-BUILDER: Export for Web into Folder:");
    ASSERT_EQ(plat::headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(plat::headless::MessageBoxes()[0].title, "MAP-BUILDER: Export for Web");
    EXPECT_THAT(plat::headless::MessageBoxes()[0].text, HasSubstr(target_));
    EXPECT_THAT(plat::headless::MessageBoxes()[0].text, HasSubstr("python3 -m http.server"));

    EXPECT_EQ(ReadRaw(target_ + "/index.html"), "<!doctype html>");
    const std::string packedMap = Packed("MAPS/LVL0.dll");
    ASSERT_FALSE(packedMap.empty());
    std::vector<std::string> lines;
    std::istringstream in(packedMap);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    const wf::BuilderMap packed = wf::ParseBuilderMap(lines);
    ASSERT_EQ(static_cast<int>(packed.records.size()), gBuilder.lastTileIndex + 1);
    EXPECT_EQ(packed.records.back().x, movedX);
    EXPECT_EQ(Packed("CORE/ini.crc"), ReadRaw("CORE/ini.crc"));
    // The world itself is unchanged and the scratch map is gone.
    EXPECT_EQ(ReadRaw("MAPS/LVL0.dll"), startMapBefore);
    EXPECT_FALSE(Exists("USER/_WEBMAP"));
}

TEST_F(BuilderWebExport, RefusalsAreShownInTheErrorBox) {
    struct Case {
        const char* what;
        bool removeRuntime;
        bool fillFolder;
        std::string textPart;
        size_t requesters;
    };
    const Case cases[] = {
        {"no runtime", true, false, "scripts/web-build.sh", 0},
        {"a folder that is not empty", false, true, "is not empty; nothing was written", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::headless::Reset();
        if (c.removeRuntime) std::filesystem::remove(runtime_ + "/tasko.wasm");
        if (c.fillFolder) {
            std::filesystem::create_directories(target_);
            WriteRaw(target_ + "/mine.txt", "keep");
        }
        plat::headless::PushRequesterAnswer(target_);
        ExportForWebCommand(runtime_);
        EXPECT_EQ(plat::headless::Requesters().size(), c.requesters);
        ASSERT_EQ(plat::headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(plat::headless::MessageBoxes()[0].title, "MAP BUILDER ERROR:");
        EXPECT_THAT(plat::headless::MessageBoxes()[0].text, HasSubstr(c.textPart));
        EXPECT_FALSE(Exists(target_ + "/world.json"));
        EXPECT_FALSE(Exists("USER/_WEBMAP"));
        if (c.fillFolder) {
            EXPECT_EQ(ReadRaw(target_ + "/mine.txt"), "keep");
        }
        WriteRaw(runtime_ + "/tasko.wasm", "w");
    }
}
