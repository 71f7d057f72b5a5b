// The Tiled reader over arbitrary map text, with a small sheet and tileset beside it in the
// working directory, and the same bytes read as a .tsx tileset. What a map reads into must hold
// together: every placement names a type of the result and stands on one of the nine layers
// (a map plom exported: on its own layer).
#include <cstdint>
#include <cstdio>

#include "fuzz_common.h"
#include "platform/images.h"
#include "worldfiles/tiled_read.h"

namespace {

// fuzz_tiled_sheet.png (2 x 2 cells of 4 pixels) and fuzz_tiled.tsx naming it, as the corpus's
// maps expect them.
bool WriteFixtures() {
    plat::Pixels sheet;
    sheet.width = sheet.height = 8;
    for (int i = 0; i < 64; ++i) sheet.rgba.insert(sheet.rgba.end(), {uint8_t(i * 4), uint8_t(255 - i), 80, 255});
    if (!plat::WritePngFile("fuzz_tiled_sheet.png", sheet)) return false;
    FILE* out = std::fopen("fuzz_tiled.tsx", "wb");
    if (out == nullptr) return false;
    std::fputs("<tileset name=\"f\" tilewidth=\"4\" tileheight=\"4\"><image source=\"fuzz_tiled_sheet.png\"/>"
               "<tile id=\"1\"><properties><property name=\"worldFTileCollision\" value=\"1\"/></properties>"
               "<animation><frame tileid=\"2\" duration=\"10\"/></animation></tile></tileset>\n",
               out);
    return std::fclose(out) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!WriteFixtures()) __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    wf::TiledMap map;
    std::string problem;
    if (wf::ReadTiledMapText(text, "fuzz_tiled.tmx", map, problem)) {
        for (const wf::TiledPlacement& placement : map.placements) {
            // An exported map keeps the builder's own layer numbers.
            if (!map.exported && (placement.layer < 0 || placement.layer >= wf::kTiledEngineLayers)) __builtin_trap();
            bool named = false;
            for (const wf::TiledTileType& type : map.types) named = named || type.name == placement.typeName;
            if (!named) __builtin_trap();
        }
        for (const wf::TiledTileType& type : map.types) {
            if (type.pixels.rgba.size() != static_cast<size_t>(type.pixels.width) * type.pixels.height * 4) __builtin_trap();
        }
    } else if (problem.empty()) {
        __builtin_trap();  // every refusal says why
    }
    const std::string path = WriteScratchFile(data, size, ".tsx");
    wf::TiledSheetLayout layout;
    wf::ReadTiledTileset(path, layout, problem);
    std::remove(path.c_str());
    return 0;
}
