// The web export: which files of a world are packed (and which are left out), the package's
// list and bytes, the runtime files copied, and the folders and worlds it refuses.
#include "worldfiles/webexport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "tests/worldfiles/temp_dir.h"

namespace {

using wftest::ReadBytes;
using wftest::TempDir;
using wftest::WriteBytes;

// Writes `bytes` at `relative` below `root`, making the directories on the way.
void Put(const std::string& root, const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path.string(), bytes);
}

// Key/value line pairs with CR LF endings, as the engine's configuration is written.
std::string Pairs(const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string text;
    for (const auto& [key, value] : rows) text += key + "\r\n" + value + "\r\n";
    return text;
}

std::string Configuration(const std::string& gfx = "GFX/", const std::string& maps = "MAPS/",
                          const std::string& appEntry = "0") {
    return Pairs({{"SYSTEMTEXT", "CORE/systemtext.txt"}, {"CODECS", "CORE/codecs.crc"}, {"GFX", gfx},
                  {"SIMCORE", maps}, {"ANIMSYSTEM", "ANIM/"}, {"SOUNDPATH", "SOUND/"}, {"ERRORPATH", "error.log"},
                  {"WARNINGS", "warnings.log"}, {"APPENTRY", appEntry}});
}

// A world with every kind of file the engine reads, and files beside them that it never reads.
void MakeWorld(const std::string& root) {
    Put(root, "CORE/ini.crc", Configuration());
    Put(root, "CORE/systemtext.txt", "#ERROR_UNKNOWN\r\nsomething\r\n");
    Put(root, "CORE/codecs.crc", "GFXCODEC\r\n;\r\n.png\r\n\r\nSOUNDCODEC\r\n;\r\n.wav\r\n\r\n");
    Put(root, "GFX/wall.png", std::string("\x89PNG\0wall", 9));
    Put(root, "GFX/wall.dll", "worldFTileCollision\r\n1\r\n");
    Put(root, "GFX/floor.png", "floor-bytes");
    Put(root, "GFX/floor.dll", "d");
    Put(root, "GFX/notes.txt", "not a tile");
    Put(root, "GFX/wall.dll.tmp4242", "half a write");
    Put(root, "MAPS/LVL0.dll", "start map");
    Put(root, "MAPS/LVL3.dll", "another area");
    Put(root, "MAPS/sketch.dll", "not an area");
    Put(root, "SOUND/#L0.wav", "RIFFsound");
    Put(root, "SOUND/music.ogg", "not an area sound");
    Put(root, "ANIM/hero/0.png", "frame0");
    Put(root, "ANIM/hero/1.png", "frame1");
    Put(root, "ANIM/hero/source.xcf", "not a frame");
    Put(root, "USER/UNDO_0", "undo snapshot");
    Put(root, "USER/_LAZARUS123", "crash backup");
    Put(root, "error.log", "log");
    Put(root, "warnings.log", "log");
}

std::string ListText(const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& item : list) text += item + "\n";
    return text;
}

TEST(WebExportTest, ListsWhatTheEngineReadsAndLeavesOutTheRest) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    MakeWorld(dir.Path());
    wf::WorldFileList list;
    std::string problem;
    ASSERT_TRUE(wf::ListWorldFiles(dir.Path(), list, problem)) << problem;
    const std::vector<std::string> expected = {
        "CORE/ini.crc",  "CORE/systemtext.txt", "CORE/codecs.crc", "GFX/floor.png",   "GFX/wall.png",
        "GFX/floor.dll", "GFX/wall.dll",        "MAPS/LVL0.dll",   "MAPS/LVL3.dll",   "SOUND/#L0.wav",
        "ANIM/hero/0.png", "ANIM/hero/1.png",
    };
    EXPECT_EQ(ListText(list.files), ListText(expected));
    EXPECT_TRUE(list.missing.empty()) << ListText(list.missing);
    EXPECT_EQ(list.startMapPath, "MAPS/LVL0.dll");
}

TEST(WebExportTest, FollowsThePrefixesAsTheEngineJoinsThem) {
    struct Case {
        std::string gfx, maps, appEntry;
        std::vector<std::string> present;  // files of the world beside the configuration
        std::vector<std::string> packed;   // the ones expected in the package (after CORE/ini.crc)
        std::string startMap;
    };
    const Case cases[] = {
        // A map prefix with a name part: only that series of maps.
        {"GFX/", "MAPS/W1_", "2", {"MAPS/W1_LVL2.dll", "MAPS/LVL2.dll"}, {"MAPS/W1_LVL2.dll"}, "MAPS/W1_LVL2.dll"},
        // Backslashes and "./" of a world written on Windows; graphics straight in the world directory.
        {".\\", "MAPS\\", "1", {"a.png", "a.dll", "MAPS/LVL1.dll"}, {"a.png", "a.dll", "MAPS/LVL1.dll"}, "MAPS/LVL1.dll"},
        // A graphics prefix with a name part.
        {"GFX/t_", "", "0", {"GFX/t_a.png", "GFX/b.png", "LVL0.dll"}, {"GFX/t_a.png", "LVL0.dll"}, "LVL0.dll"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ASSERT_TRUE(dir.Valid());
        Put(dir.Path(), "CORE/ini.crc",
            Pairs({{"GFX", c.gfx}, {"SIMCORE", c.maps}, {"APPENTRY", c.appEntry}, {"CODECS", "codecs.crc"}}));
        Put(dir.Path(), "codecs.crc", "GFXCODEC\r\n;\r\n.png\r\n\r\n");
        for (const std::string& file : c.present) Put(dir.Path(), file, file);
        wf::WorldFileList list;
        std::string problem;
        ASSERT_TRUE(wf::ListWorldFiles(dir.Path(), list, problem)) << problem;
        std::vector<std::string> expected = {"CORE/ini.crc", "codecs.crc"};
        expected.insert(expected.end(), c.packed.begin(), c.packed.end());
        EXPECT_EQ(ListText(list.files), ListText(expected)) << "GFX " << c.gfx << ", SIMCORE " << c.maps;
        EXPECT_EQ(list.startMapPath, c.startMap);
    }
}

TEST(WebExportTest, NamesWhatIsMissingAndRefusesPathsOutsideTheWorld) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    MakeWorld(dir.Path());
    std::filesystem::remove(dir.File("CORE/systemtext.txt"));
    std::filesystem::remove_all(dir.File("SOUND"));
    Put(dir.Path(), "CORE/ini.crc", Configuration("GFX/", "MAPS/", "7"));
    wf::WorldFileList list;
    std::string problem;
    ASSERT_TRUE(wf::ListWorldFiles(dir.Path(), list, problem)) << problem;
    EXPECT_EQ(ListText(list.missing), ListText({"CORE/systemtext.txt", "MAPS/LVL7.dll", "SOUND/"}));

    for (const std::string gfx : {"../GFX/", "GFX/../../x/", "/usr/share/GFX/", "C:\\GFX\\"}) {
        Put(dir.Path(), "CORE/ini.crc", Configuration(gfx));
        EXPECT_FALSE(wf::ListWorldFiles(dir.Path(), list, problem)) << gfx;
        EXPECT_NE(problem.find("GFX names '" + gfx + "', outside the world"), std::string::npos) << problem;
    }
    std::filesystem::remove(dir.File("CORE/ini.crc"));
    EXPECT_FALSE(wf::ListWorldFiles(dir.Path(), list, problem));
    EXPECT_NE(problem.find("CORE/ini.crc is missing"), std::string::npos) << problem;
}

TEST(WebExportTest, PackageListEscapesPathsAndArguments) {
    EXPECT_EQ(wf::WorldPackageJson({}, 0, {}), "{\n  \"format\": \"tasko-world-1\",\n  \"size\": 0,\n  \"files\": [],\n  \"args\": []\n}\n");
    const std::string json = wf::WorldPackageJson({{"GFX/a\"b\\c.png", 0, 3}, {"SOUND/#L0.wav", 3, 5}}, 8,
                                                  {"--map", "MAPS/x\ty.dll"});
    EXPECT_NE(json.find("{\"path\": \"GFX/a\\\"b\\\\c.png\", \"offset\": 0, \"size\": 3},\n"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"path\": \"SOUND/#L0.wav\", \"offset\": 3, \"size\": 5}\n  ]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"args\": [\"--map\", \"MAPS/x\\u0009y.dll\"]"), std::string::npos) << json;
}

// A scratch world, a runtime with placeholder files and a place for the exported folder.
class WebExportFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Valid());
        world_ = dir_.File("world");
        runtime_ = dir_.File("runtime");
        target_ = dir_.File("out");
        MakeWorld(world_);
        Put(runtime_, "index.html", "<!doctype html><title>placeholder page</title>");
        Put(runtime_, "tasko.js", "// placeholder loader");
        Put(runtime_, "tasko.wasm", std::string("\0asm\1\0\0\0", 8));
        Put(runtime_, "build.ninja", "a build file the runtime directory may also hold");
    }

    bool Export(std::string& problem, const std::string& startMap = "") {
        return wf::ExportWorldForWeb({world_, runtime_, target_, startMap}, report_, problem);
    }

    // The packed files as written in world.json: path -> (offset, size).
    std::map<std::string, std::pair<uint64_t, uint64_t>> PackageList(uint64_t& total) {
        const std::string json = ReadBytes(target_ + "/world.json");
        std::smatch match;
        total = 0;
        if (std::regex_search(json, match, std::regex("\"size\": ([0-9]+),\n  \"files\""))) total = std::stoull(match[1]);
        std::map<std::string, std::pair<uint64_t, uint64_t>> files;
        const std::regex entry("\\{\"path\": \"([^\"]*)\", \"offset\": ([0-9]+), \"size\": ([0-9]+)\\}");
        for (auto it = std::sregex_iterator(json.begin(), json.end(), entry); it != std::sregex_iterator(); ++it) {
            files[(*it)[1]] = {std::stoull((*it)[2]), std::stoull((*it)[3])};
        }
        return files;
    }

    TempDir dir_;
    std::string world_, runtime_, target_;
    wf::WebExportReport report_;
};

TEST_F(WebExportFolderTest, WritesRuntimeListAndBytesAtTheirOffsets) {
    Put(runtime_, "DejaVuSansMono.ttf", "font bytes");
    std::string problem;
    ASSERT_TRUE(Export(problem)) << problem;
    for (const std::string name : {"index.html", "tasko.js", "tasko.wasm", "DejaVuSansMono.ttf"}) {
        EXPECT_EQ(ReadBytes(target_ + "/" + name), ReadBytes(runtime_ + "/" + name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(target_ + "/build.ninja"));

    uint64_t total = 0;
    const auto files = PackageList(total);
    const std::string data = ReadBytes(target_ + "/world.data");
    EXPECT_EQ(total, data.size());
    EXPECT_EQ(report_.bytes, data.size());
    EXPECT_EQ(report_.files, 12);
    ASSERT_EQ(files.size(), 12u);
    EXPECT_EQ(files.at("CORE/ini.crc").first, 0u) << "the configuration comes first";
    // Every file's bytes at its offset, the files back to back, nothing else in world.data.
    uint64_t covered = 0;
    for (const auto& [path, place] : files) {
        ASSERT_LE(place.first + place.second, data.size()) << path;
        EXPECT_EQ(data.substr(place.first, place.second), ReadBytes(world_ + "/" + path)) << path;
        covered += place.second;
    }
    EXPECT_EQ(covered, data.size());
    for (const std::string left : {"error.log", "warnings.log", "USER/UNDO_0", "USER/_LAZARUS123", "GFX/notes.txt",
                                   "GFX/wall.dll.tmp4242", "MAPS/sketch.dll", "SOUND/music.ogg", "ANIM/hero/source.xcf"}) {
        EXPECT_EQ(files.count(left), 0u) << left << " was packed";
    }
}

TEST_F(WebExportFolderTest, PacksTheGivenMapAsTheStartAreasMap) {
    Put(dir_.Path(), "edited.dll", "the map being edited");
    std::filesystem::remove(world_ + "/MAPS/LVL0.dll");  // even where the world has none yet
    std::string problem;
    ASSERT_TRUE(Export(problem, dir_.File("edited.dll"))) << problem;
    uint64_t total = 0;
    const auto files = PackageList(total);
    ASSERT_EQ(files.count("MAPS/LVL0.dll"), 1u);
    const auto [offset, size] = files.at("MAPS/LVL0.dll");
    EXPECT_EQ(ReadBytes(target_ + "/world.data").substr(offset, size), "the map being edited");
    EXPECT_TRUE(report_.missing.empty()) << ListText(report_.missing);

    std::filesystem::remove_all(target_);
    EXPECT_FALSE(Export(problem, dir_.File("gone.dll")));
    EXPECT_NE(problem.find("cannot read the start map"), std::string::npos) << problem;
    EXPECT_FALSE(std::filesystem::exists(target_));
}

TEST_F(WebExportFolderTest, ExportsAWorldWithMissingFilesAndSaysWhich) {
    std::filesystem::remove(world_ + "/MAPS/LVL0.dll");
    std::filesystem::remove(world_ + "/CORE/codecs.crc");
    std::string problem;
    ASSERT_TRUE(Export(problem)) << problem;
    EXPECT_EQ(ListText(report_.missing), ListText({"CORE/codecs.crc", "MAPS/LVL0.dll"}));
    uint64_t total = 0;
    EXPECT_EQ(PackageList(total).count("MAPS/LVL3.dll"), 1u);
}

TEST_F(WebExportFolderTest, RefusesAndWritesNothing) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string problemPart;
    };
    const Case cases[] = {
        {"a folder that is not empty", [&] { Put(target_, ".hidden", "mine"); }, "is not empty; nothing was written"},
        {"a file in the folder's place", [&] { Put(dir_.Path(), "out", "mine"); }, "is not empty; nothing was written"},
        {"a runtime without its wasm file", [&] { std::filesystem::remove(runtime_ + "/tasko.wasm"); },
         "build it with scripts/web-build.sh"},
        {"a runtime directory that does not exist", [&] { std::filesystem::remove_all(runtime_); },
         "build it with scripts/web-build.sh"},
        {"a world without configuration", [&] { std::filesystem::remove(world_ + "/CORE/ini.crc"); }, "no world in"},
    };
    for (const Case& c : cases) {
        SetUp();
        std::filesystem::remove_all(target_);
        c.prepare();
        const bool existed = std::filesystem::exists(target_);
        const std::string before = existed && std::filesystem::is_regular_file(target_) ? ReadBytes(target_) : "";
        std::string problem;
        EXPECT_FALSE(Export(problem)) << c.what;
        EXPECT_NE(problem.find(c.problemPart), std::string::npos) << c.what << ": " << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line";
        EXPECT_EQ(std::filesystem::exists(target_), existed) << c.what;
        if (existed && std::filesystem::is_directory(target_)) {
            EXPECT_FALSE(std::filesystem::exists(target_ + "/world.json")) << c.what;
            EXPECT_FALSE(std::filesystem::exists(target_ + "/index.html")) << c.what;
        } else if (existed) {
            EXPECT_EQ(ReadBytes(target_), before) << c.what;
        }
    }
}

TEST_F(WebExportFolderTest, TakesAnEmptyFolderAndMakesAMissingOne) {
    std::string problem;
    std::filesystem::create_directories(target_);
    ASSERT_TRUE(Export(problem)) << problem;
    EXPECT_TRUE(std::filesystem::exists(target_ + "/world.json"));
    target_ = dir_.File("new/deeper/out");
    ASSERT_TRUE(Export(problem)) << problem;
    EXPECT_TRUE(std::filesystem::exists(target_ + "/world.data"));
}

TEST(WebExportTest, RuntimeNeedsAllThreeFiles) {
    TempDir dir;
    ASSERT_TRUE(dir.Valid());
    EXPECT_FALSE(wf::WebRuntimePresent(""));
    EXPECT_FALSE(wf::WebRuntimePresent(dir.Path()));
    for (const std::string& name : wf::WebRuntimeFiles()) {
        EXPECT_FALSE(wf::WebRuntimePresent(dir.Path())) << "before " << name;
        Put(dir.Path(), name, "x");
    }
    EXPECT_TRUE(wf::WebRuntimePresent(dir.Path()));
    EXPECT_TRUE(wf::WebRuntimePresent(dir.Path() + "/"));
}

}  // namespace
