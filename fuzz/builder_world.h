// A small builder world for the builder fuzz targets, on the headless backend: a scratch start
// directory made once per process (the configuration chain, the default descriptor, three tile
// graphics with descriptors, one of them stretched, one without a descriptor, one whose tiles stay
// inactive, and the start-up map "1"), and one start of the
// builder over it per input. The builder finds everything relative to its start directory, so
// each run changes into the scratch directory and back (libFuzzer's relative paths keep working).
#pragma once
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERINIODA.h"
#include "builder/BUILDERio.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "scratch_world.h"

namespace fuzzbuilder {

using scratch::At;
using scratch::Check;
using scratch::ReadFile;
using scratch::WriteFile;

// Groups of four lines as the configuration files hold them: key, comment, value, empty.
using Groups = std::vector<std::pair<std::string, std::string>>;
inline std::string GroupLines(const Groups& groups) {
    std::string bytes;
    for (const auto& [key, value] : groups) bytes += key + "\r\n; fuzz\r\n" + value + "\r\n\r\n";
    return bytes;
}

// The chain's files, by the index the configuration target's first byte picks, with the groups
// appended after fuzzed content so that the files and folders the builder needs stay where they
// are: a later group wins, so the builder always finds its fatal files, opens its main window,
// keeps a small tile table and writes only inside the scratch directory.
struct ChainFile {
    const char* path;
    Groups pinned;
};
inline const std::vector<ChainFile>& Chain() {
    static const std::vector<ChainFile> chain = {
        {"_DATA/ini.txt", {{"DEFAULTINISCRIPT", "_DATA/script.txt"}}},
        {"_DATA/script.txt",
         {{"WINDOWMODE", "0"}, {"APPINIFILE", "_DATA/app.txt"}, {"DNA", "_DATA/DNA.dll"}, {"MAXTILES", "200"}}},
        {"_DATA/app.txt",
         {{"GFXPATH", "GFX/"}, {"LOGFILE", "USER/"}, {"GUIINI", "_DATA/gui.txt"}, {"CODECS", "_DATA/codecs.txt"}}},
        {"_DATA/gui.txt", {}},
        {"_DATA/codecs.txt", {}},
        {"_DATA/DNA.dll", {}},
    };
    return chain;
}

inline std::string DefaultContent(size_t index) {
    switch (index) {
        case 1: return GroupLines({{"WIDTH", "800"}, {"HEIGHT", "600"}, {"MATRIXRASTER", "32"}, {"NAME", "FUZZ"}});
        case 2: return GroupLines({{"SAVEPATH", "USER/"}, {"PROMO", "0"}});
        case 3: return GroupLines({{"GUIH", "48"}, {"MAXGUIITEMS", "64"}});
        case 4: return GroupLines({{"GFXCODEC", ".png"}, {"SOUNDCODEC", ".wav"}});
        case 5:
            return "worldFTileTransparency\r\n255\r\nworldFTileCollision\r\n0\r\nhp\r\n10\r\npostEFFECT\r\n\r\n"
                   ";END OF DESCRIPTOR\r\n";
        default: return "";
    }
}

inline void WriteChainFile(size_t index, const std::string& content) {
    WriteFile(Chain()[index].path, content + GroupLines(Chain()[index].pinned));
}

inline void WriteTile(const std::string& path, int width, int height, uint8_t shade) {
    scratch::WriteTile(path, width, height, shade, false);
}

inline const char kDefaultMap[] =
    "16\r\n-8\r\nTILE\r\nrock\r\n0\r\n10\r\n20\r\n32\r\n16\r\n0\r\nTILE\r\nwall\r\n1\r\n100\r\n40\r\n64\r\n64\r\n2\r\n"
    "TILE\r\nbanner\r\n2\r\n50\r\n50\r\n8\r\n8\r\n1\r\nTILE\r\ngone\r\n7\r\n5\r\n5\r\n8\r\n8\r\n3\r\n"
    "TILE\r\nplain\r\n4\r\n9\r\n9\r\n8\r\n8\r\n0\r\nTILE\r\ntree\r\n3\r\n70\r\n20\r\n8\r\n8\r\n0\r\n"
    "ENGINETILEINFOEND\r\n";

inline void MakeWorld() {
    scratch::MakeDirectory("plom_fuzz_world_");
    std::filesystem::create_directories(scratch::gDirectory / "USER");
    for (size_t i = 0; i < Chain().size(); ++i) WriteChainFile(i, DefaultContent(i));
    // A comment pair makes a tile type usable (its tiles active, drawn and saved).
    const std::string comment = ";fuzz world\r\n;\r\n";
    WriteTile("GFX/rock.png", 32, 16, 90);
    WriteFile("GFX/rock.dll", "hp\r\n3\r\nworldFTileTransparency\r\n200\r\n" + comment);
    WriteTile("GFX/wall.png", 64, 64, 160);
    WriteFile("GFX/wall.dll", "worldFTileTransparency\r\n255\r\npostEFFECT\r\n2x2\r\n" + comment);
    WriteTile("GFX/banner.png", 8, 8, 220);
    WriteFile("GFX/banner.dll", "worldFStretch\r\n1\r\n" + comment);
    WriteTile("GFX/plain.png", 8, 8, 60);
    WriteFile("GFX/plain.dll", "hp\r\n1\r\n");  // known keys only: its tiles stay inactive
    WriteTile("GFX/tree.png", 8, 8, 30);  // no descriptor: usable, fully opaque
    WriteFile("1", kDefaultMap);
}

// Starts the builder in the scratch directory over the files as they are now, checks the tables
// it built, and saves the map twice through a read in between: what the builder saves it must
// read back to the same map (the second save is byte for byte the first). An undo snapshot is
// taken and stepped back to on the way.
inline void RunBuilder() {
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(scratch::gDirectory);
    plat::headless::Reset();
    Check(StartBuilder());

    Check(gBuilder.lastTileIndex >= -1 && gBuilder.lastTileIndex < static_cast<int>(gBuilder.mapTiles.size()));
    for (const TileType& type : gBuilder.tileLibrary) Check(type.usable == 0 || type.usable == 1);

    Check(WriteMapFile("USER/first"));
    TakeUndoSnapshot();
    ReadMapFile("USER/first");
    Check(WriteMapFile("USER/second"));
    Check(ReadFile("USER/first") == ReadFile("USER/second"));
    StepUndo();
    Check(WriteMapFile("USER/third"));
    Check(ReadFile("USER/first") == ReadFile("USER/third"));

    ReleaseTileLibrary();
    std::filesystem::current_path(back);
}

}  // namespace fuzzbuilder
